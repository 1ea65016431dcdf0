// Conditional blocks: a word "+if_..." tests one condition; when it fails,
// the run skips forward to the next argument "++", which closes the block.
// The bare "++" is an operation of its own.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/strings.h"
#include "kesh/ops.h"
#include "platform/platform.h"

namespace {

// p1, or the first window line when p1 is empty and the window is not.
const char* subject(const Run& r, const Op& o) {
    if (o.l1 == 0 && r.aHf < r.eHf) return r.Hf[r.aHf];
    return o.p1;
}

bool defined(const Run& r, const Op& o) {
    const char* name = subject(r, o);
    if (!*name) return false;  // an empty name names no variable
    const char* v = env_lookup(r, name);
    return v && *v;
}

bool exists(const char* path) {
    plat::FileStat st;
    return *path && plat::file_stat(path, st);
}

// The window size against p1, both as unsigned 32-bit numbers, so that a
// negative number is larger than every window.
int compare_size(const Run& r, const Op& o) {
    uint32_t w = (uint32_t)r.window_size(), n = (uint32_t)strtoll(o.p1, nullptr, 10);
    return w < n ? -1 : w > n ? 1 : 0;
}

using Test = bool (*)(const Run&, const Op&);

struct Condition {
    const char* word;
    Test holds;  // the block runs when true
};

const Condition conditions[] = {
    {"+if_empty", [](const Run& r, const Op&) { return r.aHf >= r.eHf; }},
    {"+if_notempty", [](const Run& r, const Op&) { return r.aHf != r.eHf; }},
    {"+if_notend", [](const Run& r, const Op&) { return r.eHf >= r.anzHf(); }},
    {"+if_defined", [](const Run& r, const Op& o) { return defined(r, o); }},
    {"+if_notdefined", [](const Run& r, const Op& o) { return !defined(r, o); }},
    {"+if_exist", [](const Run& r, const Op& o) { return exists(subject(r, o)); }},
    {"+if_notexist", [](const Run& r, const Op& o) { return !exists(subject(r, o)); }},
    {"+if_equal", [](const Run& r, const Op& o) { return strcmp_(subject(r, o), o.p2) == 0; }},
    {"+if_notequal", [](const Run& r, const Op& o) { return strcmp_(subject(r, o), o.p2) != 0; }},
    {"+if_success", [](const Run& r, const Op&) { return r.success != 0; }},
    {"+if_greater", [](const Run& r, const Op& o) { return compare_size(r, o) > 0; }},
    {"+if_less", [](const Run& r, const Op& o) { return compare_size(r, o) < 0; }},
    {"+if_lower", [](const Run&, const Op& o) { return o.p1[0] >= 'a' && o.p1[0] <= 'z'; }},
};

}  // namespace

Step op_plus_i(Run& r, Op& o) {
    if (strcmp(o.word, "+i") == 0) return op_separator(r, o);
    for (const Condition& c : conditions) {
        if (strcmp(o.word, c.word) != 0) continue;
        if (c.holds(r, o)) return next_group();
        // Blocks do not nest: the first "++" ends the skip. Later groups are
        // not expanded yet, so only a "++" written as such is seen.
        for (size_t k = o.e; k < r.Argv.size(); k++)
            if (strcmp(r.Argv[k], "++") == 0) return goto_index(k);
        return goto_index(r.Argv.size());
    }
    // Any other word: nothing, but as the last operation it ends the run.
    if (is_last(r, o)) return end_run((long long)r.window_size());
    return next_group();
}

Step op_plusplus(Run& r, Op& o) {
    if (o.word[2]) return op_plusplus_member(r, o);
    if (is_last(r, o)) return end_run(0);
    if (o.nparams() == 0) return next_group();
    return redispatch_as_I(r, o);
}
