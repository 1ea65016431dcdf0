#include "common/strings.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {
inline int fold(char c) { return (signed char)(c | 0x20); }
}  // namespace

int strcmp_(const char* a, const char* b) {
    // Equal bytes fold alike: skip them before looking closer.
    while (*a == *b) {
        if (!*a) return 0;
        a++;
        b++;
    }
    for (;;) {
        bool ea = *a == 0, eb = *b == 0;
        if (ea && eb) return 0;
        // A text that has ended counts as a space, just before a real one.
        int x = ea ? 0x20 : fold(*a);
        int y = eb ? 0x20 : fold(*b);
        if (x != y) return x < y ? -1 : 1;
        if (ea) return -1;
        if (eb) return 1;
        a++;
        b++;
    }
}

int strncmp_(const char* a, const char* b, size_t n) {
    for (size_t k = 0; k < n; k++) {
        if (!a[k]) return b[k] ? -1 : 0;
        if (!b[k]) return 1;
        int x = fold(a[k]), y = fold(b[k]);
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

const char* strstr_(const char* text, const char* key) {
    if (!*key) return text;
    size_t kl = strlen(key), tl = strlen(text);
    if (kl > tl) return nullptr;
    int k0 = fold(key[0]);
    for (size_t s = 0; s + kl <= tl; s++) {
        if (fold(text[s]) != k0) continue;
        size_t k = 1;
        while (k < kl && fold(text[s + k]) == fold(key[k])) k++;
        if (k == kl) return text + s;
    }
    return nullptr;
}

// The partition scheme takes the last entry as pivot and must be kept
// exactly, because texts that compare equal keep the order it gives them.
// Two things make it cheap:
//
// - Ranks. Only the outcome of each comparison matters, so the texts of a
//   larger range are first ranked once (a library sort, n log n text
//   comparisons; equal texts share a rank) and the scheme then runs on the
//   ranks: every comparison of the scheme is an integer comparison.
// - A tournament tree. On ordered input the pivot is an extreme, each
//   partition removes one entry and a plain scan costs n per step. The scans
//   can be answered by a tree of minima and maxima instead: the left scan
//   asks for the first entry not below the pivot, the right scan for the
//   last one not above it. A partition then costs (swaps + 1) * log n, and
//   the swaps of all partitions add up to n log n, whatever the pivots.
//   Plain scanning is faster on well-mixed data, so a subrange starts plain
//   and switches to the tree once a partition came out lopsided.
namespace {

// Ranks start at 1: 0 and the maximum mark empty tree nodes.
using Rank = uint32_t;
constexpr Rank NONE_MAX = 0, NONE_MIN = UINT32_MAX;

struct Tree {
    const Rank* r = nullptr;  // the ranks being sorted
    size_t size = 0;          // leaves, a power of two
    std::vector<Rank> mn, mx;

    void init(const Rank* ranks, size_t n) {
        r = ranks;
        size = 1;
        while (size < n) size <<= 1;
        mn.assign(2 * size, NONE_MIN);
        mx.assign(2 * size, NONE_MAX);
    }
    void pull(size_t v) {
        mn[v] = std::min(mn[2 * v], mn[2 * v + 1]);
        mx[v] = std::max(mx[2 * v], mx[2 * v + 1]);
    }
    // Rebuilds the leaves of [lo, hi] and every node that lies wholly inside
    // it; nodes reaching outside stay as they are and are never asked.
    void rebuild(size_t lo, size_t hi) {
        size_t l = lo + size, r2 = hi + size;
        for (size_t k = l; k <= r2; k++) mn[k] = mx[k] = r[k - size];
        for (;;) {
            size_t pl = (l + 1) / 2, pr = (r2 - 1) / 2;
            if (r2 == 0 || pl > pr || pl == 0) break;
            for (size_t v = pl; v <= pr; v++) pull(v);
            l = pl;
            r2 = pr;
        }
    }
    void set(size_t idx) {
        size_t v = idx + size;
        mn[v] = mx[v] = r[idx];
        for (v >>= 1; v >= 1; v >>= 1) pull(v);
    }
    // First index in [a, b] whose rank is not below the pivot, or b + 1.
    size_t first_not_below(size_t a, size_t b, Rank pivot) const { return find(a, b, pivot, true); }
    // Last index in [a, b] whose rank is not above the pivot, or a - 1.
    size_t last_not_above(size_t a, size_t b, Rank pivot) const { return find(a, b, pivot, false); }

private:
    bool hit(size_t v, Rank pivot, bool left) const { return left ? mx[v] >= pivot : mn[v] <= pivot; }
    size_t descend(size_t v, Rank pivot, bool left) const {
        while (v < size) {
            size_t first = left ? 2 * v : 2 * v + 1, second = left ? 2 * v + 1 : 2 * v;
            v = hit(first, pivot, left) ? first : second;
        }
        return v - size;
    }
    size_t find(size_t a, size_t b, Rank pivot, bool left) const {
        size_t l = a + size, r2 = b + size + 1;
        // Canonical nodes of [l, r2) in order from the left and from the right.
        size_t lefts[64], rights[64];
        int nl = 0, nr = 0;
        for (; l < r2; l >>= 1, r2 >>= 1) {
            if (l & 1) lefts[nl++] = l++;
            if (r2 & 1) rights[nr++] = --r2;
        }
        size_t order[128];
        int no = 0;
        for (int k = 0; k < nl; k++) order[no++] = lefts[k];
        for (int k = nr - 1; k >= 0; k--) order[no++] = rights[k];
        if (left) {
            for (int k = 0; k < no; k++)
                if (hit(order[k], pivot, true)) return descend(order[k], pivot, true);
            return b + 1;
        }
        for (int k = no - 1; k >= 0; k--)
            if (hit(order[k], pivot, false)) return descend(order[k], pivot, false);
        return a - 1;
    }
};

struct Job {
    long long lo, hi;
    bool tree;
};

// The ranks and the texts they stand for, swapped together.
struct Ranked {
    std::vector<Rank> r;
    const char** t;  // table entry of rank index 0
    void swap(long long i, long long j) {
        std::swap(r[i], r[j]);
        std::swap(t[i], t[j]);
    }
};

// One partition of [lo..hi] exactly as the scheme does it; returns the
// pivot's final index. With a tree, the scans jump instead of stepping.
long long partition(Ranked& a, long long lo, long long hi, Tree* tr) {
    const Rank pivot = a.r[hi];
    const Rank* r = a.r.data();
    long long i = lo, j = hi;
    for (;;) {
        // Left scan: up to the first entry not below the pivot.
        if (tr)
            i = (long long)tr->first_not_below((size_t)i, (size_t)hi, pivot);
        else
            while (r[i] < pivot) i++;
        // Right scan: step down past entries above the pivot while i < j.
        if (tr) {
            long long from = j - 1;
            if (from <= i) {
                j = from;
            } else {
                size_t k = tr->last_not_above((size_t)i + 1, (size_t)from, pivot);
                j = (k == (size_t)i) ? i : (long long)k;
            }
        } else {
            do
                j--;
            while (r[j] > pivot && i < j);
        }
        if (i >= j) break;
        a.swap(i, j);
        if (tr) {
            tr->set((size_t)i);
            tr->set((size_t)j);
        }
        i++;
    }
    a.swap(i, hi);
    if (tr) {
        tr->set((size_t)i);
        tr->set((size_t)hi);
    }
    return i;
}

void sort_ranked(Ranked& a, long long n, bool force_tree) {
    Tree tree;
    bool tree_ready = false;
    std::vector<Job> stack;
    stack.push_back({0, n - 1, force_tree});
    while (!stack.empty()) {
        Job job = stack.back();
        stack.pop_back();
        if (job.lo >= job.hi) continue;
        if (job.tree && !tree_ready) {
            tree.init(a.r.data(), (size_t)n);
            tree_ready = true;
            tree.rebuild((size_t)job.lo, (size_t)job.hi);
        }
        long long len = job.hi - job.lo + 1;
        long long p = partition(a, job.lo, job.hi, job.tree ? &tree : nullptr);
        long long left = p - job.lo, right = job.hi - p;
        long long smaller = left < right ? left : right;
        bool lopsided = len >= 16 && smaller < len / 16;
        bool child_tree = force_tree || lopsided;
        if (child_tree && !job.tree) {
            // Plain scanning has left the tree stale for this range.
            if (!tree_ready) {
                tree.init(a.r.data(), (size_t)n);
                tree_ready = true;
            }
            tree.rebuild((size_t)job.lo, (size_t)job.hi);
        }
        // The larger part first onto the stack, so the stack stays shallow.
        Job l{job.lo, p - 1, child_tree}, g{p + 1, job.hi, child_tree};
        if (left > right) {
            stack.push_back(l);
            stack.push_back(g);
        } else {
            stack.push_back(g);
            stack.push_back(l);
        }
    }
}

// Small ranges: the scheme itself on the texts, recursion replaced by a
// stack. Quadratic at worst, which the size bound keeps cheap.
void sort_small(const char** t, long long lo, long long hi) {
    std::vector<Job> stack{{lo, hi, false}};
    while (!stack.empty()) {
        Job job = stack.back();
        stack.pop_back();
        if (job.lo >= job.hi) continue;
        const char* pivot = t[job.hi];
        long long i = job.lo, j = job.hi;
        for (;;) {
            while (strcmp_(t[i], pivot) < 0) i++;
            do
                j--;
            while (strcmp_(t[j], pivot) > 0 && i < j);
            if (i >= j) break;
            std::swap(t[i], t[j]);
            i++;
        }
        std::swap(t[i], t[job.hi]);
        stack.push_back({i + 1, job.hi, false});
        stack.push_back({job.lo, i - 1, false});
    }
}

constexpr long long SMALL = 32;

void sort_jobs(const char** table, long long lo, long long hi, bool force_tree) {
    if (lo >= hi) return;
    long long n = hi - lo + 1;
    if (n < SMALL && !force_tree) {
        sort_small(table, lo, hi);
        return;
    }
    const char** t = table + lo;
    struct Entry {
        const char* text;
        uint32_t at;
    };
    std::vector<Entry> order((size_t)n);
    for (long long k = 0; k < n; k++) order[k] = {t[k], (uint32_t)k};
    std::sort(order.begin(), order.end(), [](const Entry& x, const Entry& y) { return strcmp_(x.text, y.text) < 0; });
    Ranked a{std::vector<Rank>((size_t)n), t};
    Rank rank = 1;
    for (long long k = 0; k < n; k++) {
        if (k > 0 && strcmp_(order[k - 1].text, order[k].text) != 0) rank++;
        a.r[order[k].at] = rank;
    }
    order = {};
    sort_ranked(a, n, force_tree);
}

}  // namespace

void quicksort(const char** table, long long lo, long long hi) { sort_jobs(table, lo, hi, false); }

namespace sort_detail {
void quicksort_indexed(const char** table, long long lo, long long hi) { sort_jobs(table, lo, hi, true); }
}  // namespace sort_detail
