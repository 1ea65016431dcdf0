// -I loads a file's lines into the window; -L inserts its parameters.
#include <cstring>
#include <string>

#include "common/files.h"
#include "common/strings.h"
#include "kesh/ops.h"

namespace {

// Index of the first window line from `from` that begins with `key`
// (letter case ignored), or eHf.
size_t find_marker(const Run& r, size_t from, const char* key) {
    size_t n = strlen(key);
    for (size_t k = from; k < r.eHf; k++)
        if (strncmp_(r.Hf[k], key, n) == 0) return k;
    return r.eHf;
}

}  // namespace

Step op_I(Run& r, Op& o) {
    if (o.nparams() == 0) return next_group();
    const char* file = param(r, o, 0);
    if (strcmp(file, ".tex") == 0) return next_group();
    r.outname = file;
    LineArray* la = read_rFILE(file);
    if (la->n == 0) return next_group();
    insert_at_window_end(r, std::span<const char* const>((const char* const*)la->tab, (size_t)la->n));
    if (o.nparams() >= 2) {
        size_t k = find_marker(r, r.aHf, param(r, o, 1));
        if (k < r.eHf) r.aHf = k + 1;
        size_t end = r.eHf;
        if (o.nparams() >= 3) {
            end = find_marker(r, r.aHf, param(r, o, 2));
        } else {
            for (end = r.aHf; end < r.eHf && r.Hf[end][0]; end++) {
            }
        }
        r.eHf = end;
    }
    r.suppress = 0;
    set_success_by_window(r);
    return next_group();
}

Step op_L(Run& r, Op& o) {
    size_t n = o.nparams();
    if (n == 0) return next_group();
    char mode = o.word[2];
    if (mode == 'm') {
        // Centred in a width of 90 characters.
        std::string line = param(r, o, 0);
        if (line.size() <= 89) line.insert(0, (90 - line.size()) / 2, ' ');
        const char* one[] = {dup_text(line)};
        insert_at_window_start(r, one);
    } else {
        std::span<const char* const> lines(&r.Argv[o.i + 1], n);
        if (mode == 'A')
            insert_at_window_start(r, lines);
        else
            insert_at_window_end(r, lines);
    }
    r.success = 1;
    return next_group();
}
