// Line filters: -e keeps the window lines that match its parameters, -v
// removes them all, -V removes the first one. Every filter scans the window
// once, collects what stays and swaps it in with a single replace_window.
// Several parameters are tried at once through a KeySet, so a line costs
// about its length whatever the number of parameters.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "common/strings.h"
#include "kesh/ops.h"
#include "kesh/window/find_text.h"
#include "kesh/window/key_set.h"
#include "kesh/window/remove_lines.h"

namespace {

// Cells of a KeySet table (4 bytes each); a larger set of parameters is
// tried one by one.
constexpr size_t kMaxCells = size_t(1) << 24;

// A KeySet over the parameters, or null when one by one is as good.
std::unique_ptr<KeySet> key_set(const std::vector<std::string_view>& keys, bool fold, KeySet::Place place,
                                size_t at_least) {
    if (keys.size() < at_least) return nullptr;
    auto set = std::make_unique<KeySet>(keys, fold, place, kMaxCells);
    if (!set->ok()) return nullptr;
    return set;
}

enum class Test { ContainsFold, EqualsFold, EqualsExact, BeginsFold, EndsExact, EndsFold };

// A line test against the parameters of one operation.
struct Filter {
    Test test;
    // With an empty parameter the begins and ends tests match every line,
    // except for -vA and -vE, where they match only an empty line.
    bool empty_only;
    std::vector<const char*> p;
    std::vector<size_t> n;  // compared length of each parameter
    std::vector<FoldedKey> keys;  // contains, tried one by one
    std::unique_ptr<KeySet> all;  // the parameters of the set, all at once
    std::vector<size_t> index;    // parameter of each key in the set
    long lowest_empty = -1;       // with empty_only: the first empty parameter

    // `cut`: each parameter counts only up to its first such character.
    Filter(Run& r, const Op& o, Test t, bool empty_only_ = false, char cut = 0) : test(t), empty_only(empty_only_) {
        std::vector<std::string_view> set_keys;
        for (size_t q = 0; q < o.nparams(); q++) {
            const char* s = param(r, o, q);
            const char* c = cut ? strchr(s, cut) : nullptr;
            p.push_back(s);
            n.push_back(c ? (size_t)(c - s) : strlen(s));
            if (empty_only && n[q] == 0) {
                if (lowest_empty < 0) lowest_empty = (long)q;
            } else {
                set_keys.emplace_back(s, n[q]);
                index.push_back(q);
            }
        }
        KeySet::Place place = t == Test::ContainsFold                           ? KeySet::Anywhere
                              : t == Test::EqualsFold || t == Test::EqualsExact ? KeySet::Whole
                              : t == Test::BeginsFold                           ? KeySet::Start
                                                                                : KeySet::End;
        bool fold = t != Test::EqualsExact && t != Test::EndsExact;
        // One contains text is found faster by skipping; a few equals,
        // begins or ends tests are cheap one by one.
        all = key_set(set_keys, fold, place, t == Test::ContainsFold ? 2 : 4);
        if (!all && t == Test::ContainsFold)
            for (const char* s : p) keys.emplace_back(s);
    }

    bool one(const char* line, size_t ln, size_t k) const {
        const char* s = p[k];
        size_t sn = n[k];
        if (sn == 0 && empty_only) return line[0] == 0;
        switch (test) {
        case Test::ContainsFold: return keys[k].in(line, ln);
        case Test::EqualsFold: return strcmp_(line, s) == 0;
        case Test::EqualsExact: return strcmp(line, s) == 0;
        case Test::BeginsFold: return strncmp_(line, s, sn) == 0;
        case Test::EndsExact: return ln >= sn && memcmp(line + ln - sn, s, sn) == 0;
        case Test::EndsFold: return ln >= sn && strncmp_(line + ln - sn, s, sn) == 0;
        }
        return false;
    }

    // Index of the first parameter the line matches, or -1. With `any`,
    // the index of any parameter that matches will do.
    long first_match(const char* line, bool any = true) const {
        if (all) {
            long m = all->first(line, strlen(line), any);
            if (m >= 0) m = (long)index[(size_t)m];
            if (lowest_empty >= 0 && line[0] == 0 && (m < 0 || lowest_empty < m)) m = lowest_empty;
            return m;
        }
        bool sized = test == Test::ContainsFold || test == Test::EndsExact || test == Test::EndsFold;
        size_t ln = sized ? strlen(line) : 0;
        for (size_t k = 0; k < p.size(); k++)
            if (one(line, ln, k)) return (long)k;
        return -1;
    }
};

enum class Keep { All, First, Last, Replace, Unmatched };

void filter_window(Run& r, const Filter& f, Keep mode) {
    std::vector<const char*> out;
    if (mode == Keep::First) {
        for (size_t k = r.aHf; k < r.eHf && out.empty(); k++)
            if (f.first_match(r.Hf[k]) >= 0) out.push_back(r.Hf[k]);
    } else if (mode == Keep::Last) {
        // The last match of a forward scan is the first one from the end.
        for (size_t k = r.eHf; k-- > r.aHf && out.empty();)
            if (f.first_match(r.Hf[k]) >= 0) out.push_back(r.Hf[k]);
    } else {
        out.reserve(r.window_size());
        for (size_t k = r.aHf; k < r.eHf; k++) {
            long m = f.first_match(r.Hf[k], mode != Keep::Replace);
            if (mode == Keep::Unmatched) {
                if (m < 0) out.push_back(r.Hf[k]);
            } else if (m >= 0) {
                out.push_back(mode == Keep::Replace ? f.p[(size_t)m] : r.Hf[k]);
            }
        }
    }
    replace_window(r, out);
}

// Mode letter of the contains, equals, begins and ends forms; false for an
// unknown letter.
bool keep_mode(char c, Keep& mode) {
    switch (c) {
    case 0: mode = Keep::All; return true;
    case 'f': mode = Keep::First; return true;
    case 'l': mode = Keep::Last; return true;
    case 'p': mode = Keep::Replace; return true;
    default: return false;
    }
}

// -e+ and -v+: parameter 1 is the key, the others its companions.
void key_companions(Run& r, const Op& o, bool keep_with_companion) {
    const char* key = param(r, o, 0);
    std::vector<std::string_view> others;
    for (size_t c = 1; c < o.nparams(); c++) others.emplace_back(param(r, o, c));
    auto set = key_set(others, false, KeySet::Anywhere, 2);
    std::vector<const char*> out;
    out.reserve(r.window_size());
    for (size_t k = r.aHf; k < r.eHf; k++) {
        const char* line = r.Hf[k];
        bool stays = true;
        if (strstr(line, key)) {
            bool companion = false;
            if (set)
                companion = set->first(line, strlen(line), true) >= 0;
            else
                for (size_t c = 0; c < others.size() && !companion; c++) companion = strstr(line, others[c].data()) != nullptr;
            stays = keep_with_companion ? companion : !companion;
        }
        if (stays) out.push_back(line);
    }
    replace_window(r, out);
}

// -eD: a line stays when its folder part (before the last backslash) equals
// a parameter, letter case ignored.
void keep_folders(Run& r, const Op& o) {
    std::vector<std::string_view> folders;
    for (size_t q = 0; q < o.nparams(); q++) folders.emplace_back(param(r, o, q));
    auto set = key_set(folders, true, KeySet::Whole, 4);
    std::vector<const char*> out;
    for (size_t k = r.aHf; k < r.eHf; k++) {
        const char* line = r.Hf[k];
        const char* bs = strrchr(line, '\\');
        if (!bs) continue;
        size_t len = (size_t)(bs - line);
        bool listed = false;
        if (set)
            listed = set->first(line, len, true) >= 0;
        else
            // Equal under strcmp_ means the same length and the same folded bytes.
            for (size_t q = 0; q < folders.size() && !listed; q++)
                listed = folders[q].size() == len && strncmp_(line, folders[q].data(), len) == 0;
        if (listed) out.push_back(line);
    }
    replace_window(r, out);
}

// -eN: the parameters found in the window become the whole work list.
void found_params(Run& r, const Op& o) {
    std::vector<std::string_view> params;
    for (size_t q = 0; q < o.nparams(); q++) params.emplace_back(param(r, o, q));
    std::vector<const char*> out;
    KeySet set(params, true, KeySet::Anywhere, kMaxCells);
    if (set.ok()) {
        // One pass over the window marks every parameter it holds.
        std::vector<char> seen;
        for (size_t k = r.aHf; k < r.eHf; k++) set.mark(r.Hf[k], strlen(r.Hf[k]), seen);
        for (size_t q = 0; q < params.size(); q++)
            if (set.marked(q, seen)) out.push_back(params[q].data());
    } else {
        std::vector<size_t> len;
        len.reserve(r.window_size());
        for (size_t k = r.aHf; k < r.eHf; k++) len.push_back(strlen(r.Hf[k]));
        for (size_t q = 0; q < params.size(); q++) {
            FoldedKey key(params[q].data());
            for (size_t k = r.aHf; k < r.eHf; k++) {
                if (key.in(r.Hf[k], len[k - r.aHf])) {
                    out.push_back(params[q].data());
                    break;
                }
            }
        }
    }
    r.aHf = 0;
    r.eHf = r.anzHf();
    replace_window(r, out);
}

// -eR: each parameter replaces the first window line that begins with its
// key, or joins the window at its end. Every text that can ever stand in
// the window is known beforehand (the window lines and the parameters), so
// they are sorted once; the lines beginning with a key are then one range
// of that order, and a tree of minima over it gives the first window slot
// holding such a line. n lines and m parameters cost (n + m) log(n + m).
class KeyedSlots {
public:
    KeyedSlots(const std::vector<const char*>& window, const std::vector<const char*>& params)
        : n_(window.size()) {
        text_ = window;
        text_.insert(text_.end(), params.begin(), params.end());
        size_t total = text_.size();
        order_.resize(total);
        for (size_t k = 0; k < total; k++) order_[k] = (uint32_t)k;
        std::sort(order_.begin(), order_.end(),
                  [&](uint32_t a, uint32_t b) { return strcmp(text_[a], text_[b]) < 0; });
        rank_.resize(total);
        for (size_t k = 0; k < total; k++) rank_[order_[k]] = (uint32_t)k;
        size_ = 1;
        while (size_ < total) size_ <<= 1;
        tree_.assign(2 * size_, kNone);
        for (size_t k = 0; k < n_; k++) {
            tree_[size_ + rank_[k]] = k;
            slot_.push_back((uint32_t)k);
        }
        for (size_t v = size_ - 1; v >= 1; v--) tree_[v] = std::min(tree_[2 * v], tree_[2 * v + 1]);
    }

    // Parameter q with its key of length klen goes into the window.
    void put(size_t q, size_t klen) {
        size_t id = n_ + q;
        const char* key = text_[id];
        auto below = [&](uint32_t t) { return strncmp(text_[t], key, klen) < 0; };
        auto begins = [&](uint32_t t) { return strncmp(text_[t], key, klen) <= 0; };
        size_t lo = (size_t)(std::partition_point(order_.begin(), order_.end(), below) - order_.begin());
        size_t hi = (size_t)(std::partition_point(order_.begin() + (long)lo, order_.end(), begins) - order_.begin());
        size_t s = first_slot(lo, hi);
        if (s == kNone) {
            s = slot_.size();
            slot_.push_back((uint32_t)id);
        } else {
            set(rank_[slot_[s]], kNone);
            slot_[s] = (uint32_t)id;
        }
        set(rank_[id], s);
    }

    std::vector<const char*> lines() const {
        std::vector<const char*> out;
        out.reserve(slot_.size());
        for (uint32_t id : slot_) out.push_back(text_[id]);
        return out;
    }

private:
    static constexpr size_t kNone = SIZE_MAX;
    size_t n_;
    std::vector<const char*> text_;  // window lines, then parameters
    std::vector<uint32_t> order_;     // ids by text
    std::vector<uint32_t> rank_;      // position of each id in order_
    std::vector<uint32_t> slot_;      // window slot -> id of its text
    size_t size_ = 1;
    std::vector<size_t> tree_;  // minimum slot over ranges of order_

    void set(size_t pos, size_t value) {
        size_t v = size_ + pos;
        tree_[v] = value;
        for (v >>= 1; v >= 1; v >>= 1) tree_[v] = std::min(tree_[2 * v], tree_[2 * v + 1]);
    }
    size_t first_slot(size_t lo, size_t hi) const {
        size_t best = kNone;
        for (size_t l = lo + size_, h = hi + size_; l < h; l >>= 1, h >>= 1) {
            if (l & 1) best = std::min(best, tree_[l++]);
            if (h & 1) best = std::min(best, tree_[--h]);
        }
        return best;
    }
};

void replace_or_append(Run& r, const Op& o, char sep) {
    std::vector<const char*> params;
    std::vector<size_t> keylen;
    for (size_t q = 0; q < o.nparams(); q++) {
        const char* p = param(r, o, q);
        const char* cut = sep ? strchr(p, sep) : nullptr;
        params.push_back(p);
        keylen.push_back(cut ? (size_t)(cut - p) : strlen(p));
    }
    std::vector<const char*> window(r.Hf.begin() + (long)r.aHf, r.Hf.begin() + (long)r.eHf);
    if (params.size() <= 16) {
        // A few parameters: scanning the window directly is cheaper than sorting it.
        for (size_t q = 0; q < params.size(); q++) {
            size_t k = 0;
            while (k < window.size() && strncmp(window[k], params[q], keylen[q]) != 0) k++;
            if (k < window.size())
                window[k] = params[q];
            else
                window.push_back(params[q]);
        }
        replace_window(r, window);
        return;
    }
    KeyedSlots slots(window, params);
    for (size_t q = 0; q < params.size(); q++) slots.put(q, keylen[q]);
    replace_window(r, slots.lines());
}

// -vu: only capitalised words of four or more letters that are not listed.
void keep_capitalised(Run& r, const Op& o) {
    Filter listed(r, o, Test::EqualsFold);
    std::vector<const char*> out;
    for (size_t k = r.aHf; k < r.eHf; k++) {
        const char* line = r.Hf[k];
        if (line[0] < 'A' || line[0] > 'Z' || strlen(line) < 4) continue;
        if (listed.first_match(line) < 0) out.push_back(line);
    }
    replace_window(r, out);
}

}  // namespace

Step op_e(Run& r, Op& o) {
    const char* w = o.word;
    if (strcmp(w, "-expand") == 0) return op_expand(r, o);
    if (o.nparams() == 0) return next_group();
    Keep mode;
    switch (w[2]) {
    case '=':
    case 'A':
    case 'E':
        if (keep_mode(w[3], mode)) {
            Test t = w[2] == '=' ? Test::EqualsFold : w[2] == 'A' ? Test::BeginsFold : Test::EndsExact;
            filter_window(r, Filter(r, o, t), mode);
        }
        break;
    case '+': key_companions(r, o, true); break;
    case 'D': keep_folders(r, o); break;
    case 'R': replace_or_append(r, o, w[3]); break;
    case 'N': found_params(r, o); break;
    default:
        if (keep_mode(w[2], mode)) filter_window(r, Filter(r, o, Test::ContainsFold), mode);
        break;
    }
    set_success_by_window(r);
    return next_group();
}

Step op_v(Run& r, Op& o) {
    if (o.nparams() == 0 || r.aHf == r.eHf) {
        r.success = 0;
        return next_group();
    }
    const char* w = o.word;
    switch (w[2]) {
    case 0: filter_window(r, Filter(r, o, Test::ContainsFold), Keep::Unmatched); break;
    case '=': filter_window(r, Filter(r, o, Test::EqualsExact), Keep::Unmatched); break;
    case '+': key_companions(r, o, false); break;
    case 'E': filter_window(r, Filter(r, o, Test::EndsExact, true), Keep::Unmatched); break;
    // A character after -vA cuts each parameter before its first occurrence.
    case 'A': filter_window(r, Filter(r, o, Test::BeginsFold, true, w[3]), Keep::Unmatched); break;
    case 'u': keep_capitalised(r, o); break;
    default: break;
    }
    set_success_by_window(r);
    return next_group();
}

Step op_V(Run& r, Op& o) {
    if (r.aHf == r.eHf) {
        r.success = 0;
        return next_group();
    }
    Test t;
    switch (o.word[2]) {
    case 0: t = Test::ContainsFold; break;
    case '=': t = Test::EqualsFold; break;
    case 'A': t = Test::BeginsFold; break;
    case 'E': t = Test::EndsFold; break;
    default: set_success_by_window(r); return next_group();
    }
    Filter f(r, o, t);
    for (size_t k = r.aHf; k < r.eHf; k++) {
        if (f.first_match(r.Hf[k]) >= 0) {
            remove_lines(r, k, k + 1);
            break;
        }
    }
    set_success_by_window(r);
    return next_group();
}
