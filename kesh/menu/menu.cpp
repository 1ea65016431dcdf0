// The selection menu (-? and -/) and the line prompt (+?). Everything the
// dialogues print goes to standard error, so that standard output stays free
// for the final listing.
#include "kesh/menu/menu.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/strings.h"
#include "common/text.h"
#include "kesh/ops.h"
#include "platform/platform.h"

namespace {

constexpr size_t kMaxItems = 20000;
// The answer line holds this many characters; keys beyond it are not taken
// (and not echoed), so what the user sees is what is evaluated.
constexpr size_t kMaxAnswer = 255;

const char kHelpBox[] =
    "****************************************************************\n"
    "For selection enter the corresponding numbers, please;\n"
    "for no selection enter the sign <;\n"
    "if possible, enter the selection in the form 2 7-10 14-20;\n"
    "press any key to continue.\n"
    "****************************************************************\n";

void say(std::string_view s) {
    put_text(stderr, s);
    fflush(stderr);
}

// The default marker: the text after the first "(enter=" up to the next
// ")", or up to the end of the prompt when no ")" follows.
struct Marker {
    bool found = false;
    std::string text;
};

Marker default_marker(const std::string& prompt) {
    Marker m;
    size_t at = prompt.find("(enter=");
    if (at == std::string::npos) return m;
    m.found = true;
    size_t from = at + 7;
    size_t close = prompt.find(')', from);
    m.text = prompt.substr(from, close == std::string::npos ? std::string::npos : close - from);
    return m;
}

// How an item is shown under the display filter.
const char* shown_text(const char* item, const std::string& filter) {
    if (filter.empty()) return item;
    if (filter.size() == 1) {
        const char* p = strchr(item, filter[0]);
        return p ? p + 1 : item;
    }
    return strncmp(item, filter.c_str(), filter.size()) == 0 ? item + filter.size() : item;
}

// The listing: items numbered from 1 running down the columns, then the
// prompt on a line of its own, without a line end after it.
std::string listing(const char* const* items, size_t n, const std::string& filter, const std::string& prompt) {
    std::vector<const char*> shown(n);
    std::vector<size_t> len(n);
    size_t figure = 0;
    for (size_t k = 0; k < n; k++) {
        shown[k] = shown_text(items[k], filter);
        len[k] = strlen(shown[k]);
        if (len[k] > figure) figure = len[k] + 1;
    }
    size_t width, columns;
    if (figure <= 10)
        width = 10, columns = 5;
    else if (figure <= 14)
        width = 14, columns = 4;
    else if (figure <= 21)
        width = 21, columns = 3;
    else if (figure <= 34)
        width = 34, columns = 2;
    else
        width = 0, columns = 1;
    if (n <= 9) columns = 1;
    size_t rows = (n + columns - 1) / columns;

    std::string out;
    for (size_t row = 0; row < rows; row++) {
        out += '\n';
        for (size_t k = row; k < n; k += rows) {
            out += format("%3zu) ", k + 1);
            out.append(shown[k], len[k]);
            if (len[k] < width) out.append(width - len[k], ' ');
        }
    }
    out += '\n';
    out += prompt;
    return out;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads one answer key by key, echoing what it accepts. Returns false when
// the user asked for no selection.
bool read_answer(plat::KeySource& keys, char no_sel, std::string& ans) {
    ans.clear();
    for (;;) {
        plat::Key k = plat::read_key(keys);
        // The end of input ends the answer as Enter would, so a script that
        // runs out of answers cannot keep the menu waiting.
        if (k.c == plat::KEY_END || (k.burst && k.c == plat::KEY_ENTER)) {
            say("\n");
            return true;
        }
        if (k.burst) continue;  // a paste or a multi-code key: ignored whole
        char c = (char)k.c;
        bool after_digit = !ans.empty() && is_digit(ans.back());
        if (c == no_sel) {
            say(std::string(1, c) + "\n");
            return false;
        }
        if (k.c == plat::KEY_ENTER) {
            say("\n");
            return true;
        }
        if (k.c == plat::KEY_BACKSPACE) {
            if (ans.empty()) continue;
            ans.pop_back();
            say("\b \b");
            continue;
        }
        bool ok = is_digit(c) || (c == ' ' && after_digit);
        if (c == '-' && after_digit) {
            size_t group = ans.rfind(' ');
            ok = ans.find('-', group == std::string::npos ? 0 : group) == std::string::npos;
        }
        if (!ok || ans.size() >= kMaxAnswer) continue;
        ans += c;
        say(std::string(1, c));
    }
}

// A decimal number; a value too large for the type stays at the largest.
long long number(const std::string& s, size_t from, size_t to) {
    long long v = 0;
    for (size_t k = from; k < to; k++) {
        int d = s[k] - '0';
        v = v > (LLONG_MAX - d) / 10 ? LLONG_MAX : v * 10 + d;
    }
    return v;
}

// Turns an answer into item indexes. False when a group is rejected.
bool evaluate(const std::string& ans, size_t n, long long& IA, std::vector<size_t>& picks) {
    picks.clear();
    if (ans.find_first_of(" -") == std::string::npos && IA == 0) IA = number(ans, 0, ans.size()) - 1;
    long long items = (long long)n;
    size_t k = 0;
    while (k < ans.size()) {
        size_t end = ans.find(' ', k);
        if (end == std::string::npos) end = ans.size();
        if (end > k) {
            size_t dash = ans.find('-', k);
            long long a, b;
            if (dash < end) {
                a = number(ans, k, dash);
                b = number(ans, dash + 1, end);  // missing: 0, rejected below
            } else {
                a = b = number(ans, k, end);
            }
            if (a < 1 || a > b || b > items) return false;
            if (b - a + 1 > items - (long long)picks.size()) return false;
            for (long long m = a; m <= b; m++) picks.push_back((size_t)(m - 1));
        }
        k = end + 1;
    }
    return true;
}

// The help box, then one key, taken without echo and dropped.
int error(plat::KeySource& keys) {
    say(kHelpBox);
    plat::read_key(keys);
    return 0;
}

// The dialogue proper: listing, answer, evaluation, until an answer stands.
void run_menu(Run& r, const std::string& prompt, plat::KeySource* keys, std::vector<const char*>& chosen) {
    std::unique_ptr<plat::KeySource> own;
    if (!keys) {
        own = plat::open_keys();
        keys = own.get();
    }
    const char* const* items = r.Hf.data() + r.aHf;
    size_t n = r.window_size();
    std::string list = listing(items, n, r.c_sel, prompt);
    char no_sel = r.EXT.empty() ? '<' : r.EXT[0];
    std::string ans;
    std::vector<size_t> picks;
    r.IA = 0;
    for (;;) {
        say(list);
        if (!read_answer(*keys, no_sel, ans)) return;
        if (ans.empty()) {
            say("\n");
            if (prompt.find("(enter=all)") != std::string::npos) {
                chosen.assign(items, items + n);
            } else {
                Marker m = default_marker(prompt);
                if (m.found && !m.text.empty()) chosen.push_back(dup_text(m.text));
            }
            return;
        }
        if (evaluate(ans, n, r.IA, picks)) {
            for (size_t p : picks) chosen.push_back(items[p]);
            return;
        }
        error(*keys);
    }
}

}  // namespace

long long sel(Run& r, std::string prompt, bool one_item_shortcut, plat::KeySource* keys) {
    size_t n = r.window_size();
    if (n > kMaxItems) {
        fflush(stdout);
        say("*** more than 20000 items; make it smaller, please.\n");
        plat::pause();
        return -1;
    }
    std::vector<const char*> chosen;
    if (n == 0) {
        Marker m = default_marker(prompt);
        if (m.found && m.text != "all") chosen.push_back(dup_text(m.text));
    } else {
        size_t none = prompt.find("(enter=)");
        if (none != std::string::npos) prompt.erase(none, 8);
        bool shortcut = false;
        if (n == 1 && one_item_shortcut) {
            const char* item = r.Hf[r.aHf];
            size_t at = prompt.find("(enter=");
            if (at == std::string::npos) {
                shortcut = true;
            } else {
                const char* after = prompt.c_str() + at + 7;
                shortcut = strncmp(after, "all)", 4) == 0 || strncmp(after, item, strlen(item)) == 0;
            }
        }
        if (shortcut)
            chosen.push_back(r.Hf[r.aHf]);
        else
            run_menu(r, prompt, keys, chosen);
    }

    if (prompt[0] == '=' && !chosen.empty()) {
        quicksort(chosen.data(), 0, (long long)chosen.size() - 1);
        size_t w = 1;
        for (size_t k = 1; k < chosen.size(); k++)
            if (strcmp_(chosen[k], chosen[w - 1]) != 0) chosen[w++] = chosen[k];
        chosen.resize(w);
    }
    replace_window(r, chosen);
    return (long long)chosen.size();
}

Step op_menu(Run& r, Op& o) {
    if (o.nparams() == 0) return param_error(r, o);  // the prompt is required
    r.c_sel = o.word + 2;
    if (o.nparams() > 1) insert_at_window_end(r, std::span<const char* const>(&r.Argv[o.i + 2], o.nparams() - 1));
    if (sel(r, param(r, o, 0), o.word[1] == '?', nullptr) < 0) return end_run(-1);
    cmd_printf(r, "set .sel=%lld\n", r.IA);
    set_success_by_window(r);
    return next_group();
}

Step op_prompt(Run& r, Op& o) {
    std::string prompt(o.p1, o.l1);
    std::string def;
    size_t at = prompt.find("(enter=");
    if (at != std::string::npos) {
        if (prompt.compare(at + 7, 1, ")") == 0)
            prompt.erase(at, 8);
        else
            def = default_marker(prompt).text;
    }
    say(prompt + "\n");
    std::string line;
    // The whole line, however long: the answer is never cut.
    if (text_getline(stdin, line, SIZE_MAX) && line.back() == '\n') line.pop_back();
    line.resize(strlen(line.c_str()));  // a line is a C text
    if (line.empty()) line = def;
    if (line.empty() || line == "<") {
        r.Hf.clear();
        r.aHf = r.eHf = 0;
    } else {
        const char* one[] = {dup_text(line)};
        insert_at_window_end(r, one);
    }
    return next_group();
}
