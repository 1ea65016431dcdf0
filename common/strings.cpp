#include "common/strings.h"

#include <cstring>
#include <vector>

namespace {
inline int fold(char c) { return (signed char)(c | 0x20); }
}  // namespace

int strcmp_(const char* a, const char* b) {
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

// The partition scheme takes the last entry as pivot. On ordered input that
// pivot is an extreme, each partition removes one entry and a plain scan
// costs n per step. The result of the scheme is kept exactly, but its scans
// can be answered by a tournament tree of minima and maxima: the left scan
// asks for the first entry not below the pivot, the right scan for the last
// one not above it. A partition then costs (swaps + 1) * log n, and the
// swaps of all partitions add up to n log n, whatever the pivots.
//
// Plain scanning is faster on well-mixed data, so a subrange starts plain and
// switches to the tree once a partition came out lopsided; a balanced
// partition under the tree hands its parts back to plain scanning.
namespace {

struct Tree {
    const char** t = nullptr;  // the table being sorted
    size_t base = 0;           // table index of leaf 0
    size_t size = 0;           // leaves, a power of two
    std::vector<const char*> mn, mx;  // per node; null = empty

    void init(const char** table, size_t lo, size_t n) {
        t = table;
        base = lo;
        size = 1;
        while (size < n) size <<= 1;
        mn.assign(2 * size, nullptr);
        mx.assign(2 * size, nullptr);
    }
    void pull(size_t v) {
        const char* a = mn[2 * v];
        const char* b = mn[2 * v + 1];
        mn[v] = !a ? b : !b ? a : (strcmp_(b, a) < 0 ? b : a);
        a = mx[2 * v];
        b = mx[2 * v + 1];
        mx[v] = !a ? b : !b ? a : (strcmp_(b, a) > 0 ? b : a);
    }
    // Rebuilds the leaves of [lo, hi] and every node that lies wholly inside
    // it; nodes reaching outside stay as they are and are never asked.
    void rebuild(size_t lo, size_t hi) {
        size_t l = lo - base + size, r = hi - base + size;
        for (size_t k = l; k <= r; k++) mn[k] = mx[k] = t[base + k - size];
        for (;;) {
            size_t pl = (l + 1) / 2, pr = (r - 1) / 2;
            if (r == 0 || pl > pr || pl == 0) break;
            for (size_t v = pl; v <= pr; v++) pull(v);
            l = pl;
            r = pr;
        }
    }
    void set(size_t idx) {
        size_t v = idx - base + size;
        mn[v] = mx[v] = t[idx];
        for (v >>= 1; v >= 1; v >>= 1) pull(v);
    }
    // First index in [a, b] whose text is not below the pivot, or b + 1.
    size_t first_not_below(size_t a, size_t b, const char* pivot) const {
        return find(a, b, pivot, true);
    }
    // Last index in [a, b] whose text is not above the pivot, or a - 1
    // (as a wrapped value when a is 0; callers check with a <= b).
    size_t last_not_above(size_t a, size_t b, const char* pivot) const {
        return find(a, b, pivot, false);
    }

private:
    bool hit(size_t v, const char* pivot, bool left) const {
        return left ? strcmp_(mx[v], pivot) >= 0 : strcmp_(mn[v], pivot) <= 0;
    }
    size_t descend(size_t v, const char* pivot, bool left) const {
        while (v < size) {
            size_t first = left ? 2 * v : 2 * v + 1, second = left ? 2 * v + 1 : 2 * v;
            v = hit(first, pivot, left) ? first : second;
        }
        return v - size + base;
    }
    size_t find(size_t a, size_t b, const char* pivot, bool left) const {
        size_t l = a - base + size, r = b - base + size + 1;
        // Canonical nodes of [l, r) in order from the left and from the right.
        size_t lefts[64], rights[64];
        int nl = 0, nr = 0;
        for (; l < r; l >>= 1, r >>= 1) {
            if (l & 1) lefts[nl++] = l++;
            if (r & 1) rights[nr++] = --r;
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

// One partition of table[lo..hi] exactly as the scheme does it; returns the
// pivot's final index. With a tree, the scans jump instead of stepping.
long long partition(const char** table, long long lo, long long hi, Tree* tr) {
    const char* pivot = table[hi];
    long long i = lo, j = hi;
    for (;;) {
        // Left scan: up to the first entry not below the pivot.
        if (tr)
            i = (long long)tr->first_not_below((size_t)i, (size_t)hi, pivot);
        else
            while (strcmp_(table[i], pivot) < 0) i++;
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
            while (strcmp_(table[j], pivot) > 0 && i < j);
        }
        if (i >= j) break;
        const char* x = table[i];
        table[i] = table[j];
        table[j] = x;
        if (tr) {
            tr->set((size_t)i);
            tr->set((size_t)j);
        }
        i++;
    }
    const char* x = table[i];
    table[i] = table[hi];
    table[hi] = x;
    if (tr) {
        tr->set((size_t)i);
        tr->set((size_t)hi);
    }
    return i;
}

void sort_jobs(const char** table, long long lo, long long hi, bool force_tree) {
    if (lo >= hi) return;
    Tree tree;
    bool tree_ready = false;
    std::vector<Job> stack;
    stack.push_back({lo, hi, force_tree});
    while (!stack.empty()) {
        Job job = stack.back();
        stack.pop_back();
        if (job.lo >= job.hi) continue;
        if (job.tree && !tree_ready) {
            tree.init(table, (size_t)lo, (size_t)(hi - lo + 1));
            tree_ready = true;
            tree.rebuild((size_t)job.lo, (size_t)job.hi);
        }
        long long n = job.hi - job.lo + 1;
        long long p = partition(table, job.lo, job.hi, job.tree ? &tree : nullptr);
        long long left = p - job.lo, right = job.hi - p;
        long long smaller = left < right ? left : right;
        bool lopsided = n >= 16 && smaller < n / 16;
        bool child_tree = force_tree || lopsided;
        if (child_tree && !job.tree) {
            // Plain scanning has left the tree stale for this range.
            if (!tree_ready) {
                tree.init(table, (size_t)lo, (size_t)(hi - lo + 1));
                tree_ready = true;
            }
            tree.rebuild((size_t)job.lo, (size_t)job.hi);
        }
        // The larger part first onto the stack, so the stack stays shallow.
        Job a{job.lo, p - 1, child_tree}, b{p + 1, job.hi, child_tree};
        if (left > right) {
            stack.push_back(a);
            stack.push_back(b);
        } else {
            stack.push_back(b);
            stack.push_back(a);
        }
    }
}

}  // namespace

void quicksort(const char** table, long long lo, long long hi) { sort_jobs(table, lo, hi, false); }

namespace sort_detail {
void quicksort_indexed(const char** table, long long lo, long long hi) { sort_jobs(table, lo, hi, true); }
}  // namespace sort_detail
