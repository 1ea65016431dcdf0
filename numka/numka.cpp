#include "numka/numka.h"

#include <charconv>
#include <climits>
#include <clocale>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/alloc.h"
#include "common/files.h"
#include "common/text.h"
#include "platform/platform.h"

using anchored::Alloc;
using anchored::Free;
using anchored::read_nFILE;

namespace {

// A parameter error ends the run with exit code 0 and no set line written.
[[noreturn]] void param_error(std::string_view what) {
    die_code(0, "*** Parameter error %s\n", std::string(what).c_str());
}

// The call after the program name, for parameter errors of whole calls.
std::string call_text(int argc, char** argv) {
    std::string s;
    for (int k = 1; k < argc; k++) {
        if (k > 1) s += ' ';
        s += argv[k];
    }
    return s;
}

// The command file: named by the ".." entry after its first eight
// characters (the "..=" and five more). Empty: standard output.
std::string command_file_name(char** envp) {
    for (char** e = envp; e && *e; e++) {
        if (strncmp(*e, "..=", 3) != 0) continue;
        return strlen(*e) > 8 ? std::string(*e + 8) : std::string();
    }
    return {};
}

// Set lines go to the command file in one piece: it was emptied at the start,
// and it either gets all of them or stays empty.
void put_set_lines(const std::string& cmdname, const std::string& lines) {
    if (cmdname.empty()) {
        put_text(stdout, lines);
        fflush(stdout);
        return;
    }
    SafeFile sf;
    if (!sf.open(cmdname)) die_code(2, "*** open error: %s\n", cmdname.c_str());
    put_text(sf.stream(), lines);
    sf.commit();
}

char* alloc_text(std::string_view s) {
    char* p = (char*)Alloc((long long)s.size() + 1);
    memcpy(p, s.data(), s.size());
    return p;
}

// The results of ':' in the order their names were first assigned. Each
// entry is an allocated NAME=VALUE text; the index finds a name's entry.
struct Results {
    std::vector<char*> entries;
    std::unordered_map<std::string, size_t> index;

    // The value text of `name`, or null when it has no entry.
    const char* value_of(std::string_view name) const {
        auto it = index.find(std::string(name));
        return it == index.end() ? nullptr : entries[it->second] + name.size() + 1;
    }

    // Replaced entries are not freed one by one: everything goes at the end.
    void store(const std::string& name, double v) {
        char* e = alloc_text(name + "=" + numka_format(v));
        auto [it, added] = index.try_emplace(name, entries.size());
        if (added)
            entries.push_back(e);
        else
            entries[it->second] = e;
    }
};

// "$NAME" is an earlier result, anything else a number as atof reads it.
double operand(const Results& res, std::string_view text) {
    if (!text.empty() && text[0] == '$') {
        // A name with '=' in it cannot match: entry names never hold one.
        std::string_view name = text.substr(1);
        const char* v = name.find('=') == std::string_view::npos ? res.value_of(name) : nullptr;
        if (!v) param_error(text);
        return atof(v);
    }
    return atof(std::string(text).c_str());
}

void assign(Results& res, const char* param) {
    const char* eq = strchr(param, '=');
    if (!eq) param_error(param);
    std::string name(param, eq);
    std::string_view expr(eq + 1);
    if (expr.empty()) param_error(param);

    // From the second character on, so that a sign of the first operand is
    // not taken for the operator.
    size_t op = expr.find_first_of("+-*/", 1);
    std::string_view t1 = expr.substr(0, op);
    std::string_view t2 = op == std::string_view::npos ? std::string_view("0") : expr.substr(op + 1);
    double a = operand(res, t1);
    double b = operand(res, t2);
    double v = a;
    if (op != std::string_view::npos) {
        switch (expr[op]) {
        case '+': v = a + b; break;
        case '-': v = a - b; break;
        case '*': v = a * b; break;
        default:
            if (b == 0) param_error(t2);
            v = a / b;
            break;
        }
    }

    // NAME+=, NAME-=, NAME*=, NAME/= work on an existing entry's value as
    // written; for a new name the operator is dropped.
    if (!name.empty() && strchr("+-*/", name.back())) {
        char c = name.back();
        name.pop_back();
        if (const char* old_text = res.value_of(name)) {
            double old = atof(old_text);
            switch (c) {
            case '+': v = old + v; break;
            case '-': v = old - v; break;
            case '*': v = old * v; break;
            default:
                if (v != 0) v = old / v;
                break;
            }
        }
    }
    res.store(name, v);
}

int mode_assign(int argc, char** argv, const std::string& cmdname) {
    Results res;
    for (int k = 2; k < argc; k++) assign(res, argv[k]);
    std::string lines;
    for (const char* e : res.entries) {
        lines += "set ";
        lines += e;
        lines += '\n';
    }
    if (!lines.empty()) put_set_lines(cmdname, lines);
    return 0;
}

// atoi, with values beyond int held at its limits.
int to_int(const char* s) {
    long long v = strtoll(s, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return (int)v;
}

int mode_hex(int argc, char** argv, const std::string& cmdname) {
    if (argc < 4 || strlen(argv[3]) < 2) param_error(call_text(argc, argv));
    unsigned v = (unsigned)to_int(argv[2]) + 1u;
    put_set_lines(cmdname, format("set %s=%X\n", argv[3] + 2, v));
    return 0;
}

bool names_reg(const char* name) {
    const char* dot = strrchr(name, '.');
    return dot && strcmp(dot, ".reg") == 0;
}

// Binary output through the safe writer: the old file (the input itself, for
// an in-place conversion) stays as it was unless everything was written.
class BinOut {
public:
    explicit BinOut(const char* name) : name_(name) {
        if (!sf_.open(name)) die_code(2, "*** open error: %s\n", name);
    }
    void put(char c) {
        if (n_ == sizeof buf_) flush();
        buf_[n_++] = c;
    }
    void done() {
        flush();
        sf_.commit();
    }

private:
    void flush() {
        fwrite(buf_, 1, n_, sf_.stream());
        n_ = 0;
    }
    const char* name_;
    SafeFile sf_;
    char buf_[1 << 16];
    size_t n_ = 0;
};

// Every 8-bit character up to the first zero byte becomes one little-endian
// 16-bit unit. A ".reg" output starts with the byte-order mark FF FE, which
// is what :uni_ansi skips when it reads such a file back.
int mode_ansi_uni(int argc, char** argv) {
    if (argc < 3 || !*argv[2]) param_error(call_text(argc, argv));
    const char* in = argv[2];
    FileText* t = read_nFILE(in, "rb");
    const char* out = argc >= 4 ? argv[3] : in;
    auto w = std::make_unique<BinOut>(out);
    if (names_reg(out)) {
        w->put('\xFF');
        w->put('\xFE');
    }
    for (const char* p = t->text; *p; p++) {
        w->put(*p);
        w->put(0);
    }
    w->done();
    return 1;
}

// The low byte of every 16-bit unit, up to the first zero one; a ".reg"
// input starts with a byte-order mark, which is skipped.
int mode_uni_ansi(int argc, char** argv) {
    if (argc < 3 || !*argv[2]) param_error(call_text(argc, argv));
    const char* in = argv[2];
    FileText* t = read_nFILE(in, "rb");
    long long k = names_reg(in) ? 2 : 0;
    std::string text;
    text.reserve((size_t)(t->len / 2 + 1));
    for (; k < t->len && t->text[k]; k += 2) text += t->text[k];
    if (argc == 4) {
        auto w = std::make_unique<BinOut>(argv[3]);
        for (char c : text) w->put(c);
        w->done();
    } else {
        fwrite(text.data(), 1, text.size(), stdout);
        fflush(stdout);
    }
    return 1;
}

}  // namespace

std::string numka_format(double v) {
    // to_chars never looks at the locale; fixed with 6 digits is "%f".
    // The longest text, -DBL_MAX, has 316 characters.
    char buf[400];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
    return std::string(buf, r.ptr);
}

int numka_main(int argc, char** argv, char** envp) {
    if (argc < 2) return -1;
    // Numbers are read with '.' as the decimal point, whatever the locale.
    std::setlocale(LC_NUMERIC, "C");
    struct ReleaseAll {
        ~ReleaseAll() { Free(nullptr); }
    } release_all;

    // The command file is emptied before the mode is looked at, so that a
    // script never runs the set lines of an earlier call.
    std::string cmdname = command_file_name(envp);
    bool cmd_ok = true;
    if (!cmdname.empty()) {
        FILE* f = plat::fopen_bin(cmdname.c_str(), "w");
        cmd_ok = f && fclose(f) == 0;
    }

    // Only the modes that hand back set lines need the command file; the
    // conversions go ahead without it.
    std::string_view mode = argv[1];
    if ((mode == ":" || mode == ":hex") && !cmd_ok) die_code(2, "*** open error: %s\n", cmdname.c_str());
    if (mode == ":") return mode_assign(argc, argv, cmdname);
    if (mode == ":hex") return mode_hex(argc, argv, cmdname);
    if (mode == ":ansi_uni") return mode_ansi_uni(argc, argv);
    if (mode == ":uni_ansi") return mode_uni_ansi(argc, argv);
    return -1;
}
