#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/alloc.h"
#include "common/files.h"
#include "common/text.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder per test, removed afterwards.
class Files : public ::testing::Test {
protected:
    fs::path dir;
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("files_test_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string put(const std::string& name, const std::string& bytes) {
        std::string p = (dir / name).string();
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    static std::string slurp(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
};

std::vector<std::string> lines_of(const LineArray* a) {
    std::vector<std::string> v;
    for (long long k = 0; k < a->n; k++) v.push_back(a->tab[k]);
    EXPECT_EQ(a->tab[a->n], nullptr);
    return v;
}

TEST(Alloc, PlainBlocksAreZeroedWithSpareRoom) {
    EXPECT_EQ(plain::Alloc(0), nullptr);
    EXPECT_EQ(plain::Alloc(-5), nullptr);
    auto* p = static_cast<unsigned char*>(plain::Alloc(3));
    ASSERT_NE(p, nullptr);
    for (int k = 0; k < 3 + 8; k++) EXPECT_EQ(p[k], 0) << k;
}

// The chain is visible through the link word in front of each caller's part.
void* block_of(void* p) { return static_cast<char*>(p) - 8; }
void* link_of(void* block) { return *static_cast<void**>(block); }

TEST(Alloc, AnchoredChainUnlinksAnyBlockAndReleasesAll) {
    using namespace anchored;
    Free(nullptr);
    ASSERT_EQ(ALLOC_ANKER, nullptr);
    EXPECT_EQ(Alloc(0), nullptr);
    EXPECT_EQ(Alloc(-5), nullptr);
    EXPECT_EQ(ALLOC_ANKER, nullptr);

    void* x = Alloc(1);
    void* y = Alloc(8);
    void* z = Alloc(15);
    EXPECT_EQ(ALLOC_ANKER, block_of(z));
    EXPECT_EQ(link_of(block_of(z)), block_of(y));
    EXPECT_EQ(link_of(block_of(y)), block_of(x));
    EXPECT_EQ(link_of(block_of(x)), nullptr);
    // Alloc(8) gives 16 zero bytes, Alloc(15) also 16.
    for (int k = 0; k < 16; k++) EXPECT_EQ(static_cast<char*>(y)[k], 0);
    for (int k = 0; k < 16; k++) EXPECT_EQ(static_cast<char*>(z)[k], 0);

    Free(y);
    EXPECT_EQ(ALLOC_ANKER, block_of(z));
    EXPECT_EQ(link_of(block_of(z)), block_of(x));
    Free(z);
    EXPECT_EQ(ALLOC_ANKER, block_of(x));
    Free(nullptr);
    EXPECT_EQ(ALLOC_ANKER, nullptr);
    Free(nullptr);
    EXPECT_EQ(ALLOC_ANKER, nullptr);
}

TEST(Alloc, FreeOfAForeignPointerIsFatal) {
    using namespace anchored;
    void* mine = Alloc(4);
    int foreign = 0;
    testing::internal::CaptureStderr();
    try {
        Free(&foreign);
        ADD_FAILURE() << "Free returned";
    } catch (const Fatal& f) {
        EXPECT_EQ(f.code, 1);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "*** Free-error\n");
    EXPECT_EQ(ALLOC_ANKER, block_of(mine));  // the chain is untouched
    Free(nullptr);
}

TEST_F(Files, ReadLinesSplitsTheWholeFile) {
    struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> want;
    } cases[] = {
        {"crlf, no final newline", "a\r\nb", {"a", "b"}},
        {"only a newline", "\n", {""}},
        {"empty", "", {}},
        {"empty lines kept", "a\n\n\nb\n", {"a", "", "", "b"}},
        {"NUL cuts its line only", std::string("a\0b\nc\n", 6), {"a", "c"}},
        {"Ctrl-Z ends the text", "a\nb\x1a" "c\n", {"a", "b"}},
        {"lone CR stays", "a\rb\n", {"a\rb"}},
    };
    for (auto& c : cases) {
        LineArray* a = read_rFILE(put("in.txt", c.bytes).c_str());
        EXPECT_EQ(lines_of(a), c.want) << c.name;
    }
}

TEST_F(Files, ReadWholeFileNormalisesTheFinalNewlineByVariant) {
    struct {
        std::string bytes;
        const char* mode;
        bool anchored;
        std::string want;
    } cases[] = {
        {"x\n\n\n", "r", false, "x\n"},
        {"x", "r", false, "x\n"},
        {"\n\n", "r", false, "\n"},
        {"", "r", false, ""},
        {"x", "rb", true, "x"},
        {"x", "r", true, "x\n"},
        {"x\n\n", "r", true, "x\n\n"},
        {"a\r\nb", "rb", true, "a\r\nb"},
    };
    for (auto& c : cases) {
        std::string p = put("in.txt", c.bytes);
        FileText* t = c.anchored ? anchored::read_nFILE(p.c_str(), c.mode) : plain::read_nFILE(p.c_str(), c.mode);
        EXPECT_EQ(std::string(t->text, (size_t)t->len), c.want) << c.bytes << " " << c.mode;
        EXPECT_EQ(t->text[t->len], '\0');
    }
    anchored::Free(nullptr);
}

TEST_F(Files, LoadFailuresAreFatalWithTheirMessage) {
    struct {
        const char* what;
        std::function<void()> call;
        std::string message;
    } cases[] = {
        {"rFILE missing", [&] { read_rFILE((dir / "no").string().c_str()); }, "*** file error " + (dir / "no").string() + "\n"},
        {"rFILE folder", [&] { read_rFILE(dir.string().c_str()); }, "*** file open error " + dir.string() + "\n"},
        {"nFILE missing", [&] { plain::read_nFILE((dir / "no").string().c_str(), "r"); }, "*** file error: " + (dir / "no").string() + "\n"},
    };
    for (auto& c : cases) {
        testing::internal::CaptureStderr();
        int code = 0;
        try {
            c.call();
        } catch (const Fatal& f) {
            code = f.code;
        }
        EXPECT_EQ(code, 1) << c.what;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message) << c.what;
    }
}

TEST_F(Files, WriteLinesCreatesAppendsAndEmpties) {
    std::string p = (dir / "out.txt").string();
    const char* ab[] = {"a", "b", nullptr};
    write_rFILE(p.c_str(), "w", ab);
    const char* c[] = {"c", nullptr};
    write_rFILE(p.c_str(), "a", c);
    EXPECT_EQ(slurp(p), "a\nb\nc\n");
    const char* none[] = {nullptr};
    write_rFILE(p.c_str(), nullptr, none);
    EXPECT_TRUE(fs::exists(p));
    EXPECT_EQ(slurp(p), "");
}

// The replacing write must leave the old file whole when the disk fills up.
// A child process with a small file-size limit plays the full disk.
TEST_F(Files, AFailedWriteLeavesTheOldFileIntact) {
    std::string p = put("keep.txt", "old contents\n");
    fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    std::string line(1000, 'x');
    std::vector<const char*> many(200, line.c_str());
    many.push_back(nullptr);

    fflush(nullptr);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit lim{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &lim);
        freopen("/dev/null", "w", stderr);
        int code = 0;
        try {
            write_rFILE(p.c_str(), "w", many.data());
        } catch (const Fatal& f) {
            code = f.code;
        }
        _exit(code == 1 ? 42 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 42) << "the write error was not reported as fatal";
    EXPECT_EQ(slurp(p), "old contents\n");
    size_t files = 0;
    for (auto& e : fs::directory_iterator(dir)) files += e.is_regular_file();
    EXPECT_EQ(files, 1u) << "the temporary file was left behind";

    // A successful replace keeps the permission bits of the old file.
    const char* one[] = {"new", nullptr};
    write_rFILE(p.c_str(), "w", one);
    EXPECT_EQ(slurp(p), "new\n");
    EXPECT_EQ(fs::status(p).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace

namespace {

// The replacing write must not get around a write-protected file. Root may
// write anything, so there is nothing to show then.
TEST_F(Files, AWriteProtectedFileIsRefused) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write every file";
    std::string p = put("ro.txt", "old\n");
    fs::permissions(p, fs::perms::owner_read);
    const char* one[] = {"new", nullptr};
    testing::internal::CaptureStderr();
    int code = 0;
    try {
        write_rFILE(p.c_str(), "w", one);
    } catch (const Fatal& f) {
        code = f.code;
    }
    EXPECT_EQ(code, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "*** open error: " + p + "\n");
    EXPECT_EQ(slurp(p), "old\n");
}

}  // namespace
