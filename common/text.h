// Fatal errors and text-mode output shared by all programs.
#pragma once
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

// Thrown after a fatal message and the pause; main() turns it into the exit
// code, so no helper ever calls exit() itself.
struct Fatal {
    int code;
};

// "*** ..." message to standard error, the pause, then Fatal{1}.
[[noreturn]] void die(const char* fmt, ...);
// The same with another exit code.
[[noreturn]] void die_code(int code, const char* fmt, ...);

// Text-mode output: every '\n' becomes the platform's line end.
void put_text(FILE* f, std::string_view s);

// Text-mode output gathered into large blocks, for million-line lists where
// one stream call per line would cost more than the copying.
class TextWriter {
public:
    explicit TextWriter(FILE* f) : f_(f) {}
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;
    ~TextWriter() { flush(); }
    void put(std::string_view s);  // '\n' becomes the platform line end
    void flush();

private:
    FILE* f_;
    std::string block_;
};
void tprintf(FILE* f, const char* fmt, ...);
std::string vformat(const char* fmt, va_list ap);
std::string format(const char* fmt, ...);

// Text-mode input of one line, the way fgets reads a text stream: at most
// max-1 bytes, stopping after a newline; CR LF arrives as LF and a Ctrl-Z byte
// ends the input. Returns false at the end of input. The result may hold NUL
// bytes; callers that treat it as a C text see it end there.
bool text_getline(FILE* f, std::string& out, size_t max);

// Turns bytes read in binary into text-mode bytes in place: CR LF -> LF and a
// Ctrl-Z ends the text. Returns the new length.
size_t text_decode(char* buf, size_t len);

// A whole file written safely: the bytes go to a temporary file beside the
// target, which replaces the target only when everything was written and
// closed cleanly. A target that exists and is not a regular file (a device,
// a pipe) is written directly. commit() reports "*** write error: NAME" and
// dies when anything failed; the old file then stays as it was.
class SafeFile {
public:
    // Returns false when the file cannot be created (nothing is reported).
    bool open(const std::string& target);
    FILE* stream() const { return f_; }
    void commit();
    void discard();
    ~SafeFile() { discard(); }

private:
    std::string target_, tmp_;
    FILE* f_ = nullptr;
    std::unique_ptr<char[]> buf_;
    bool direct_ = false;
};
