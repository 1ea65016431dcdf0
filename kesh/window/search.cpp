// Narrowing the window by a line found in it: +A and +E move the window
// start or end, -A and -E remove the lines up to or from the line found.
//
// Word: character 3 is the form (= equals, A begins, E ends for +A/+E only,
// anything else contains); a character 4 asks for the last matching line.
// Without a search text the search is for an empty line.
#include <cstring>

#include "common/strings.h"
#include "kesh/ops.h"
#include "kesh/window/find_text.h"
#include "kesh/window/remove_lines.h"

namespace {

enum class Form { Equals, Begins, Ends, Contains };

struct Search {
    Form form;
    bool last;
    const char* text;  // empty: the empty-line search
    size_t tn;
    const char* companion;  // +A, first-match forms A and contains only; else empty
    FoldedKey key;          // the search text, for the contains form

    Search(Form f, const char* t) : form(f), last(false), text(t), tn(strlen(t)), companion(""), key(t) {}

    bool matches(const char* line) const {
        if (tn == 0 && form != Form::Ends) return line[0] == 0;
        switch (form) {
        case Form::Equals: return strcmp_(line, text) == 0;
        case Form::Begins: return strncmp_(line, text, tn) == 0;
        case Form::Ends: {
            size_t ln = strlen(line);
            return ln >= tn && strncmp_(line + ln - tn, text, tn) == 0;
        }
        case Form::Contains: return key.in(line, strlen(line));
        }
        return false;
    }

    // Index of the line found in the window, or eHf.
    size_t find(const Run& r) const {
        if (last) {
            for (size_t k = r.eHf; k-- > r.aHf;)
                if (matches(r.Hf[k])) return k;
            return r.eHf;
        }
        for (size_t k = r.aHf; k < r.eHf; k++)
            if (matches(r.Hf[k]) && (!*companion || strstr_(r.Hf[k], companion))) return k;
        return r.eHf;
    }
};

}  // namespace

Step op_search(Run& r, Op& o) {
    const char* w = o.word;
    bool plus = w[0] == '+', start = w[1] == 'A';
    char fc = w[2];
    Form form = fc == '=' ? Form::Equals : fc == 'A' ? Form::Begins : (fc == 'E' && plus) ? Form::Ends : Form::Contains;
    Search s(form, o.nparams() >= 1 ? param(r, o, 0) : "");
    s.last = fc && w[3];
    if (s.tn == 0 && start) {
        // The empty-line search of -A and +A reads its last-match character
        // one place earlier, and +A= and +AA always take the last empty line.
        if (s.form == Form::Contains) s.last = fc != 0;
        if (plus && (s.form == Form::Equals || s.form == Form::Begins)) s.last = true;
    }
    bool companion = plus && start && !s.last && s.tn > 0 && (s.form == Form::Begins || s.form == Form::Contains);
    s.companion = companion && o.nparams() >= 2 ? param(r, o, 1) : "";

    size_t m = s.find(r);
    bool found = m < r.eHf;
    if (plus && start) {
        r.aHf = found ? m + 1 : r.eHf;
    } else if (plus) {
        if (found) r.eHf = m;
    } else if (start) {
        if (found)
            remove_lines(r, r.aHf, m + 1);
        else if (s.form != Form::Begins)
            remove_lines(r, r.aHf, r.eHf);
    } else if (found) {
        remove_lines(r, m, r.eHf);
    }
    set_success_by_window(r);
    return next_group();
}
