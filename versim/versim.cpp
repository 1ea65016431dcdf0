#include "versim/versim.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "common/alloc.h"
#include "common/files.h"
#include "common/text.h"
#include "platform/platform.h"

using anchored::Free;
using anchored::read_nFILE;

namespace {

constexpr std::string_view kVerbEnd = "\\end{verbatim}";

// The words of the header and the closing in either language.
struct Words {
    const char* date_def;
    const char* name_def;
    const char* script;
    const char* end;
};
constexpr Words kEnglish = {"\\def\\Date{%s}\n", "\\def\\Filename{", "Script", "End"};
constexpr Words kGerman = {"\\def\\Datum{%s}\n", "\\def\\Dateiname{", "Text", "Ende"};

// The date of the header: now, or the time SOURCE_DATE_EPOCH gives (seconds
// since 1970, shown as UTC) so that a run can be repeated byte for byte.
std::string header_date() {
    if (const char* e = std::getenv("SOURCE_DATE_EPOCH"); e && *e) {
        long long s = 0;
        auto r = std::from_chars(e, e + strlen(e), s);
        if (r.ec == std::errc() && *r.ptr == 0 && s >= 0 && (long long)(std::time_t)s == s) {
            std::string d = versim_date((std::time_t)s, true);
            if (!d.empty()) return d;
        }
    }
    return versim_date(std::time(nullptr), false);
}

bool is_german(const char* v) {
    auto lower = [](char c) { return (char)(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    auto starts = [&](const char* w) {
        size_t k = 0;
        for (; w[k]; k++)
            if (lower(v[k]) != w[k]) return false;
        return true;
    };
    if (starts("german")) return true;
    return starts("de") && (v[2] == 0 || strchr("_-.@", v[2]));
}

class Writer {
public:
    Writer(FILE* f, bool escaped) : f_(f), escaped_(escaped) {}
    void raw(std::string_view s) { put_text(f_, s); }
    void fmt(const char* format_text, const char* arg) { raw(format(format_text, arg)); }

    // A piece of the input. With the escape on, every '<' (the protected
    // verbatim ends among them) is written as "<}".
    void text(std::string_view s) {
        if (!escaped_) return raw(s);
        size_t start = 0;
        for (size_t k; (k = s.find('<', start)) != std::string_view::npos; start = k + 1) {
            raw(s.substr(start, k - start));
            raw("<}");
        }
        raw(s.substr(start));
    }

private:
    FILE* f_;
    bool escaped_;
};

int convert(const char* in, const char* explicit_out) {
    FileText* t = read_nFILE(in, "r");
    std::string out = versim_output_name(in, explicit_out);
    SafeFile sf;
    if (!sf.open(out)) {
        fflush(stdout);
        tprintf(stderr, "*** open error %s\n", out.c_str());
        fflush(stderr);
        plat::pause();
        return 2;
    }
    // A buffer of our own: a stream given only a size may keep its small
    // default one, and a 50 MB text would go out in 4 KiB writes.
    static char vbuf[1 << 16];
    setvbuf(sf.stream(), vbuf, _IOFBF, sizeof vbuf);
    const Words& w = versim_german() ? kGerman : kEnglish;

    // The whole text, NUL bytes included; a verbatim end quoted in it gets
    // '<' for its closing brace so that it cannot end the block early.
    char* buf = t->text;
    std::string_view text(buf, (size_t)t->len);
    bool escaped = false;
    for (size_t p = 0; (p = text.find(kVerbEnd, p)) != std::string_view::npos; p += kVerbEnd.size()) {
        buf[p + kVerbEnd.size() - 1] = '<';
        escaped = true;
    }

    Writer o(sf.stream(), escaped);
    o.raw("% ASCII->LaTeX conversion by versim; edit the text file, not this one\n");
    o.fmt("%% File: %s\n", in);
    o.fmt(w.date_def, header_date().c_str());
    o.raw(w.name_def);
    o.raw(versim_filename_text(in));
    o.fmt("}\n\\input _latex\n\\Use{fancyhdr}\n\\%s\n", w.script);
    o.raw("\\renewcommand{\\ttdefault}{courin}\n");
    o.raw(escaped ? "{\\small\n\\catcode`\\<=0\n\\begin{verbatim}\n" : "{\\small\n\\begin{verbatim}\n");

    // Each blank line closes the block and opens the next; a third newline
    // in a row is an empty first line of the next block.
    size_t pos = 0;
    for (size_t k; (k = text.find("\n\n", pos)) != std::string_view::npos; pos = k + 2) {
        o.text(text.substr(pos, k + 1 - pos));
        o.raw("\\end{verbatim}\n\\begin{verbatim}\n");
    }
    o.text(text.substr(pos));
    o.fmt("\\end{verbatim}\n}\n\\%s\n", w.end);
    sf.commit();
    return 0;
}

}  // namespace

std::string versim_output_name(const char* in, const char* out) {
    std::string name;
    if (out) {
        name = out;
    } else {
        // Only a '.' of the last path component starts the extension, so that
        // "../notes" becomes "../notes.tex".
        name = in;
        size_t base = name.find_last_of("/\\");
        base = base == std::string::npos ? 0 : base + 1;
        size_t dot = name.rfind('.');
        if (dot != std::string::npos && dot >= base) name.erase(dot);
        name += ".tex";
    }
    if (name == in) name += ".tex";
    return name;
}

std::string versim_filename_text(const char* in) {
    std::string_view s(in);
    if (size_t k = s.rfind('\\'); k != std::string_view::npos) s.remove_prefix(k + 1);
    if (size_t k = s.rfind('/'); k != std::string_view::npos) s.remove_prefix(k + 1);
    std::string r;
    for (char c : s) {
        if (strchr("%#$_~&", c)) r += '\\';
        r += c;
    }
    return r;
}

std::string versim_date(std::time_t t, bool utc) {
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::tm* tm = utc ? std::gmtime(&t) : std::localtime(&t);
    if (!tm || tm->tm_wday < 0 || tm->tm_wday > 6 || tm->tm_mon < 0 || tm->tm_mon > 11) return {};
    return format("%s %s%3d %.2d:%.2d:%.2d %d", days[tm->tm_wday], months[tm->tm_mon], tm->tm_mday,
                  tm->tm_hour, tm->tm_min, tm->tm_sec, tm->tm_year + 1900);
}

bool versim_german() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* v = std::getenv(var); v && *v) return is_german(v);
    return false;
}

int versim_main(int argc, char** argv) {
    if (argc < 2) return 1;
    struct ReleaseAll {
        ~ReleaseAll() { Free(nullptr); }
    } release_all;
    return convert(argv[1], argc == 3 ? argv[2] : nullptr);
}
