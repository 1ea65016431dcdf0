// -: hands lines of the window to the calling script as "set" lines in the
// command file, and to later operations of the run as environment entries.
#include <cstring>
#include <string>

#include "kesh/ops.h"

namespace {

// The first-line (-:+), last-line (-:-) and count (-:=) forms.
Step assign_single(Run& r, char form, const char* name) {
    if (form == '=') {
        long long n = (long long)r.window_size();
        cmd_printf(r, "set %s=%lld\n", name, n);
        env_add(r, std::string(name) + "=" + std::to_string(n));
    } else if (r.eHf == 0) {
        cmd_printf(r, "set %s=\n", name);
    } else {
        size_t at = form == '+' ? r.aHf : r.eHf - 1;
        const char* value = at < r.anzHf() ? r.Hf[at] : "";
        cmd_printf(r, "set %s=%s\n", name, value);
    }
    r.success = 1;
    return next_group();
}

}  // namespace

Step op_assign(Run& r, Op& o) {
    r.suppress++;
    const char* w = o.word;
    char form = w[2];
    if (form == '+' || form == '-' || form == '=') return assign_single(r, form, w + 3);

    char sep;
    bool join = true;
    const char* text = w + 3;
    switch (form) {
    case ',': sep = ','; break;
    case '/': sep = '/'; break;
    case ';': sep = ';'; break;
    case ':': sep = ' '; break;
    case '~': sep = '\n'; text = w + 2; break;
    default: sep = ' '; join = false; text = w + 2; break;
    }
    std::string name = text, action;
    size_t colon = name.find(':');
    if (colon != std::string::npos) {
        action = name.substr(colon + 1);
        name.resize(colon);
    }

    std::string value;
    if (!name.empty() && name[0] == '$') {
        // Append mode: carry the variable's present value over.
        name.erase(0, 1);
        if (!name.empty() && name[0] == '~') sep = '\n';
        const char* old = env_lookup(r, name);
        value = name + "=";
        if (old && *old) {
            value += old;
            value += sep;
        }
    } else {
        value = name + "=";
    }
    bool tilde = !name.empty() && name[0] == '~';
    if (tilde) sep = '\n';

    if (r.eHf == r.aHf) {
        r.success = 0;
    } else {
        value += r.Hf[r.aHf];
        r.success = 1;
        for (size_t k = r.aHf + 1; join && k < r.eHf; k++) {
            const char* line = r.Hf[k];
            if (!*line) {
                if (tilde) {
                    value += sep;
                    r.success++;
                }
                continue;
            }
            while (*line == sep) line++;
            value += sep;
            value += line;
            r.success++;
        }
    }
    env_add(r, value);
    if (!tilde) cmd_printf(r, "set %s\n", value.c_str());

    switch (action.empty() ? 0 : action[0]) {
    case 'd':
        remove_window(r);
        r.suppress = 0;
        break;
    case 'D':
        r.Hf.clear();
        r.aHf = r.eHf = 0;
        r.outname.clear();
        r.suppress = 0;
        break;
    case 'e':
    case 'r':
        if (r.success == 0) {
            cmd_printf(r, action[0] == 'e' ? "exit\n" : "goto :EOF\n");
            return end_run((long long)r.anzHf());
        }
        break;
    }
    if (is_last(r, o)) return end_run(r.success);
    if (o.nparams() > 0) return redispatch_as_I(r, o);
    return next_group();
}
