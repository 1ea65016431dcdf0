#include "platform/signals.h"

#include <atomic>
#include <csignal>
#include <iterator>
#include <sys/resource.h>

namespace plat {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The signal that arrived, or 0. Lock-free atomics may be used from a
// signal handler.
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free);

void on_signal(int sig) { caught.store(sig); }

bool watching = false;
struct sigaction saved_watch[std::size(kSignals)];
struct sigaction saved_watch_xfsz;

bool limit_saved = false;
rlimit saved_limit;
struct sigaction saved_xfsz;

}  // namespace

void watch_interrupts() {
    caught.store(0);
    if (watching) return;
    watching = true;
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (size_t k = 0; k < std::size(kSignals); k++) {
        sigaction(kSignals[k], nullptr, &saved_watch[k]);
        // A signal the caller chose to ignore (a background job) stays ignored.
        if (saved_watch[k].sa_handler != SIG_IGN) sigaction(kSignals[k], &sa, nullptr);
    }
    // A file-size cap would otherwise kill the process with its file still
    // there; ignored, it fails the write like a full disk.
    struct sigaction ign {};
    ign.sa_handler = SIG_IGN;
    sigemptyset(&ign.sa_mask);
    sigaction(SIGXFSZ, &ign, &saved_watch_xfsz);
}

void unwatch_interrupts() {
    if (watching) {
        for (size_t k = 0; k < std::size(kSignals); k++) sigaction(kSignals[k], &saved_watch[k], nullptr);
        sigaction(SIGXFSZ, &saved_watch_xfsz, nullptr);
        watching = false;
    }
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

}  // namespace plat
