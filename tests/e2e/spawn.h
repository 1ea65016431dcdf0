// Starts a program and waits for it: a small portable helper for the
// end-to-end runner. One source per platform.
#pragma once
#include <string>
#include <vector>

struct SpawnRequest {
    std::vector<std::string> argv;  // argv[0] is the program path
    std::vector<std::string> env;   // NAME=VALUE, in this order
    std::string cwd;
    std::string stdin_file;  // empty: an empty standard input
    std::string stdout_file, stderr_file;
    int timeout_seconds = 60;
};

struct SpawnResult {
    bool started = false;
    bool timed_out = false;
    long long exit_code = 0;  // as the platform reports it
    std::string error;
};

SpawnResult spawn_and_wait(const SpawnRequest& req);

// True where exit codes arrive whole (Windows); false where only the low
// eight bits do (POSIX).
bool full_exit_codes();

// "windows" or "posix": the platform the runner was built for, which the
// "only:" line of a case names.
const char* platform_name();

// Values of the runner's own environment passed on to every case (PATH and
// what the platform's shell and the sanitizers need).
std::vector<std::string> passthrough_env();
