#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/text.h"
#include "platform/random.h"
#include "platform/signals.h"
#include "randfill/randfill.h"

namespace fs = std::filesystem;

namespace {

TEST(Generator, KnownSequenceAfterSeed) {
    plat::srand(1);
    int want[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int w : want) EXPECT_EQ(plat::rand(), w);
    // The state is the seed itself: seeding again starts the sequence over.
    plat::srand(1);
    EXPECT_EQ(plat::rand(), 41);
    plat::srand(0);
    EXPECT_EQ(plat::rand(), 38);  // 2531011 >> 16
}

// The batched form must give exactly what single calls give, whatever the
// count (lanes, remainders) and wherever the sequence stands.
TEST(Generator, BatchEqualsSingleCalls) {
    for (unsigned seed : {0u, 1u, 12345u, 0xFFFFFFFFu}) {
        for (size_t n : {0, 1, 7, 15, 16, 17, 31, 4096}) {
            plat::srand(seed);
            plat::rand();  // start mid-sequence
            std::vector<unsigned short> got(n);
            plat::rand_n(got.data(), n);
            int after_batch = plat::rand();

            plat::srand(seed);
            plat::rand();
            for (size_t k = 0; k < n; k++) ASSERT_EQ(got[k], plat::rand()) << "seed " << seed << " n " << n << " k " << k;
            EXPECT_EQ(after_batch, plat::rand()) << "seed " << seed << " n " << n;
        }
    }
}

TEST(Generator, ByteFromValue) {
    struct {
        unsigned v;
        int want;
    } cases[] = {{0, 0}, {127, 0}, {128, 1}, {16384, 128}, {32638, 254}, {32639, 254}, {32640, 255}, {32766, 255}, {32767, 0}};
    for (auto& c : cases) EXPECT_EQ(random_byte((unsigned short)c.v), c.want) << c.v;
    for (unsigned v = 0; v <= 32767; v++) ASSERT_EQ(random_byte((unsigned short)v), (v * 256 / 32767) & 0xFF) << v;
}

// Every test runs in a scratch folder of its own; a file-size cap set by a
// test is lifted again.
class Randfill : public ::testing::Test {
protected:
    fs::path home, dir;
    void SetUp() override {
        home = fs::current_path();
        std::random_device rd;
        dir = fs::temp_directory_path() / ("randfill_test_" + std::to_string(rd()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        fs::current_path(dir);
    }
    void TearDown() override {
        plat::limit_file_size(-1);
        fs::current_path(home);
        fs::remove_all(dir);
    }
    static int run(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        return randfill_run((int)args.size(), argv.data());
    }
    std::vector<std::string> files() const {
        std::vector<std::string> out;
        for (auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
        return out;
    }
    static std::string slurp(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    // The bytes a sweep writes after seeding with seed.
    static std::string sweep_bytes(unsigned seed, size_t n) {
        plat::srand(seed);
        std::string s(n, 0);
        for (auto& c : s) c = (char)random_byte((unsigned short)plat::rand());
        return s;
    }
};

// The file holds what the last sweep wrote: the generator seeded with the
// time in two-second steps, one value per byte.
TEST_F(Randfill, FileHoldsTheSweepOfItsSeed) {
    struct {
        const char* blocks;
        const char* passes;
        size_t size;
    } cases[] = {{"3", "0", 3 * kBlock}, {"2", "1", 2 * kBlock}, {"1", "", kBlock}};
    for (auto& c : cases) {
        long long t0 = (long long)std::time(nullptr);
        std::vector<std::string> args{"randfill", "f.bin", c.blocks};
        if (c.passes[0]) args.push_back(c.passes);
        ASSERT_EQ(run(args), 0);
        long long t1 = (long long)std::time(nullptr);
        std::string got = slurp("f.bin");
        ASSERT_EQ(got.size(), c.size) << c.blocks << " " << c.passes;
        bool found = false;
        for (long long t = t0 / 2; t <= t1 / 2 && !found; t++) found = got == sweep_bytes((unsigned)t, c.size);
        EXPECT_TRUE(found) << c.blocks << " " << c.passes;
    }
}

// With a block count, a write that stores less is a write error; the file
// stays as far as it got.
TEST_F(Randfill, ShortWriteWithBlockCountFails) {
    const long long cap = 5 * (long long)kBlock + 100;
    if (!plat::limit_file_size(cap)) GTEST_SKIP() << "no file-size cap on this platform";
    testing::internal::CaptureStderr();
    int code = -99;
    try {
        run({"randfill", "f.bin", "8", "1"});
    } catch (const Fatal& f) {
        code = f.code;
    }
    std::string err = testing::internal::GetCapturedStderr();
    plat::limit_file_size(-1);
    EXPECT_EQ(code, 1);
    EXPECT_NE(err.find("*** write error: f.bin"), std::string::npos) << err;
    ASSERT_TRUE(fs::exists("f.bin"));
    EXPECT_EQ((long long)fs::file_size("f.bin"), cap);
}

// Without a block count each sweep runs until the disk refuses (here: the
// cap), and the file is gone at the end.
TEST_F(Randfill, FillModeRemovesItsFile) {
    if (!plat::limit_file_size(3 * (long long)kBlock + 10)) GTEST_SKIP() << "no file-size cap on this platform";
    struct {
        std::vector<std::string> args;
        bool scratch;
    } cases[] = {
        {{"randfill"}, true},
        {{"randfill", "", "0", "0"}, true},
        {{"randfill", "fill.bin", "0", "2"}, false},
    };
    for (auto& c : cases) {
        testing::internal::CaptureStdout();
        int rc = run(c.args);
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(rc, 0);
        EXPECT_TRUE(files().empty()) << files().front();
        if (c.scratch) {
            // "filename: " and a name of a file in the current folder.
            ASSERT_EQ(out.compare(0, 10, "filename: "), 0) << out;
            while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
            fs::path name = out.substr(10);
            EXPECT_EQ(name.parent_path(), fs::path(".")) << out;
            EXPECT_FALSE(name.filename().empty()) << out;
        } else {
            EXPECT_EQ(out, "");
        }
    }
}

// An interrupt during a fill ends it early, and the file goes all the same.
TEST_F(Randfill, InterruptedFillRemovesItsFile) {
    if (!plat::limit_file_size(64 * (long long)kBlock)) GTEST_SKIP() << "no file-size cap on this platform";
    // Endless sweeps: only the interrupt ends this run.
    std::thread stopper([this] {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (fs::is_empty(dir) && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::raise(SIGTERM);
    });
    int rc = run({"randfill", "fill.bin", "0", "4000000000"});
    stopper.join();
    plat::unwatch_interrupts();
    EXPECT_EQ(rc, kInterrupted);
    EXPECT_TRUE(files().empty());
}

}  // namespace
