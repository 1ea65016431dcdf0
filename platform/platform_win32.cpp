#include "platform/platform.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <windows.h>

namespace plat {

const char* newline() { return "\r\n"; }

void init_std_streams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void pause() { run_shell("pause"); }

int run_shell(const char* command) {
    fflush(stdout);
    fflush(stderr);
    return std::system(command);
}

char** environment() {
    static char* empty[] = {nullptr};
    return _environ ? _environ : empty;
}

bool file_stat(const char* path, FileStat& st) {
    struct _stati64 s;
    if (_stati64(path, &s) != 0) return false;
    st.size = (long long)s.st_size;
    st.is_dir = (s.st_mode & _S_IFMT) == _S_IFDIR;
    st.is_regular = (s.st_mode & _S_IFMT) == _S_IFREG;
    return true;
}

FILE* open_temp_beside(const std::string& target, std::string& tmpname) {
    std::string dir;
    size_t slash = target.find_last_of("/\\:");
    if (slash != std::string::npos) dir = target.substr(0, slash + 1);
    char buf[MAX_PATH + 16];
    if (!GetTempFileNameA(dir.empty() ? "." : dir.c_str(), "ksh", 0, buf)) {
        errno = EACCES;
        return nullptr;
    }
    tmpname = buf;
    FILE* f = std::fopen(buf, "wb");
    if (!f) DeleteFileA(buf);
    return f;
}

bool replace_file(const std::string& tmpname, const std::string& target) {
    // Keep a read-only target read-only: carry its attributes over.
    DWORD attr = GetFileAttributesA(target.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)) {
        errno = EACCES;
        return false;
    }
    if (!MoveFileExA(tmpname.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        errno = EACCES;
        return false;
    }
    return true;
}

FILE* fopen_bin(const char* path, const char* mode) {
    std::string m(mode);
    if (m.find('b') == std::string::npos) m += 'b';
    return std::fopen(path, m.c_str());
}

int remove_file(const char* path) { return std::remove(path); }

// Windows rename fails when the target exists; the programs expect that, as
// the file system says (renaming onto an existing file is refused).
int rename_file(const char* from, const char* to) { return std::rename(from, to); }

}  // namespace plat
