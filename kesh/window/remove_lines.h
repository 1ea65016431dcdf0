// Removing a stretch of lines that need not be the whole window, built on
// remove_window so that the list keeps one way of shrinking.
#pragma once
#include "kesh/driver/run.h"

// Removes the lines [from, to) of the work list; the window bounds follow
// the lines they stood at (a bound inside the removed stretch lands on
// `from`).
inline void remove_lines(Run& r, size_t from, size_t to) {
    if (from >= to) return;
    size_t a = r.aHf, e = r.eHf, n = to - from;
    r.aHf = from;
    r.eHf = to;
    remove_window(r);
    auto follow = [&](size_t x) { return x <= from ? x : x >= to ? x - n : from; };
    r.aHf = follow(a);
    r.eHf = follow(e);
}
