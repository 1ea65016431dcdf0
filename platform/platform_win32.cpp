#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>

#include "platform/platform.h"

namespace plat {

namespace {

// Names reach the file system through the wide calls, converted from the
// active code page as the runtime's own fopen does: the narrow calls cut
// names at MAX_PATH in places where fopen does not.
std::wstring wide(const char* s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring w((size_t)n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
    w.resize((size_t)n - 1);
    return w;
}
std::wstring wide(const std::string& s) { return wide(s.c_str()); }

// errno for the last Windows error, so that callers report failures the same
// way on both platforms.
void set_errno_from_last_error() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        errno = ENOENT;
        break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
        errno = EEXIST;
        break;
    case ERROR_NOT_SAME_DEVICE:
        errno = EXDEV;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        errno = ENOSPC;
        break;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        errno = EINVAL;
        break;
    default:
        errno = EACCES;  // access denied, sharing and lock violations, ...
        break;
    }
}

bool is_console(DWORD which) {
    DWORD mode;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

// Fills st from an open handle: devices (NUL, CON, COM1, pipes) exist but are
// not regular files, so whole-file writers write to them directly.
bool stat_handle(HANDLE h, FileStat& st) {
    if (GetFileType(h) != FILE_TYPE_DISK) {
        st = FileStat{};
        return true;
    }
    BY_HANDLE_FILE_INFORMATION fi;
    if (!GetFileInformationByHandle(h, &fi)) return false;
    st.is_dir = (fi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    st.is_regular = !st.is_dir;
    st.size = st.is_dir ? 0 : (long long)(((unsigned long long)fi.nFileSizeHigh << 32) | fi.nFileSizeLow);
    return true;
}

bool stat_open(const char* path, DWORD access, FileStat& st) {
    HANDLE h = CreateFileW(wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = stat_handle(h, st);
    CloseHandle(h);
    return ok;
}

bool transient(DWORD e) {
    return e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION || e == ERROR_ACCESS_DENIED;
}

}  // namespace

const char* newline() { return "\r\n"; }

void init_std_streams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// The shell's own pause, as users know it, but only when someone sits at the
// console to answer it: with redirected input there is nobody to press a key,
// and with redirected error output the message was not seen anyway. Its
// prompt goes to standard error beside the message, so redirected standard
// output never holds it.
void pause() {
    if (!is_console(STD_INPUT_HANDLE) || !is_console(STD_ERROR_HANDLE)) return;
    run_shell("pause 1>&2");
}

// The runtime hands the text to "cmd /c", which drops the first and the last
// quote of a command that begins with one ("prog" "arg" would lose both);
// one more pair around the whole text is what it drops instead.
int run_shell(const char* command) {
    fflush(stdout);
    fflush(stderr);
    std::string wrapped;
    wrapped.reserve(strlen(command) + 2);
    wrapped += '"';
    wrapped += command;
    wrapped += '"';
    return std::system(wrapped.c_str());
}

char** environment() {
    static char* empty[] = {nullptr};
    return _environ ? _environ : empty;
}

// The runtime's stat refuses devices (NUL) and folder names with a trailing
// backslash; the file system's own calls take both.
bool file_stat(const char* path, FileStat& st) {
    st = FileStat{};
    if (!path || !*path) return false;
    if (stat_open(path, 0, st)) return true;
    DWORD e = GetLastError();
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &d)) {  // a file locked by another program
        st.is_dir = (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        st.is_regular = !st.is_dir;
        st.size = st.is_dir ? 0 : (long long)(((unsigned long long)d.nFileSizeHigh << 32) | d.nFileSizeLow);
        return true;
    }
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_INVALID_NAME) return false;
    // The console (CON) opens only for reading or writing.
    return stat_open(path, GENERIC_READ, st);
}

// The name is made here rather than by the system's temporary-name call,
// which refuses folders whose path is longer than MAX_PATH - 14.
FILE* open_temp_beside(const std::string& target, std::string& tmpname) {
    std::string dir;
    size_t slash = target.find_last_of("/\\:");
    if (slash != std::string::npos) dir = target.substr(0, slash + 1);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; attempt++) {
        tmpname = dir + "ksh" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter) + ".tmp";
        HANDLE h = CreateFileW(wide(tmpname).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
            set_errno_from_last_error();
            return nullptr;
        }
        int fd = _open_osfhandle((intptr_t)h, _O_BINARY | _O_WRONLY);
        FILE* f = fd < 0 ? nullptr : _fdopen(fd, "wb");
        if (!f) {
            int e = errno;
            if (fd < 0)
                CloseHandle(h);
            else
                _close(fd);
            DeleteFileW(wide(tmpname).c_str());
            errno = e;
        }
        return f;
    }
    errno = EEXIST;
    return nullptr;
}

bool replace_file(const std::string& tmpname, const std::string& target) {
    DWORD attr = GetFileAttributesW(wide(target).c_str());
    if (attr != INVALID_FILE_ATTRIBUTES) {
        // A read-only file is not replaced: the file system refuses to
        // overwrite it in place too, and the user marked it so on purpose.
        if (attr & FILE_ATTRIBUTE_READONLY) {
            errno = EACCES;
            return false;
        }
        if (attr & FILE_ATTRIBUTE_DIRECTORY) {
            errno = EISDIR;
            return false;
        }
        // The new content keeps the old file's hidden and system marks.
        DWORD keep = attr & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                             FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        SetFileAttributesW(wide(tmpname).c_str(), keep ? keep : FILE_ATTRIBUTE_NORMAL);
    }
    // A scanner or indexer may hold the fresh file for a moment.
    for (int attempt = 0;; attempt++) {
        if (MoveFileExW(wide(tmpname).c_str(), wide(target).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DWORD e = GetLastError();
        if (!transient(e) || attempt == 20) break;
        Sleep(50);
    }
    set_errno_from_last_error();
    return false;
}

FILE* fopen_bin(const char* path, const char* mode) {
    std::string m(mode);
    if (m.find('b') == std::string::npos) m += 'b';
    return std::fopen(path, m.c_str());
}

int remove_file(const char* path) {
    if (DeleteFileW(wide(path).c_str())) return 0;
    set_errno_from_last_error();
    return -1;
}

// Windows semantics: an existing target is never replaced (the rename fails
// with EEXIST), a file may move to another drive, and a change of letter case
// alone renames the file.
int rename_file(const char* from, const char* to) {
    if (MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_COPY_ALLOWED)) return 0;
    set_errno_from_last_error();
    return -1;
}

}  // namespace plat
