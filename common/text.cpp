#include "common/text.h"

#include <cstring>
#include <vector>

#include "platform/platform.h"

std::string vformat(const char* fmt, va_list ap) {
    va_list ap2;
    va_copy(ap2, ap);
    char small[512];
    int n = vsnprintf(small, sizeof small, fmt, ap);
    std::string s;
    if (n < 0) {
        va_end(ap2);
        return s;
    }
    if ((size_t)n < sizeof small) {
        s.assign(small, (size_t)n);
    } else {
        s.resize((size_t)n + 1);
        vsnprintf(s.data(), s.size(), fmt, ap2);
        s.resize((size_t)n);
    }
    va_end(ap2);
    return s;
}

std::string format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = vformat(fmt, ap);
    va_end(ap);
    return s;
}

namespace {
[[noreturn]] void finish(int code, const std::string& message) {
    fflush(stdout);
    put_text(stderr, message);
    fflush(stderr);
    plat::pause();
    throw Fatal{code};
}
}  // namespace

void die(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = vformat(fmt, ap);
    va_end(ap);
    finish(1, s);
}

void die_code(int code, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = vformat(fmt, ap);
    va_end(ap);
    finish(code, s);
}

void put_text(FILE* f, std::string_view s) {
    const char* nl = plat::newline();
    if (nl[0] == '\n' && nl[1] == 0) {
        fwrite(s.data(), 1, s.size(), f);
        return;
    }
    size_t nll = strlen(nl);
    size_t start = 0;
    for (size_t k = 0; k < s.size(); k++) {
        if (s[k] == '\n') {
            fwrite(s.data() + start, 1, k - start, f);
            fwrite(nl, 1, nll, f);
            start = k + 1;
        }
    }
    fwrite(s.data() + start, 1, s.size() - start, f);
}

void TextWriter::put(std::string_view s) {
    const char* nl = plat::newline();
    if (nl[0] == '\n' && nl[1] == 0) {
        block_.append(s);
    } else {
        for (size_t k; (k = s.find('\n')) != std::string_view::npos; s.remove_prefix(k + 1)) {
            block_.append(s.substr(0, k));
            block_.append(nl);
        }
        block_.append(s);
    }
    if (block_.size() >= (1 << 20)) flush();
}

void TextWriter::flush() {
    if (!block_.empty()) fwrite(block_.data(), 1, block_.size(), f_);
    block_.clear();
}

void tprintf(FILE* f, const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    std::string s = vformat(fmt, ap);
    va_end(ap);
    put_text(f, s);
}

bool text_getline(FILE* f, std::string& out, size_t max) {
    out.clear();
    if (max < 2) return false;
    while (out.size() < max - 1) {
        int c = getc(f);
        if (c == EOF) break;
        if (c == 0x1A) {
            // Ctrl-Z: the text ends here for good; swallow the rest.
            while (getc(f) != EOF) {
            }
            break;
        }
        if (c == '\r') {
            int d = getc(f);
            if (d == '\n') {
                c = '\n';
            } else if (d != EOF) {
                ungetc(d, f);
            }
        }
        out.push_back((char)c);
        if (c == '\n') break;
    }
    return !out.empty();
}

size_t text_decode(char* buf, size_t len) {
    char* z = (char*)memchr(buf, 0x1A, len);
    if (z) len = (size_t)(z - buf);
    char* cr = (char*)memchr(buf, '\r', len);
    if (!cr) return len;
    size_t w = (size_t)(cr - buf);
    for (size_t r = w; r < len; r++) {
        if (buf[r] == '\r' && r + 1 < len && buf[r + 1] == '\n') continue;
        buf[w++] = buf[r];
    }
    return w;
}

bool SafeFile::open(const std::string& target) {
    discard();
    target_ = target;
    plat::FileStat st;
    bool exists = plat::file_stat(target.c_str(), st);
    direct_ = exists && !st.is_regular;
    // A write-protected file stays protected, as it would with a plain open.
    if (exists && !plat::may_write(target.c_str())) return false;
    if (direct_) {
        f_ = plat::fopen_bin(target.c_str(), "wb");
    } else {
        f_ = plat::open_temp_beside(target, tmp_);
    }
    if (f_) {
        buf_.reset(new char[1 << 16]);
        setvbuf(f_, buf_.get(), _IOFBF, 1 << 16);
    }
    return f_ != nullptr;
}

void SafeFile::commit() {
    if (!f_) return;
    bool ok = !ferror(f_);
    ok = (fclose(f_) == 0) && ok;
    f_ = nullptr;
    if (!direct_) {
        if (ok) ok = plat::replace_file(tmp_, target_);
        if (!ok) plat::remove_file(tmp_.c_str());
        tmp_.clear();
    }
    if (!ok) die("*** write error: %s\n", target_.c_str());
}

void SafeFile::discard() {
    if (!f_) return;
    fclose(f_);
    f_ = nullptr;
    if (!direct_) plat::remove_file(tmp_.c_str());
    tmp_.clear();
}
