#include "flagsift/flagsift.h"

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/alloc.h"
#include "common/text.h"
#include "platform/platform.h"

using plain::Alloc;

namespace {

// The log's lines in text mode (CR LF -> LF, Ctrl-Z ends the text), read in
// large blocks. A line of any length is one line; the last may lack its '\n'.
class LogReader {
public:
    explicit LogReader(FILE* f) : f_(f), buf_(1 << 16) {}

    // The next line with its '\n'; valid until the next call.
    bool next(std::string_view& line) {
        joined_.clear();
        for (;;) {
            if (pos_ < end_) {
                const char* p = buf_.data() + pos_;
                const char* nl = (const char*)memchr(p, '\n', end_ - pos_);
                size_t n = nl ? (size_t)(nl - p) + 1 : end_ - pos_;
                pos_ += n;
                if (nl && joined_.empty()) {
                    line = std::string_view(p, n);
                    return true;
                }
                joined_.append(p, n);
                if (nl) {
                    line = joined_;
                    return true;
                }
            }
            if (done_ || !refill()) {
                line = joined_;
                return !joined_.empty();
            }
        }
    }

private:
    bool refill() {
        size_t n = 0;
        if (held_cr_) buf_[n++] = '\r';
        held_cr_ = false;
        size_t got = fread(buf_.data() + n, 1, buf_.size() - n, f_);
        n += got;
        if (got == 0) done_ = true;
        if (char* z = (char*)memchr(buf_.data(), 0x1A, n)) {
            n = (size_t)(z - buf_.data());
            done_ = true;
        }
        // A CR at the block's end may pair with an LF in the next block.
        if (!done_ && n > 0 && buf_[n - 1] == '\r') {
            held_cr_ = true;
            n--;
        }
        pos_ = 0;
        end_ = text_decode(buf_.data(), n);
        return end_ > 0 || held_cr_;
    }

    FILE* f_;
    std::vector<char> buf_;
    size_t pos_ = 0, end_ = 0;
    bool done_ = false, held_cr_ = false;
    std::string joined_;
};

// Byte tables: the lines between the messages are most of a log.
constexpr std::array<bool, 256> table(std::string_view chars) {
    std::array<bool, 256> t{};
    for (char c : chars) t[(unsigned char)c] = true;
    return t;
}
constexpr std::array<bool, 256> kParen = table("()");
// A NUL byte ends a name as well.
constexpr std::array<bool, 256> kNameEnd = table(std::string_view(" [(){\n\0", 7));

// A node of the open-file stack. Popped nodes wait on a spare list and are
// used again, so a long log does not pile up memory.
struct Node {
    char* name;
    size_t cap;
    Node* below;
};

struct Sifter {
    FILE* out;
    Node* top = nullptr;
    Node* spare = nullptr;

    void push(std::string_view name) {
        Node* n = spare;
        if (n) {
            spare = n->below;
        } else {
            n = (Node*)Alloc(sizeof(Node));
        }
        if (n->cap < name.size() + 1) {
            n->name = (char*)Alloc((long long)name.size() + 1);
            n->cap = name.size() + 1;
        }
        memcpy(n->name, name.data(), name.size());
        n->name[name.size()] = 0;
        n->below = top;
        top = n;
    }

    void pop() {
        if (!top) return;
        Node* n = top;
        top = n->below;
        n->below = spare;
        spare = n;
    }

    // The file's name once, before its first message.
    void marker() {
        if (!top || !top->name[0]) return;
        tprintf(out, "\n===>> %s <<===\n", top->name);
        top->name[0] = 0;
    }

    void scan(std::string_view line) {
        const unsigned char* p = (const unsigned char*)line.data();
        const unsigned char* e = p + line.size();
        for (; p < e; p++) {
            if (!kParen[*p]) continue;
            if (*p == ')') {
                pop();
            } else {
                const unsigned char* q = p + 1;
                while (q < e && !kNameEnd[*q]) q++;
                push(std::string_view((const char*)p + 1, (size_t)(q - p - 1)));
            }
        }
    }

};

bool begins(std::string_view line, std::string_view head) { return line.substr(0, head.size()) == head; }

}  // namespace

void sift(FILE* log, FILE* flg) {
    LogReader rd(log);
    Sifter s{flg};
    std::string_view line;
    while (rd.next(line)) {
        char c = line[0];
        if (c == '\n') continue;
        if ((c == 'O' && begins(line, "Overfull \\")) || (c == 'U' && begins(line, "Underfull \\"))) {
            s.marker();
            put_text(flg, line);
            while (rd.next(line)) {
                put_text(flg, line);
                if (line[0] == '\n') break;
            }
        } else if (c == '!' && begins(line, "! ")) {
            s.marker();
            put_text(flg, line);
            while (rd.next(line) && line[0] != '\n' && line[0] != '?') put_text(flg, line);
        } else {
            s.scan(line);
        }
    }
}

int flagsift_main(int argc, char** argv) {
    if (argc < 2) return 1;
    std::string name = argv[1];
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.compare(dot + 1, std::string::npos, "tex") != 0) return 1;
    name.resize(dot + 1);
    std::string logname = name + "log";
    // A folder opens for reading on some systems and not on others.
    plat::FileStat st;
    if (plat::file_stat(logname.c_str(), st) && st.is_dir) return 2;
    FILE* log = plat::fopen_bin(logname.c_str(), "rb");
    if (!log) return 2;
    setvbuf(log, nullptr, _IONBF, 0);  // the reader has its own block buffer
    SafeFile flg;
    if (!flg.open(name + "flg")) {
        fclose(log);
        return 4;
    }
    sift(log, flg.stream());
    bool read_ok = !ferror(log);
    fclose(log);
    // A log that broke off must not pass for a complete one; the old .flg stays.
    if (!read_ok) {
        flg.discard();
        die("*** read error: %s\n", logname.c_str());
    }
    flg.commit();
    return 0;
}
