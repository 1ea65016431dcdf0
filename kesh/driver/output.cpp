// -O writes the window out during the run; -system runs a shell command made
// of the parameters and the window's lines.
#include <cstring>
#include <string>

#include "common/text.h"
#include "kesh/ops.h"
#include "platform/platform.h"

namespace {

void write_window(const Run& r, FILE* f, const char* prefix) {
    TextWriter w(f);
    for (size_t k = r.aHf; k < r.eHf; k++) {
        w.put(prefix);
        w.put(r.Hf[k]);
        w.put("\n");
    }
}

}  // namespace

Step op_O(Run& r, Op& o) {
    const char* prefix = o.word + 2;
    if (o.nparams() > 0) {
        r.outname = param(r, o, 0);
    } else {
        r.aHf = 0;
        r.eHf = r.anzHf();
    }
    if (r.outname.empty()) {
        write_window(r, stdout, prefix);
        fflush(stdout);
    } else {
        bool append = o.word[2] == '+';
        if (append) prefix++;
        if (r.outname == r.cmdname) {
            if (r.cmdfile) write_window(r, r.cmdfile, prefix);
        } else if (r.outname == "stderr") {
            r.outname.clear();
            write_window(r, stderr, prefix);
        } else if (append) {
            FILE* f = plat::fopen_bin(r.outname.c_str(), "ab");
            if (!f) die("*** open error: %s\n", r.outname.c_str());
            write_window(r, f, prefix);
            bool ok = !ferror(f);
            if (fclose(f) != 0 || !ok) die("*** write error: %s\n", r.outname.c_str());
        } else {
            SafeFile sf;
            if (!sf.open(r.outname)) die("*** open error: %s\n", r.outname.c_str());
            write_window(r, sf.stream(), prefix);
            sf.commit();
        }
    }
    r.suppress++;
    if (is_last(r, o)) return end_run((long long)r.window_size());
    return next_group();
}

Step op_s(Run& r, Op& o) {
    if (strcmp(o.word, "-system") != 0) return next_group();
    std::string cmd;
    for (size_t k = 0; k < o.nparams(); k++) {
        cmd += param(r, o, k);
        cmd += ' ';
    }
    for (size_t k = r.aHf; k < r.eHf; k++) {
        cmd += " \"";
        cmd += r.Hf[k];
        cmd += '"';
    }
    plat::run_shell(cmd.c_str());
    if (is_last(r, o)) return end_run((long long)r.window_size());
    return next_group();
}
