// -c, -t and -a change the text of lines in place of their slots; searches
// are exact and case-sensitive. An unpaired last search text of -c or -t is
// ignored, and -t skips an empty search text (it would never advance).
#include <cstring>
#include <string>

#include "kesh/ops.h"

Step op_c(Run& r, Op& o) {
    size_t pairs = o.nparams() / 2;
    for (size_t p = 0; p < pairs && r.eHf > r.aHf; p++) {
        const char* search = param(r, o, 2 * p);
        const char* repl = param(r, o, 2 * p + 1);
        for (size_t k = r.aHf; k < r.eHf; k++) {
            const char* at = strstr(r.Hf[k], search);
            if (!at) continue;
            std::string line(r.Hf[k], (size_t)(at - r.Hf[k]));
            line += repl;
            line += at + strlen(search);
            r.Hf[k] = dup_text(line);
            break;
        }
    }
    return next_group();
}

Step op_t(Run& r, Op& o) {
    const char* S = o.word + 2;
    bool with_original = *S != 0;
    size_t pairs = o.nparams() / 2;
    std::string out;
    for (size_t k = 0; k < r.anzHf(); k++) {
        const char* line = r.Hf[k];
        const char* pos = line;
        out.clear();
        if (with_original) {
            out = line;
            out += S;
        }
        bool changed = with_original;
        for (size_t p = 0; p < pairs; p++) {
            const char* search = param(r, o, 2 * p);
            size_t sl = strlen(search);
            if (sl == 0) continue;
            const char* repl = param(r, o, 2 * p + 1);
            for (const char* at; (at = strstr(pos, search)) != nullptr; pos = at + sl) {
                out.append(pos, (size_t)(at - pos));
                out += repl;
                changed = true;
            }
        }
        if (!changed) continue;  // keep the line as it is
        out += pos;
        r.Hf[k] = dup_text(out);
    }
    return next_group();
}

Step op_a(Run& r, Op& o) {
    for (size_t k = 0; k < r.anzHf() && k < o.nparams(); k++) {
        std::string line = r.Hf[k];
        line += ' ';
        line += param(r, o, k);
        r.Hf[k] = dup_text(line);
    }
    return next_group();
}

