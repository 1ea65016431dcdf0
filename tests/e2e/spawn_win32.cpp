// Windows side of the runner's spawn helper: CreateProcess with a built
// environment block, the standard streams redirected to files, and the whole
// 32-bit exit code.
#include <windows.h>

#include <cstring>

#include "spawn.h"

bool full_exit_codes() { return true; }

const char* platform_name() { return "windows"; }

namespace {

// What the shell, the runtime and (under wine) the loader need. Windows names
// are compared without case: the variable may arrive as Path or PATH.
const char* const kKeep[] = {"PATH",    "PATHEXT", "SystemRoot", "SystemDrive", "windir",
                             "COMSPEC", "TEMP",    "TMP",        "WINE"};

bool keep_name(const char* entry) {
    const char* eq = strchr(entry, '=');
    if (!eq || eq == entry) return false;  // also skips the hidden "=C:=..." entries
    size_t n = (size_t)(eq - entry);
    for (const char* k : kKeep) {
        size_t kn = strlen(k);
        if (strcmp(k, "WINE") == 0) {
            if (n >= kn && _strnicmp(entry, k, kn) == 0) return true;  // every WINE... variable
        } else if (n == kn && _strnicmp(entry, k, kn) == 0) {
            return true;
        }
    }
    return false;
}

// One argument quoted the way the runtime's command-line parser takes it
// apart again: backslashes are literal unless they precede a quote, where
// each must be doubled, and a quote is written as \".
std::string quote_arg(const std::string& a) {
    if (!a.empty() && a.find_first_of(" \t\n\v\"") == std::string::npos) return a;
    std::string out = "\"";
    size_t slashes = 0;
    for (char c : a) {
        if (c == '\\') {
            slashes++;
            continue;
        }
        if (c == '"') {
            out.append(slashes * 2 + 1, '\\');
        } else {
            out.append(slashes, '\\');
        }
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, '\\');  // they now precede the closing quote
    out += '"';
    return out;
}

// The program name is parsed by simpler rules (quotes only group, no
// escapes), so it is quoted plainly; a path cannot hold a quote anyway.
std::string quote_program(const std::string& p) {
    if (!p.empty() && p.find_first_of(" \t") == std::string::npos) return p;
    std::string q(1, '"');
    q += p;
    q += '"';
    return q;
}

std::string last_error_text(const char* what) {
    DWORD e = GetLastError();
    char buf[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, e, 0, buf,
                   sizeof buf, nullptr);
    size_t n = strlen(buf);
    while (n > 0 && (buf[n - 1] == '\n' || buf[n - 1] == '\r' || buf[n - 1] == ' ')) buf[--n] = 0;
    return std::string(what) + ": " + (n ? buf : "error " + std::to_string(e));
}

HANDLE open_std(const std::string& path, bool write) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileA(path.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

struct Handles {
    HANDLE h[3] = {INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};
    ~Handles() {
        for (HANDLE x : h)
            if (x != INVALID_HANDLE_VALUE) CloseHandle(x);
    }
};

}  // namespace

std::vector<std::string> passthrough_env() {
    std::vector<std::string> out;
    char* block = GetEnvironmentStringsA();
    if (!block) return out;
    for (char* e = block; *e; e += strlen(e) + 1)
        if (keep_name(e)) out.push_back(e);
    FreeEnvironmentStringsA(block);
    return out;
}

SpawnResult spawn_and_wait(const SpawnRequest& req) {
    SpawnResult res;
    if (req.argv.empty()) {
        res.error = "no program";
        return res;
    }
    std::string cmdline = quote_program(req.argv[0]);
    for (size_t k = 1; k < req.argv.size(); k++) {
        cmdline += ' ';
        cmdline += quote_arg(req.argv[k]);
    }

    // NAME=VALUE\0 ... \0\0, in the order given: the programs take the first
    // entry of a name, so the order is part of the case.
    std::string envblock;
    for (auto& e : req.env) {
        envblock += e;
        envblock += '\0';
    }
    if (req.env.empty()) envblock += '\0';
    envblock += '\0';

    Handles hs;
    hs.h[0] = open_std(req.stdin_file.empty() ? "NUL" : req.stdin_file, false);
    hs.h[1] = open_std(req.stdout_file, true);
    hs.h[2] = open_std(req.stderr_file, true);
    for (HANDLE x : hs.h)
        if (x == INVALID_HANDLE_VALUE) {
            res.error = last_error_text("cannot open a standard stream file");
            return res;
        }

    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = hs.h[0];
    si.hStdOutput = hs.h[1];
    si.hStdError = hs.h[2];
    PROCESS_INFORMATION pi{};
    std::vector<char> cl(cmdline.begin(), cmdline.end());
    cl.push_back('\0');
    // A job holds the program and whatever it starts through the shell, so a
    // timeout ends them all.
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION li{};
        li.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &li, sizeof li);
    }
    if (!CreateProcessA(req.argv[0].c_str(), cl.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                        envblock.data(), req.cwd.empty() ? nullptr : req.cwd.c_str(), &si, &pi)) {
        res.error = last_error_text(("could not start " + req.argv[0]).c_str());
        if (job) CloseHandle(job);
        return res;
    }
    res.started = true;
    bool in_job = job && AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);

    DWORD limit = req.timeout_seconds > 0 ? (DWORD)req.timeout_seconds * 1000 : INFINITE;
    DWORD w = WaitForSingleObject(pi.hProcess, limit);
    if (w == WAIT_TIMEOUT) {
        if (in_job) TerminateJobObject(job, 1);
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 10000);
        res.timed_out = true;
    } else if (w != WAIT_OBJECT_0) {
        res.error = last_error_text("wait failed");
    } else {
        DWORD code = 0;
        if (GetExitCodeProcess(pi.hProcess, &code))
            res.exit_code = (long long)(int)code;  // the whole 32 bits, signed as scripts see them
        else
            res.error = last_error_text("no exit code");
    }
    CloseHandle(pi.hProcess);
    if (job) CloseHandle(job);
    return res;
}
