#include "platform/platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace plat {

const char* newline() { return "\n"; }

void init_std_streams() {}

void pause() {
    if (!isatty(0) || !isatty(2)) return;
    fputs("Press any key to continue . . .", stderr);
    fflush(stderr);
    termios old{};
    bool raw = tcgetattr(0, &old) == 0;
    if (raw) {
        termios t = old;
        t.c_lflag &= ~(ICANON | ECHO);
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        tcsetattr(0, TCSANOW, &t);
    }
    char c;
    ssize_t r = read(0, &c, 1);
    (void)r;
    if (raw) tcsetattr(0, TCSANOW, &old);
    fputs("\n", stderr);
}

int run_shell(const char* command) {
    fflush(stdout);
    fflush(stderr);
    return std::system(command);
}

char** environment() {
    static char* empty[] = {nullptr};
    return environ ? environ : empty;
}

bool file_stat(const char* path, FileStat& st) {
    struct stat s;
    if (::stat(path, &s) != 0) return false;
    st.size = (long long)s.st_size;
    st.is_dir = S_ISDIR(s.st_mode);
    st.is_regular = S_ISREG(s.st_mode);
    return true;
}

FILE* open_temp_beside(const std::string& target, std::string& tmpname) {
    std::string dir;
    size_t slash = target.find_last_of('/');
    if (slash != std::string::npos) dir = target.substr(0, slash + 1);
    std::string base = target.substr(slash == std::string::npos ? 0 : slash + 1);
    tmpname = dir + "." + base + ".XXXXXX";
    int fd = mkstemp(tmpname.data());
    if (fd < 0) return nullptr;
    FILE* f = fdopen(fd, "wb");
    if (!f) {
        int e = errno;
        close(fd);
        unlink(tmpname.c_str());
        errno = e;
    }
    return f;
}

bool replace_file(const std::string& tmpname, const std::string& target) {
    struct stat s;
    mode_t mode;
    if (::stat(target.c_str(), &s) == 0) {
        mode = s.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    if (chmod(tmpname.c_str(), mode) != 0) return false;
    return ::rename(tmpname.c_str(), target.c_str()) == 0;
}

FILE* fopen_bin(const char* path, const char* mode) {
    std::string m(mode);
    if (m.find('b') == std::string::npos) m += 'b';
    return std::fopen(path, m.c_str());
}

int remove_file(const char* path) { return std::remove(path); }
int rename_file(const char* from, const char* to) { return std::rename(from, to); }

}  // namespace plat
