// Keys from the controlling terminal, switched to raw input without echo for
// as long as the key source lives.
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "platform/console.h"

namespace plat {

namespace {

// What the signal handlers need to put the terminal back. Only one key
// source is open at a time.
int g_fd = -1;
termios g_saved, g_raw;
const int kSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP};
constexpr int kNsig = sizeof kSignals / sizeof kSignals[0];
struct sigaction g_old[kNsig];
bool g_caught[kNsig];

void on_signal(int sig);

void catch_signal(int k) {
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(kSignals[k], &sa, nullptr);
}

void on_signal(int sig) {
    int saved_errno = errno;
    tcsetattr(g_fd, TCSANOW, &g_saved);
    int k = 0;
    while (k < kNsig && kSignals[k] != sig) k++;
    if (sig == SIGTSTP) {
        // Stop with the terminal as the shell expects it; raw again on return.
        signal(SIGTSTP, SIG_DFL);
        sigset_t s;
        sigemptyset(&s);
        sigaddset(&s, SIGTSTP);
        sigprocmask(SIG_UNBLOCK, &s, nullptr);
        raise(SIGTSTP);
        catch_signal(k);
        tcsetattr(g_fd, TCSANOW, &g_raw);
    } else {
        // The signal is blocked in here, so it takes effect with the previous
        // disposition as soon as the handler returns.
        sigaction(sig, &g_old[k], nullptr);
        raise(sig);
    }
    errno = saved_errno;
}

class TermKeys : public KeySource {
public:
    TermKeys(int fd, const termios& saved) {
        g_fd = fd;
        g_saved = saved;
        g_raw = saved;
        // No line buffering, no echo, CR stays CR; signals and output
        // processing stay as they were, so Ctrl-C still ends the program and
        // "\n" still starts a new line.
        g_raw.c_lflag &= ~(tcflag_t)(ICANON | ECHO | ECHONL | IEXTEN);
        g_raw.c_iflag &= ~(tcflag_t)(ICRNL | INLCR | IGNCR | IXON);
        g_raw.c_cc[VMIN] = 1;
        g_raw.c_cc[VTIME] = 0;
        for (int k = 0; k < kNsig; k++) {
            sigaction(kSignals[k], nullptr, &g_old[k]);
            g_caught[k] = g_old[k].sa_handler != SIG_IGN;
            if (g_caught[k]) catch_signal(k);
        }
        tcsetattr(g_fd, TCSANOW, &g_raw);
    }
    ~TermKeys() override {
        tcsetattr(g_fd, TCSANOW, &g_saved);
        for (int k = 0; k < kNsig; k++)
            if (g_caught[k]) sigaction(kSignals[k], &g_old[k], nullptr);
        close(g_fd);
        g_fd = -1;
    }
    int get() override {
        unsigned char c;
        for (;;) {
            ssize_t n = read(g_fd, &c, 1);
            if (n == 1) return c;
            if (n < 0 && errno == EINTR) continue;
            return -1;
        }
    }
    bool waiting() override {
        pollfd p{g_fd, POLLIN, 0};
        int n;
        do n = poll(&p, 1, 0);
        while (n < 0 && errno == EINTR);
        return n > 0 && (p.revents & POLLIN);
    }
};

}  // namespace

std::unique_ptr<KeySource> open_keys() {
    struct stat st;
    bool in_tty = isatty(0);
    bool in_pipe = !in_tty && fstat(0, &st) == 0 && (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
    if (in_tty || in_pipe) {
        int fd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd < 0 && in_tty) fd = fcntl(0, F_DUPFD_CLOEXEC, 0);
        if (fd >= 0) {
            // Behind a pipe the terminal is used only by the foreground job:
            // anything else would be stopped on its first read.
            termios t;
            if ((in_tty || tcgetpgrp(fd) == getpgrp()) && tcgetattr(fd, &t) == 0)
                return std::make_unique<TermKeys>(fd, t);
            close(fd);
        }
    }
    return stream_keys(stdin);
}

}  // namespace plat
