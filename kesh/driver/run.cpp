// Start and end of a kesh run, and the shared window conventions.
#include "kesh/driver/run.h"

#include <cstdarg>
#include <cstring>

#include "common/alloc.h"
#include "common/files.h"
#include "common/strings.h"
#include "common/text.h"
#include "platform/platform.h"

long long run_loop(Run& r, size_t i, bool& ended);

void ArgVec::splice(size_t at, size_t k, std::span<const char* const> repl) {
    auto pos = v_.begin() + (long)(base_ + at);
    size_t common = k < repl.size() ? k : repl.size();
    std::copy(repl.begin(), repl.begin() + (long)common, pos);
    if (repl.size() > k)
        v_.insert(pos + (long)k, repl.begin() + (long)k, repl.end());
    else if (k > repl.size())
        v_.erase(pos + (long)common, pos + (long)k);
}

Run::~Run() { close_cmdfile(*this); }

void insert_at_window_end(Run& r, std::span<const char* const> lines) {
    r.Hf.insert(r.Hf.begin() + (long)r.eHf, lines.begin(), lines.end());
    r.eHf += lines.size();
}

void insert_at_window_start(Run& r, std::span<const char* const> lines) {
    r.Hf.insert(r.Hf.begin() + (long)r.aHf, lines.begin(), lines.end());
    r.eHf += lines.size();
}

void remove_window(Run& r) {
    r.Hf.erase(r.Hf.begin() + (long)r.aHf, r.Hf.begin() + (long)r.eHf);
    r.eHf = r.aHf;
}

void replace_window(Run& r, std::span<const char* const> lines) {
    size_t w = r.eHf - r.aHf;
    auto at = r.Hf.begin() + (long)r.aHf;
    size_t common = w < lines.size() ? w : lines.size();
    std::copy(lines.begin(), lines.begin() + (long)common, at);
    if (lines.size() > w)
        r.Hf.insert(at + (long)w, lines.begin() + (long)w, lines.end());
    else if (w > lines.size())
        r.Hf.erase(at + (long)common, at + (long)w);
    r.eHf = r.aHf + lines.size();
}

char* dup_text(std::string_view s) {
    char* p = (char*)plain::Alloc((long long)s.size() + 1);
    if (!p) p = (char*)plain::Alloc(1);  // the empty text
    memcpy(p, s.data(), s.size());
    return p;
}

const char* env_lookup(const Run& r, std::string_view name) {
    std::string key(name);
    key += '=';
    for (size_t k = r.ENV.size(); k-- > 0;)
        if (strncmp_(r.ENV[k], key.c_str(), key.size()) == 0) return r.ENV[k] + key.size();
    return nullptr;
}

void env_add(Run& r, std::string_view entry) { r.ENV.push_back(dup_text(entry)); }

void cmd_printf(Run& r, const char* fmt, ...) {
    if (!r.cmdfile) return;
    va_list ap;
    va_start(ap, fmt);
    std::string s = vformat(fmt, ap);
    va_end(ap);
    put_text(r.cmdfile, s);
}

void close_cmdfile(Run& r) {
    if (!r.cmdfile) return;
    bool ok = !ferror(r.cmdfile);
    ok = fclose(r.cmdfile) == 0 && ok;
    r.cmdfile = nullptr;
    if (!ok) tprintf(stderr, "*** write error: %s\n", r.cmdname.c_str());
}

namespace {

// The command file is named by the first environment entry "..=" whose value
// is longer than five characters: the name is the value after them.
void open_cmdfile(Run& r, char** envp) {
    for (char** e = envp; *e; e++) {
        if (strncmp(*e, "..=", 3) != 0 || strlen(*e) <= 8) continue;
        r.cmdname = *e + 8;
        r.cmdfile = plat::fopen_bin(r.cmdname.c_str(), "w");
        if (!r.cmdfile) tprintf(stderr, "*** open error: %s\n", r.cmdname.c_str());
        return;
    }
}

long long end_of_run(Run& r) {
    if (r.suppress == 0 && r.anzHf() > 0)
        write_rFILE(r.outname.c_str(), "w", r.Hf.data(), r.anzHf());
    close_cmdfile(r);
    return (long long)r.anzHf();
}

}  // namespace

int kesh_main(int argc, char** argv, char** envp) {
    if (argc < 2) return -1;
    plain::alloc_op = "(start of run)";
    Run r;
    open_cmdfile(r, envp);
    for (int k = 0; k < argc; k++) r.Argv.push_back(argv[k]);
    for (char** e = envp; *e; e++) r.ENV.push_back(*e);

    // An argument file in first place stands for its lines.
    if (r.Argv[1][0] == '@') {
        LineArray* la = read_rFILE(r.Argv[1] + 1);
        r.Argv.splice(1, 1, std::span<const char* const>((const char* const*)la->tab, (size_t)la->n));
    }
    size_t start = 1;
    if (r.Argv.size() > 1 && r.Argv[1][0] != '+' && r.Argv[1][0] != '-') {
        r.Argv[0] = "-I";
        start = 0;
    }
    bool ended;
    long long code = run_loop(r, start, ended);
    if (ended) {
        close_cmdfile(r);
        return (int)code;
    }
    return (int)end_of_run(r);
}
