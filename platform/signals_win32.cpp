#include "platform/signals.h"

#include <atomic>
#include <csignal>
#include <windows.h>

namespace plat {

namespace {

// The exit code of a console program that Ctrl+C ended; cmd.exe recognises it.
constexpr DWORD kCtrlCExit = 0xC000013AUL;

std::atomic<int> caught{0};

BOOL WINAPI on_console_event(DWORD type) {
    caught.store(1);
    if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT) {
        // Returning would end the process at once, with the file still on the
        // disk. The main thread tidies up and ends the process meanwhile; the
        // system gives up on us after a few seconds in any case.
        Sleep(20000);
    }
    return TRUE;
}

// raise() and the runtime's own Ctrl+C handling arrive here.
void on_signal(int) { caught.store(1); }

}  // namespace

void watch_interrupts() {
    caught.store(0);
    SetConsoleCtrlHandler(on_console_event, TRUE);
    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
    std::signal(SIGBREAK, on_signal);
}

void unwatch_interrupts() {
    SetConsoleCtrlHandler(on_console_event, FALSE);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGBREAK, SIG_DFL);
    caught.store(0);
}

bool interrupted() { return caught.load() != 0; }

int end_interrupted() { return (int)kCtrlCExit; }

bool limit_file_size(long long) { return false; }

}  // namespace plat
