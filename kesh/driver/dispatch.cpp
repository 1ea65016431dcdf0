// The run loop and the two tables that select a handler by the second
// character of the operation word. A handler checks the rest of its word
// itself (whole words, prefixes or mode letters).
#include <cstring>

#include "common/alloc.h"
#include "common/text.h"
#include "kesh/ops.h"
#include "platform/platform.h"

namespace {

using Handler = Step (*)(Run&, Op&);

struct Row {
    char second;
    Handler fn;
    const char* what;
};

// Operations beginning with '-', in the order of their second character.
const Row minus_ops[] = {
    {'-', op_dashdash, "the -- family: window control, joining, sorting, layouts"},
    {'/', op_menu, "selection menu"},
    {':', op_assign, "assignments to script variables"},
    {'?', op_menu, "selection menu"},
    {'A', op_search, "window start by search, removing lines"},
    {'E', op_search, "window end by search, removing lines"},
    {'I', op_I, "insert a file"},
    {'L', op_L, "insert parameters as lines"},
    {'O', op_O, "output the window"},
    {'V', op_V, "remove the first matching line"},
    {'a', op_a, "append a column"},
    {'c', op_c, "change text in the window"},
    {'e', op_e, "keep matching lines; -expand"},
    {'g', op_g, "-getva, -getvalue; -gather"},
    {'i', op_i, "-inputs, -insert"},
    {'p', op_p, "-putva, -putvalue"},
    {'s', op_s, "-system"},
    {'t', op_t, "translate text in the whole list"},
    {'v', op_v, "remove all matching lines"},
};

// Operations beginning with '+'.
const Row plus_ops[] = {
    {'+', op_plusplus, "the ++ family; ++ alone closes conditional blocks"},
    {'?', op_prompt, "one-line prompt"},
    {'A', op_search, "window start"},
    {'E', op_search, "window end"},
    {'F', op_fragment, "fragment cut"},
    {'R', op_keyed, "keyed edits"},
    {'a', op_keyed, "counting"},
    {'d', op_keyed, "+del"},
    {'e', op_fragment, "fragment filter"},
    {'f', op_fragment, "fragment filter"},
    {'g', op_fragment, "fragment filter"},
    {'i', op_plus_i, "conditions +if_...; +i separator lines"},
    {'q', op_replace, "squeezing"},
    {'r', op_replace, "text replacement"},
    {'s', op_keyed, "+status, +size"},
};

template <size_t N>
Handler find(const Row (&table)[N], char c) {
    for (const Row& row : table)
        if (row.second == c) return row.fn;
    return nullptr;
}

bool is_operation(const char* a) { return a[0] == '-' || a[0] == '+'; }

}  // namespace

Step param_error(Run& r, const Op& o) {
    fflush(stdout);
    tprintf(stderr, "**** parameter error in the current call: %zu\n", o.e);
    for (size_t k = 0; k < r.Argv.size(); k++) tprintf(stderr, "%s\n", r.Argv[k]);
    fflush(stderr);
    plat::pause();
    return end_run(-1);
}

Step redispatch_as_I(Run& r, const Op& o) {
    r.Argv[o.i] = "-I";
    return goto_index(o.i);
}

// Runs the groups from index `i` on. Returns the exit code of an early end,
// or sets `ended` false when the arguments ran out.
long long run_loop(Run& r, size_t i, bool& ended) {
    ended = false;
    for (;;) {
        if (i >= r.Argv.size()) return 0;
        if (i > 20) {
            r.Argv.drop_front(i);
            i = 0;
        }
        size_t e = i + 1;
        while (e < r.Argv.size() && !is_operation(r.Argv[e])) e++;
        r.OP = r.Argv[i];
        plain::alloc_op = r.OP;
        if (e > i + 1) e = expand_params(r, i, e);

        Op o{r.Argv[i], i, e};
        const char* w = o.word;
        Handler fn = nullptr;
        if (w[0] == '-') {
            fn = find(minus_ops, w[1]);
        } else if (w[0] == '+') {
            fn = find(plus_ops, w[1]);
            if (o.nparams() >= 1) {
                o.p1 = param(r, o, 0);
                o.l1 = strlen(o.p1);
            }
            if (o.nparams() >= 2) {
                o.p2 = param(r, o, 1);
                o.l2 = strlen(o.p2);
            }
        } else {
            i = e;
            continue;
        }
        Step s = fn ? fn(r, o) : param_error(r, o);
        switch (s.kind) {
        case Step::Next:
            i = e;
            break;
        case Step::Goto:
            i = (size_t)s.value;
            break;
        case Step::End:
            ended = true;
            return s.value;
        }
    }
}
