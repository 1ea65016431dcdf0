// The -- family: one table selects the member by the third character of the
// word; a few characters stand for several members told apart by fixed
// words. This file also holds the members that reset, count off or empty
// the window and those that end the run.
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "kesh/ops.h"
#include "kesh/window/dashdash.h"
#include "kesh/window/remove_lines.h"

namespace {

using Handler = Step (*)(Run&, Op&);

// A number in the word read like the C library does it: blanks, a sign,
// digits; nothing readable is 0.
long long number_at(const char* s) { return strtoll(s, nullptr, 10); }

// --: the window spans the whole list.
Step dd_whole(Run& r, Op&) {
    r.aHf = 0;
    r.eHf = r.anzHf();
    set_success_by_window(r);
    return next_group();
}

// --A n: the first n lines of the window leave the list. A negative n no
// larger than the window start repeats the n lines before the window as its
// first lines; a larger one takes the whole window.
Step dd_head(Run& r, Op& o) {
    long long n = number_at(o.word + 3);
    if (n >= 0) {
        size_t k = (unsigned long long)n < r.window_size() ? (size_t)n : r.window_size();
        remove_lines(r, r.aHf, r.aHf + k);
    } else if ((unsigned long long)-(n + 1) < r.aHf) {
        size_t m = (size_t)-(n + 1) + 1;
        std::vector<const char*> again(r.Hf.begin() + (long)(r.aHf - m), r.Hf.begin() + (long)r.aHf);
        insert_at_window_start(r, again);
    } else {
        remove_window(r);
    }
    set_success_by_window(r);
    return next_group();
}

// --E n: the window keeps its first n lines; with a negative n it loses its
// last -n lines, as long as it has more than that.
Step dd_tail(Run& r, Op& o) {
    long long n = number_at(o.word + 3);
    size_t w = r.window_size();
    if (n >= 0) {
        if ((unsigned long long)n < w) remove_lines(r, r.aHf + (size_t)n, r.eHf);
    } else if ((unsigned long long)-(n + 1) + 1 < w) {
        remove_lines(r, r.eHf - ((size_t)-(n + 1) + 1), r.eHf);
    }
    set_success_by_window(r);
    return next_group();
}

// --last: only the last line of the window stays (the window is not empty).
Step dd_last(Run& r, Op&) {
    remove_lines(r, r.aHf, r.eHf - 1);
    r.success = 1;
    return next_group();
}

// --x: the window leaves the list, with the line before it for a fourth
// character and also the line after it for a fifth. Nothing at all happens
// when the window starts at the first line.
Step dd_remove(Run& r, Op& o) {
    if (r.aHf == 0) return next_group();
    const char* w = o.word;
    if (w[3]) {
        r.aHf--;
        if (w[4] && r.eHf < r.anzHf()) r.eHf++;
    }
    remove_window(r);
    r.suppress = 0;
    if (o.nparams() > 0) return redispatch_as_I(r, o);
    return next_group();
}

// --X: the work list is emptied and the final listing goes to standard
// output again.
Step dd_clear(Run& r, Op& o) {
    r.Hf.clear();
    r.aHf = r.eHf = 0;
    r.outname.clear();
    r.suppress = 0;
    if (o.nparams() > 0) return redispatch_as_I(r, o);
    return next_group();
}

Step dd_end(Run& r, Op&) { return end_run((long long)r.window_size()); }

Step dd_exit(Run& r, Op&) {
    cmd_printf(r, "exit");
    return end_run((long long)r.window_size());
}

// Members told apart by fixed words, tested in the order given; a word that
// fits none of them does nothing.
struct Word {
    const char* text;
    bool prefix;  // the word only has to begin with the text
    Handler fn;
};

bool fits(const Word& w, const char* word) {
    return w.prefix ? strncmp(word, w.text, strlen(w.text)) == 0 : strcmp(word, w.text) == 0;
}

Handler pick(std::span<const Word> words, const char* word) {
    for (const Word& w : words)
        if (fits(w, word)) return w.fn;
    return nullptr;
}

const Word e_words[] = {
    {"--end", false, dd_end},
    {"--exit", false, dd_exit},
    {"--eG", false, dd_capitals},
    {"--eA", true, dd_drop_short},
};
const Word l_words[] = {
    {"--last", true, dd_last},
    {"--lines", true, dd_lines},
};
const Word r_words[] = {
    {"--rows", true, dd_rows},
    {"--return", false, dd_end},
    {"--rename", false, dd_rename},
    {"--rand", false, dd_rand},
};
const Word s_words[] = {{"--split", true, dd_split}};
const Word P_words[] = {{"--Proj", true, dd_proj}};

template <size_t N>
Step by_word(const Word (&words)[N], Run& r, Op& o) {
    Handler fn = pick(words, o.word);
    return fn ? fn(r, o) : next_group();
}

Step dd_e(Run& r, Op& o) { return by_word(e_words, r, o); }
Step dd_r(Run& r, Op& o) { return by_word(r_words, r, o); }
Step dd_s(Run& r, Op& o) { return by_word(s_words, r, o); }
Step dd_P(Run& r, Op& o) { return by_word(P_words, r, o); }

// The l members need a window; any other l word clears the success flag.
Step dd_l(Run& r, Op& o) {
    Handler fn = r.aHf == r.eHf ? nullptr : pick(l_words, o.word);
    if (fn) return fn(r, o);
    r.success = 0;
    return next_group();
}

struct Member {
    char third;  // 0: the word is exactly "--"
    Handler fn;
    const char* what;
};

// In the order of the third character.
const Member members[] = {
    {0, dd_whole, "--        the window spans the whole list"},
    {'A', dd_head, "--A n     the first n window lines leave the list"},
    {'C', dd_rotate_right, "--C       rotate every window line right"},
    {'E', dd_tail, "--E n     the window keeps its first n lines"},
    {'I', dd_insert_file, "--I       insert the first lines of a file"},
    {'P', dd_P, "--Proj    directory listing of the whole list"},
    {'S', dd_sort, "--S       sort the window"},
    {'X', dd_clear, "--X       empty the work list, then load the parameters"},
    {'c', dd_rotate_left, "--c       rotate every window line left"},
    {'e', dd_e, "--end --exit --eG --eA  end the run; keep capitals; drop short lines"},
    {'l', dd_l, "--last --lines  keep the last line; join lines"},
    {'n', dd_unnumber, "--n       strip leading numbers"},
    {'r', dd_r, "--rows --return --rename --rand  split; end; rename files; shuffle"},
    {'s', dd_s, "--split   cut every line at a text"},
    {'t', dd_columns, "--t       column layouts"},
    {'x', dd_remove, "--x       remove the window, then load the parameters"},
};

}  // namespace

Step op_dashdash(Run& r, Op& o) {
    for (const Member& m : members)
        if (m.third == o.word[2]) return m.fn(r, o);
    return param_error(r, o);
}
