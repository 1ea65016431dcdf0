// numka called in-process: what the case tables cannot write out by hand
// (hundreds of names, long names, every byte value through a round trip).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "numka/numka.h"

namespace fs = std::filesystem;

namespace {

class Numka : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("numka_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const char* name) const { return (dir_ / name).string(); }

    // numka with the command file set.cmd in the test folder.
    int run(std::vector<std::string> args) {
        args.insert(args.begin(), "numka");
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::string entry = "..=12345" + path("set.cmd");
        char* envp[] = {entry.data(), nullptr};
        return numka_main((int)args.size(), argv.data(), envp);
    }

    static std::string slurp(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    fs::path dir_;
};

TEST_F(Numka, ResultTableGrowsForManyAndLongNames) {
    std::string long_name(1000, 'L');
    std::vector<std::string> args = {":"};
    for (int k = 0; k < 200; k++) args.push_back("n" + std::to_string(k) + "=" + std::to_string(k));
    // 2 to the 70th: exact as a double, so it prints digit for digit.
    args.push_back(long_name + "=1180591620717411303424");
    args.push_back("n50+=0.5");
    ASSERT_EQ(run(args), 0);

    std::string want;
    for (int k = 0; k < 200; k++)
        want += "set n" + std::to_string(k) + "=" + (k == 50 ? "50.500000" : std::to_string(k) + ".000000") + "\n";
    want += "set " + long_name + "=1180591620717411303424.000000\n";
    std::string got = slurp(path("set.cmd"));
    // Compared without the platform's line ends.
    std::erase(got, '\r');
    EXPECT_EQ(got, want);
}

TEST_F(Numka, RegRoundTripKeepsEveryByte) {
    std::string text;
    for (int round = 0; round < 3; round++)
        for (int c = 1; c < 256; c++) text += (char)c;
    text += "\r\nend\r\n";
    std::ofstream(path("in.txt"), std::ios::binary) << text;

    ASSERT_EQ(run({":ansi_uni", path("in.txt"), path("mid.reg")}), 1);
    std::string mid = slurp(path("mid.reg"));
    ASSERT_EQ(mid.size(), 2 + 2 * text.size());
    EXPECT_EQ(mid.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(mid.substr(2, 4), std::string("\x01\0\x02\0", 4));

    ASSERT_EQ(run({":uni_ansi", path("mid.reg"), path("back.txt")}), 1);
    EXPECT_EQ(slurp(path("back.txt")), text);
}

}  // namespace
