#include "platform/process.h"

#include <atomic>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The signal that arrived, or 0. Lock-free atomics may be used from a
// signal handler.
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free);

void on_signal(int sig) { caught.store(sig); }

bool limit_saved = false;
rlimit saved_limit;
struct sigaction saved_xfsz;

}  // namespace

std::string unique_name() {
    static unsigned long counter = 0;
    for (;;) {
        std::string name = "/rf" + std::to_string((long)getpid()) + "_" + std::to_string(++counter) + ".tmp";
        // Any failure to see the file counts as free: creating it then
        // reports what is wrong.
        struct stat st;
        if (lstat(("." + name).c_str(), &st) != 0) return name;
    }
}

void watch_interrupts() {
    caught.store(0);
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : kSignals) sigaction(sig, &sa, nullptr);
}

void unwatch_interrupts() {
    for (int sig : kSignals) signal(sig, SIG_DFL);
    caught.store(0);
}

bool interrupted() { return caught.load() != 0; }

int end_interrupted() {
    int sig = caught.load();
    if (sig == 0) sig = SIGINT;
    signal(sig, SIG_DFL);
    raise(sig);
    return 128 + sig;
}

bool limit_file_size(long long max_bytes) {
    if (max_bytes < 0) {
        if (!limit_saved) return true;
        limit_saved = false;
        sigaction(SIGXFSZ, &saved_xfsz, nullptr);
        return setrlimit(RLIMIT_FSIZE, &saved_limit) == 0;
    }
    if (!limit_saved) {
        if (getrlimit(RLIMIT_FSIZE, &saved_limit) != 0) return false;
        sigaction(SIGXFSZ, nullptr, &saved_xfsz);
        limit_saved = true;
    }
    // Without this the process would be killed instead of seeing a short write.
    signal(SIGXFSZ, SIG_IGN);
    rlimit r = saved_limit;
    r.rlim_cur = (rlim_t)max_bytes;
    if (r.rlim_max != RLIM_INFINITY && r.rlim_cur > r.rlim_max) r.rlim_cur = r.rlim_max;
    return setrlimit(RLIMIT_FSIZE, &r) == 0;
}

bool ended_by_interrupt(int status) {
    if (!WIFSIGNALED(status)) return false;
    int sig = WTERMSIG(status);
    return sig == SIGINT || sig == SIGTERM || sig == SIGHUP;
}

}  // namespace plat
