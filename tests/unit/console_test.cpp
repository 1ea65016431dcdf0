// Console keys: how one look at the keyboard is read, and the menu on a real
// terminal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/console.h"

namespace {

// Keys that arrive in groups: the bytes of one group are all waiting at once.
class GroupedKeys : public plat::KeySource {
public:
    explicit GroupedKeys(std::vector<std::string> groups) : groups_(std::move(groups)) {}
    int get() override {
        while (g_ < groups_.size() && k_ == groups_[g_].size()) g_++, k_ = 0;
        if (g_ == groups_.size()) return -1;
        return (unsigned char)groups_[g_][k_++];
    }
    bool waiting() override { return g_ < groups_.size() && k_ < groups_[g_].size(); }

private:
    std::vector<std::string> groups_;
    size_t g_ = 0, k_ = 0;
};

TEST(ConsoleKeys, OneLookAtTheKeyboard) {
    struct Case {
        const char* arrival;
        int c;
        bool burst;
    } cases[] = {
        {"2", '2', false},
        {"\r", plat::KEY_ENTER, false},
        {"\n", plat::KEY_ENTER, false},
        {"\x7f", plat::KEY_BACKSPACE, false},
        {"\b", plat::KEY_BACKSPACE, false},
        {"45", '5', true},
        {"\x1b[A", 'A', true},
        {"9\r", plat::KEY_ENTER, true},
    };
    for (const Case& c : cases) {
        GroupedKeys keys({c.arrival, "7"});
        plat::Key k = plat::read_key(keys);
        EXPECT_EQ(k.c, c.c) << c.arrival;
        EXPECT_EQ(k.burst, c.burst) << c.arrival;
        // The next arrival is a key of its own.
        k = plat::read_key(keys);
        EXPECT_EQ(k.c, '7') << c.arrival;
        EXPECT_FALSE(k.burst) << c.arrival;
        EXPECT_EQ(plat::read_key(keys).c, plat::KEY_END) << c.arrival;
    }
}

}  // namespace

// The menu on a real terminal: a pseudo-terminal becomes the controlling
// terminal of a child that runs kesh, and the test types at its master side.
#if __has_include(<termios.h>) && __has_include(<sys/ioctl.h>)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/text.h"
#include "kesh/driver/run.h"

namespace {

using namespace std::chrono_literals;

// A safeguard against a hanging child, not a measurement: every wait below
// normally ends within milliseconds.
constexpr auto kGiveUp = 10s;

std::string replace_all(std::string s, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size()) s.replace(at, from.size(), to);
    return s;
}

class MenuOnPty {
public:
    // Starts `kesh args...` with the terminal as standard input and error.
    explicit MenuOnPty(std::vector<std::string> args) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        std::string name = ptsname(master_);
        slave_ = open(name.c_str(), O_RDWR | O_NOCTTY);
        if (slave_ < 0 || tcgetattr(slave_, &before_) != 0) return;
        char tmpl[] = "/tmp/kesh-console-XXXXXX";
        int out = mkstemp(tmpl);
        if (out < 0) return;
        outname_ = tmpl;
        fflush(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            setsid();
            int tty = open(name.c_str(), O_RDWR);
            if (tty < 0 || ioctl(tty, TIOCSCTTY, 0) != 0) _exit(120);
            dup2(tty, 0);
            dup2(out, 1);
            dup2(tty, 2);
            close(tty);
            close(out);
            close(master_);
            close(slave_);
            std::vector<char*> av{const_cast<char*>("kesh")};
            for (auto& a : args) av.push_back(a.data());
            av.push_back(nullptr);
            char* env[] = {nullptr};
            int code;
            try {
                code = kesh_main((int)av.size() - 1, av.data(), env);
            } catch (const Fatal& f) {
                code = f.code;
            }
            fflush(nullptr);
            _exit(code & 0xFF);
        }
        close(out);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~MenuOnPty() {
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (!outname_.empty()) remove(outname_.c_str());
        if (slave_ >= 0) close(slave_);
        if (master_ >= 0) close(master_);
    }
    bool started() const { return pid_ > 0; }

    // Everything the child wrote to the terminal so far.
    const std::string& screen() {
        char buf[4096];
        ssize_t n;
        while ((n = read(master_, buf, sizeof buf)) > 0) screen_.append(buf, (size_t)n);
        return screen_;
    }
    bool wait_for_screen(const std::string& text) {
        auto end = std::chrono::steady_clock::now() + kGiveUp;
        while (screen().find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
    // True once the child has read every byte typed so far and sleeps again
    // in its next read, so the next bytes arrive as a key of their own. The
    // child reads nothing but the terminal while the menu runs, so its count
    // of bytes read tells how far it got.
    bool settled() {
        auto end = std::chrono::steady_clock::now() + kGiveUp;
        for (;;) {
            if (bytes_read() >= base_ + typed_ && sleeping()) return true;
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(1ms);
        }
    }
    // Call once the menu waits for its first key.
    bool start_typing() {
        base_ = bytes_read();
        return base_ >= 0 && sleeping();
    }
    // Bytes written at once reach the child together, as a paste would.
    bool press(const std::string& keys) {
        typed_ += (long long)keys.size();
        return write(master_, keys.data(), keys.size()) == (ssize_t)keys.size();
    }
    bool type(const std::string& keys) { return press(keys) && settled(); }
    // The child's wait status; a child still waiting for keys is killed, so
    // a menu that did not end fails the test instead of hanging it.
    int finish() {
        int status = 0;
        auto end = std::chrono::steady_clock::now() + kGiveUp;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > end) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(1ms);
        }
        reaped_ = true;
        return status;
    }
    std::string listing() const {
        std::ifstream in(outname_);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    termios now() const {
        termios t{};
        tcgetattr(slave_, &t);
        return t;
    }
    const termios& before() const { return before_; }
    pid_t pid() const { return pid_; }

private:
    long long bytes_read() const {
        std::ifstream in("/proc/" + std::to_string(pid_) + "/io");
        for (std::string key; in >> key;) {
            long long n = -1;
            in >> n;
            if (key == "rchar:") return n;
        }
        return -1;
    }
    bool sleeping() const {
        std::ifstream in("/proc/" + std::to_string(pid_) + "/stat");
        std::string stat;
        std::getline(in, stat);
        size_t close = stat.rfind(')');
        return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'S';
    }

    int master_ = -1, slave_ = -1;
    pid_t pid_ = -1;
    long long base_ = 0, typed_ = 0;
    bool reaped_ = false;
    termios before_{};
    std::string outname_, screen_;
};

void expect_same_mode(const termios& a, const termios& b) {
    EXPECT_EQ(a.c_lflag, b.c_lflag);
    EXPECT_EQ(a.c_iflag, b.c_iflag);
    EXPECT_EQ(a.c_oflag, b.c_oflag);
    EXPECT_EQ(a.c_cc[VMIN], b.c_cc[VMIN]);
    EXPECT_EQ(a.c_cc[VTIME], b.c_cc[VTIME]);
}

const char kListing[] =
    "\n"
    "  1) a         \n"
    "  2) b         \n"
    "  3) c         \n"
    "  4) d         \n"
    "  5) e         \n"
    "Pick";

bool have_proc() { return access("/proc/self/stat", R_OK) == 0 && access("/proc/self/io", R_OK) == 0; }

TEST(ConsoleKeys, TerminalKeysEchoBurstsAndRestore) {
    if (!have_proc()) GTEST_SKIP() << "needs /proc to see the child wait for a key";
    MenuOnPty t({"-L", "a", "b", "c", "d", "e", "-?", "Pick"});
    ASSERT_TRUE(t.started());
    ASSERT_TRUE(t.wait_for_screen("Pick"));
    ASSERT_TRUE(t.settled());
    ASSERT_TRUE(t.start_typing());
    // Raw while the menu waits: no line buffering, no echo by the terminal.
    EXPECT_EQ(t.now().c_lflag & (ICANON | ECHO), 0u);

    ASSERT_TRUE(t.type("x"));       // not accepted: no echo
    ASSERT_TRUE(t.type("-"));       // not after a digit: no echo
    ASSERT_TRUE(t.type("2"));
    ASSERT_TRUE(t.type(" "));
    ASSERT_TRUE(t.type("45"));      // a paste: dropped whole
    ASSERT_TRUE(t.type("\x1b[A"));  // an arrow key's sequence: dropped whole
    ASSERT_TRUE(t.type("3"));
    ASSERT_TRUE(t.type("\x7f"));    // backspace
    ASSERT_TRUE(t.type("1"));
    ASSERT_TRUE(t.press("9\r"));    // a paste ending in Enter ends the answer

    int status = t.finish();
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(t.listing(), "b\na\n");
    // The terminal turns "\n" into CR LF on output.
    std::string want = std::string(kListing) + "2 3\b \b1\n";
    EXPECT_EQ(t.screen(), replace_all(want, "\n", "\r\n"));
    expect_same_mode(t.now(), t.before());
}

TEST(ConsoleKeys, TerminalRestoredWhenTheMenuIsKilled) {
    if (!have_proc()) GTEST_SKIP() << "needs /proc to see the child wait for a key";
    MenuOnPty t({"-L", "a", "b", "c", "d", "e", "-?", "Pick"});
    ASSERT_TRUE(t.started());
    ASSERT_TRUE(t.wait_for_screen("Pick"));
    ASSERT_TRUE(t.settled());
    ASSERT_TRUE(t.start_typing());
    EXPECT_EQ(t.now().c_lflag & (ICANON | ECHO), 0u);
    kill(t.pid(), SIGTERM);
    int status = t.finish();
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    expect_same_mode(t.now(), t.before());
}

}  // namespace
#endif
