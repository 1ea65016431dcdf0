// Parameter expansion: "@file" and "@file(prefix" stand for lines of a file,
// "~text" turns \n into line breaks, "$NAME" is a variable's value, split
// into several parameters unless quoted as $"NAME".
#include <cstring>
#include <string>
#include <vector>

#include "common/files.h"
#include "kesh/driver/run.h"
#include "platform/platform.h"

namespace {

const char kDollarSeparators[] = " !$%/()=?{[]}+*'<>|;:\\";
const char kNotAFileRef[] = " =;/><+";

// Appends the lines that "@..." stands for; false when the parameter is not
// a file reference and stays as it is.
bool expand_at(const char* p, std::vector<const char*>& out) {
    const char* rest = p + 1;
    if (!*rest || strpbrk(rest, kNotAFileRef)) return false;
    std::string file = rest;
    std::string prefix;
    bool sectioned = false;
    size_t paren = file.find('(');
    if (paren != std::string::npos) {
        sectioned = true;
        prefix = file.substr(paren + 1);
        size_t close = prefix.find(')');
        if (close != std::string::npos) prefix.resize(close);
        file.resize(paren);
    }
    plat::FileStat st;
    if (!plat::file_stat(file.c_str(), st)) return true;  // no file: removed
    LineArray* la = read_rFILE(file.c_str());
    long long from = 0, to = la->n;
    if (sectioned) {
        long long k = 0;
        while (k < la->n && strncmp(la->tab[k], prefix.c_str(), prefix.size()) != 0) k++;
        if (k == la->n) return true;  // no such section: removed
        from = k + 1;
        for (to = from; to < la->n && la->tab[to][0]; to++) {
        }
    }
    out.insert(out.end(), la->tab + from, la->tab + to);
    return true;
}

const char* expand_tilde(const char* p) {
    std::string s;
    for (const char* q = p + 1; *q; q++) {
        if (q[0] == '\\' && q[1] == 'n') {
            s += '\n';
            q++;
        } else {
            s += *q;
        }
    }
    return dup_text(s);
}

// Appends what "$..." stands for; false when it has no name and stays as it is.
bool expand_dollar(const Run& r, const char* p, std::vector<const char*>& out) {
    bool quoted = p[1] == '"';
    std::string name = quoted ? p + 2 : p + 1;
    if (quoted) {
        size_t q = name.find('"');
        if (q != std::string::npos) name.resize(q);
    }
    char sep = ' ';
    if (!name.empty() && name[0] == '~') {
        sep = '\n';
    } else if (!name.empty() && strchr(kDollarSeparators, name[0])) {
        sep = name[0];
        name.erase(0, 1);
    }
    if (name.empty()) return false;
    const char* value = env_lookup(r, name);
    if (!value) {
        if (quoted) out.push_back("");
        return true;
    }
    if (quoted) {
        out.push_back(value);
        return true;
    }
    char* copy = dup_text(value);
    if (*copy == sep) copy++;
    for (char* field = copy;;) {
        out.push_back(field);
        char* s = strchr(field, sep);
        if (!s) break;
        *s = 0;
        field = s + 1;
    }
    return true;
}

}  // namespace

size_t expand_params(Run& r, size_t i, size_t e) {
    std::vector<const char*> out;
    out.reserve(e - i - 1);
    bool changed = false;
    for (size_t j = i + 1; j < e; j++) {
        const char* p = r.Argv[j];
        bool done = false;
        if (p[0] == '@')
            done = expand_at(p, out);
        else if (p[0] == '$')
            done = expand_dollar(r, p, out);
        else if (p[0] == '~') {
            out.push_back(expand_tilde(p));
            done = true;
        }
        if (!done) out.push_back(p);
        changed |= done;
    }
    if (!changed) return e;
    r.Argv.splice(i + 1, e - i - 1, out);
    return i + 1 + out.size();
}
