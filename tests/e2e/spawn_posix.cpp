#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

#include "spawn.h"

extern char** environ;

bool full_exit_codes() { return false; }

const char* platform_name() { return "posix"; }

std::vector<std::string> passthrough_env() {
    static const char* keep[] = {"PATH=", "ASAN_OPTIONS=", "UBSAN_OPTIONS=", "LSAN_OPTIONS=", "HOME=", "LANG="};
    std::vector<std::string> out;
    for (char** e = environ; *e; e++)
        for (const char* k : keep)
            if (strncmp(*e, k, strlen(k)) == 0) out.push_back(*e);
    return out;
}

SpawnResult spawn_and_wait(const SpawnRequest& req) {
    SpawnResult res;
    std::vector<char*> av, ev;
    for (auto& a : req.argv) av.push_back(const_cast<char*>(a.c_str()));
    av.push_back(nullptr);
    for (auto& e : req.env) ev.push_back(const_cast<char*>(e.c_str()));
    ev.push_back(nullptr);
    pid_t pid = fork();
    if (pid < 0) {
        res.error = strerror(errno);
        return res;
    }
    if (pid == 0) {
        setpgid(0, 0);
        if (chdir(req.cwd.c_str()) != 0) _exit(126);
        int in = open(req.stdin_file.empty() ? "/dev/null" : req.stdin_file.c_str(), O_RDONLY);
        int out = open(req.stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(req.stderr_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(126);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execve(av[0], av.data(), ev.data());
        _exit(127);
    }
    res.started = true;
    int status = 0;
    struct timespec step = {0, 2000000};
    long long waited_ms = 0;
    for (;;) {
        pid_t w = waitpid(pid, &status, WNOHANG);
        if (w == pid) break;
        if (w < 0) {
            res.error = strerror(errno);
            return res;
        }
        if (waited_ms > req.timeout_seconds * 1000LL) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            res.timed_out = true;
            return res;
        }
        nanosleep(&step, nullptr);
        waited_ms += 2;
    }
    if (WIFEXITED(status)) {
        res.exit_code = WEXITSTATUS(status);
        if (res.exit_code == 127) res.error = "could not start " + req.argv[0];
    } else if (WIFSIGNALED(status)) {
        res.exit_code = 128 + WTERMSIG(status);
        res.error = std::string("killed by signal ") + strsignal(WTERMSIG(status));
    }
    return res;
}
