#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "flagsift/flagsift.h"
#include "platform/signals.h"

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// A .flg that cannot be written to its end is a write error, and the .flg of
// the previous run stays as it was (no half-written file, no scratch file).
TEST(Flagsift, WriteErrorKeepsTheOldFlg) {
    fs::path home = fs::current_path();
    std::random_device rd;
    fs::path dir = fs::temp_directory_path() / ("flagsift_test_" + std::to_string(rd()));
    fs::create_directories(dir);
    fs::current_path(dir);

    std::string log = "(./p.tex\n";
    for (int k = 0; k < 4000; k++) log += "Overfull \\hbox (1.0pt too wide) in paragraph\n[] text\n\n";
    std::ofstream("paper.log", std::ios::binary) << log;
    std::ofstream("paper.flg", std::ios::binary) << "old messages\n";

    int code = -99;
    std::string err;
    if (plat::limit_file_size(64 * 1024)) {
        testing::internal::CaptureStderr();
        std::string arg = "paper.tex";
        char* argv[] = {(char*)"flagsift", arg.data(), nullptr};
        try {
            code = flagsift_main(2, argv);
        } catch (const Fatal& f) {
            code = f.code;
        }
        err = testing::internal::GetCapturedStderr();
        plat::limit_file_size(-1);
    }
    std::string flg = slurp("paper.flg");
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    fs::current_path(home);
    fs::remove_all(dir);
    if (code == -99) GTEST_SKIP() << "no file-size cap on this platform";

    EXPECT_EQ(code, 1);
    EXPECT_NE(err.find("*** write error: paper.flg"), std::string::npos) << err;
    EXPECT_EQ(flg, "old messages\n");
    EXPECT_EQ(names.size(), 2u);
}

}  // namespace
