#include "common/files.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/alloc.h"
#include "common/text.h"
#include "platform/platform.h"

namespace {

using AllocFn = void* (*)(long long);
using FreeFn = void (*)(void*);

bool is_binary(const char* mode) { return mode && strchr(mode, 'b'); }

// Reads the whole stream into a buffer of at least `cap` bytes. A regular
// file is read with one request; anything else (a pipe, a device that
// reports size 0) is read until its end, growing the buffer geometrically.
char* read_stream(FILE* f, long long cap, AllocFn alloc, FreeFn release, long long& len) {
    if (cap < 4096) cap = 4096;
    char* buf = (char*)alloc(cap);
    plat::hint_bulk_memory(buf, (size_t)cap);
    len = 0;
    for (;;) {
        size_t got = fread(buf + len, 1, (size_t)(cap - len), f);
        len += (long long)got;
        if (len < cap) break;
        long long ncap = cap * 2;
        char* nbuf = (char*)alloc(ncap);
        memcpy(nbuf, buf, (size_t)len);
        if (release) release(buf);
        buf = nbuf;
        cap = ncap;
    }
    return buf;
}

// Shared by both variants of read_nFILE for a named file: status, open, read,
// text-mode decoding. Returns the buffer with room for one more byte.
char* load_named(const char* path, const char* mode, long long factor, AllocFn alloc, FreeFn release,
                 long long& len) {
    plat::FileStat st;
    if (!plat::file_stat(path, st)) die("*** file error: %s\n", path);
    FILE* f = st.is_dir ? nullptr : plat::fopen_bin(path, "rb");
    if (!f) die("*** open error: %s\n", path);
    char* buf = read_stream(f, st.size * factor + 1, alloc, release, len);
    bool err = ferror(f);
    fclose(f);
    if (err || (len == 0 && st.size > 0)) die("*** read error: %s\n", path);
    if (!is_binary(mode ? mode : "r")) {
        len = (long long)text_decode(buf, (size_t)len);
        if (len == 0 && st.size > 0) die("*** read error: %s\n", path);
    }
    return buf;
}

// Standard input as one text, in chunks of at most 2047 characters; a chunk
// without a newline (a long line cut, or the last line) gets one appended.
char* load_stdin(AllocFn alloc, FreeFn release, long long& len) {
    long long cap = 8192;
    char* buf = (char*)alloc(cap);
    plat::hint_bulk_memory(buf, (size_t)cap);
    len = 0;
    std::string chunk;
    while (text_getline(stdin, chunk, 2048)) {
        size_t n = strlen(chunk.c_str());
        if (n == 0) continue;
        // Room for the chunk, a newline and the terminator; the buffer
        // doubles so that large input is not copied over and over.
        if (cap - len < (long long)n + 2) {
            long long ncap = cap * 2 + (long long)n;
            char* nbuf = (char*)alloc(ncap);
            memcpy(nbuf, buf, (size_t)len);
            if (release) release(buf);
            buf = nbuf;
            cap = ncap;
        }
        memcpy(buf + len, chunk.data(), n);
        len += (long long)n;
        if (chunk[n - 1] != '\n') buf[len++] = '\n';
    }
    buf[len] = 0;
    return buf;
}

template <AllocFn alloc>
FileText* make_text(char* buf, long long len) {
    FileText* t = (FileText*)alloc(sizeof(FileText));
    buf[len] = 0;
    t->text = buf;
    t->len = len;
    return t;
}

}  // namespace

namespace plain {

FileText* read_nFILE(const char* path, const char* mode) {
    long long len;
    if (!path || !*path) {
        char* buf = load_stdin(Alloc, nullptr, len);
        return make_text<Alloc>(buf, len);
    }
    // Twice the file size, as callers expect room to grow the text in place.
    char* buf = load_named(path, mode, 2, Alloc, nullptr, len);
    if (len > 0) {
        while (len > 0 && buf[len - 1] == '\n') len--;
        buf[len++] = '\n';
    }
    return make_text<Alloc>(buf, len);
}

}  // namespace plain

namespace anchored {

FileText* read_nFILE(const char* path, const char* mode) {
    long long len;
    if (!path || !*path) {
        char* buf = load_stdin(Alloc, Free, len);
        return make_text<Alloc>(buf, len);
    }
    const char* m = mode ? mode : "r";
    char* buf = load_named(path, m, 1, Alloc, Free, len);
    if (strlen(m) == 1 && len > 0 && buf[len - 1] != '\n') buf[len++] = '\n';
    return make_text<Alloc>(buf, len);
}

}  // namespace anchored

using plain::Alloc;

LineArray* read_rFILE(const char* path) {
    LineArray* la = (LineArray*)Alloc(sizeof(LineArray));
    if (!path || !*path) {
        // Standard input: one entry per line of at most 2039 characters; a
        // longer line arrives as several entries.
        size_t cap = 4096, n = 0;
        char** tab = (char**)Alloc((long long)(cap + 1) * (long long)sizeof(char*));
        std::string line;
        while (text_getline(stdin, line, 2040)) {
            if (line.back() == '\n') line.pop_back();
            size_t len = strlen(line.c_str());
            char* copy = (char*)Alloc((long long)len + 1);
            memcpy(copy, line.data(), len);
            if (n == cap) {
                size_t ncap = cap * 2;
                char** nt = (char**)Alloc((long long)(ncap + 1) * (long long)sizeof(char*));
                memcpy(nt, tab, n * sizeof(char*));
                tab = nt;
                cap = ncap;
            }
            tab[n++] = copy;
        }
        tab[n] = nullptr;
        la->tab = tab;
        la->n = (long long)n;
        return la;
    }
    plat::FileStat st;
    if (!plat::file_stat(path, st)) die("*** file error %s\n", path);
    FILE* f = st.is_dir ? nullptr : plat::fopen_bin(path, "rb");
    if (!f) die("*** file open error %s\n", path);
    long long len;
    char* buf = read_stream(f, st.size + 1, Alloc, nullptr, len);
    fclose(f);
    len = (long long)text_decode(buf, (size_t)len);
    if (len > 0 && buf[len - 1] != '\n') buf[len++] = '\n';
    buf[len] = 0;
    // One pass over the text: the line starts are gathered in a vector and
    // copied into the table once their number is known.
    std::vector<char*> starts;
    starts.reserve((size_t)(len / 48) + 16);
    for (char *p = buf, *end = buf + len; p < end;) {
        char* nl = (char*)memchr(p, '\n', (size_t)(end - p));
        *nl = 0;
        // A NUL byte inside a line ends that line's text; the lines after
        // it are kept.
        starts.push_back(p);
        p = nl + 1;
    }
    long long n = (long long)starts.size();
    char** tab = (char**)Alloc((n + 1) * (long long)sizeof(char*));
    if (n) memcpy(tab, starts.data(), (size_t)n * sizeof(char*));
    tab[n] = nullptr;
    la->tab = tab;
    la->n = n;
    return la;
}

void write_rFILE(const char* path, const char* mode, const char* const* lines, size_t n) {
    // A line that holds line breaks (a joined text) gets the platform's
    // line end for each of them, as a text stream would write it.
    auto write_all = [&](FILE* f) {
        TextWriter w(f);
        for (size_t k = 0; k < n; k++) {
            w.put(lines[k]);
            w.put("\n");
        }
    };
    if (!path || !*path) {
        write_all(stdout);
        fflush(stdout);
        return;
    }
    if (mode && *mode == 'a') {
        FILE* f = plat::fopen_bin(path, "ab");
        if (!f) die("*** open error: %s\n", path);
        write_all(f);
        bool ok = !ferror(f);
        if (fclose(f) != 0 || !ok) die("*** write error: %s\n", path);
        return;
    }
    SafeFile sf;
    if (!sf.open(path)) die("*** open error: %s\n", path);
    write_all(sf.stream());
    sf.commit();
}

void write_rFILE(const char* path, const char* mode, const char* const* lines) {
    size_t n = 0;
    while (lines[n]) n++;
    write_rFILE(path, mode, lines, n);
}
