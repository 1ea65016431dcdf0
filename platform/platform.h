// The platform layer: everything the programs need from the operating system
// that differs between Windows and POSIX. The rest of the tree includes this
// header and never tests for a platform itself.
#pragma once
#include <cstdio>
#include <string>

namespace plat {

// The line end that text mode writes: CR LF on Windows, LF elsewhere.
// Reading in text mode is done by the common helpers (CR LF -> LF, Ctrl-Z
// ends the text) so that it behaves the same everywhere.
const char* newline();

// Put the standard streams into binary mode; the programs write their own
// line ends through the common text writer.
void init_std_streams();

// The pause after a fatal error. On Windows the shell command pause; elsewhere
// a prompt and one key, but only when standard input and standard error are
// terminals, so that scripts and tests never hang.
void pause();

// Runs a command through the shell; the result is the shell's status.
int run_shell(const char* command);

// The process environment as NAME=VALUE texts, in the process's own order,
// terminated by a null entry.
char** environment();

// File status. Returns false when the path does not exist.
struct FileStat {
    long long size = 0;
    bool is_dir = false;
    bool is_regular = false;
};
bool file_stat(const char* path, FileStat& st);

// A hint that a fresh, untouched block of memory will be filled at once
// (a whole file read into it): where the system has large pages, asking for
// them spares most of the page faults. Does nothing elsewhere.
void hint_bulk_memory(void* p, size_t n);

// Whether an existing file may be written by this process. A file that may
// not is refused by the safe writer too, although replacing it would work.
bool may_write(const char* path);

// Whole-file replacement: a temporary file in the target's folder, then one
// rename over the target. open_temp_beside gives a new, empty file opened
// for binary writing and its name; replace_file gives the temporary the
// target's permission bits (or the default for new files) and renames it over
// the target. Both return false (and leave errno) on failure.
FILE* open_temp_beside(const std::string& target, std::string& tmpname);
bool replace_file(const std::string& tmpname, const std::string& target);

// Opens a file in binary mode; names are 8-bit texts as the programs get them.
FILE* fopen_bin(const char* path, const char* mode);

int remove_file(const char* path);
int rename_file(const char* from, const char* to);

}  // namespace plat
