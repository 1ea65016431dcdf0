// Whole files in and out of memory. An absent or empty name means the
// standard stream. Every failure is fatal: message, pause, exit code 1.
#pragma once
#include <cstddef>

struct FileText {
    char* text;     // NUL-terminated
    long long len;  // bytes, without the terminator
};

struct LineArray {
    char** tab;    // lines without their line ends, then a null entry
    long long n;   // number of lines
};

namespace plain {
// kesh: a named file ends with exactly one newline afterwards (unless empty).
FileText* read_nFILE(const char* path, const char* mode);
}  // namespace plain

namespace anchored {
// numka, versim: a one-letter mode appends a missing final newline; a longer
// mode ("rb") leaves the bytes exactly as read. Outgrown buffers are freed.
FileText* read_nFILE(const char* path, const char* mode);
}  // namespace anchored

// The lines of a file (plain allocation). The lines of a named file all point
// into one buffer holding the whole file.
LineArray* read_rFILE(const char* path);

// Writes each line followed by a newline. mode "w" (or null/empty) replaces
// the file safely; "a" appends. Standard output is not closed.
void write_rFILE(const char* path, const char* mode, const char* const* lines, size_t n);
void write_rFILE(const char* path, const char* mode, const char* const* lines);
