// The run state of kesh and the conventions every operation shares: the
// work list with its window, the argument vector, the environment list, the
// command file, and the steps by which a handler steers the run loop.
#pragma once
#include <cstddef>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The argument vector. Dropping the arguments before the current operation
// only moves `base`, so a long command line is not copied once per group.
class ArgVec {
public:
    const char*& operator[](size_t k) { return v_[base_ + k]; }
    const char* operator[](size_t k) const { return v_[base_ + k]; }
    size_t size() const { return v_.size() - base_; }
    void push_back(const char* s) { v_.push_back(s); }
    void drop_front(size_t k) { base_ += k; }
    // Replaces the k entries from `at` by `repl`.
    void splice(size_t at, size_t k, std::span<const char* const> repl);

private:
    std::vector<const char*> v_;
    size_t base_ = 0;
};

struct Run {
    // The work list and its window [aHf, eHf).
    std::vector<const char*> Hf;
    size_t aHf = 0, eHf = 0;
    size_t anzHf() const { return Hf.size(); }
    size_t window_size() const { return eHf - aHf; }

    ArgVec Argv;
    const char* OP = "";  // the operation word being run

    // The environment list, oldest first: definitions made during the run are
    // appended, and lookups search from the back, so the newest one wins.
    std::vector<const char*> ENV;

    FILE* cmdfile = nullptr;  // null when the run has none
    std::string cmdname;
    std::string outname;  // empty: standard output
    long long success = 0;
    long long suppress = 0;

    // State of the selection menu, kept for the whole run.
    long long IA = 0;
    std::string c_sel;      // display filter; empty: none
    std::string EXT = "<";  // its first character is the no-selection sign

    ~Run();
};

// One operation and its parameters: Argv[i] is the word, Argv[i+1 .. e-1]
// the expanded parameters. A '+' operation also gets its first two
// parameters ready-made (empty when missing).
struct Op {
    const char* word;
    size_t i, e;
    const char* p1 = "";
    size_t l1 = 0;
    const char* p2 = "";
    size_t l2 = 0;
    size_t nparams() const { return e - i - 1; }
};

// What a handler tells the run loop.
struct Step {
    enum Kind { Next, Goto, End } kind = Next;
    long long value = 0;  // Goto: loop index; End: exit code
};
inline Step next_group() { return {}; }
inline Step goto_index(size_t i) { return {Step::Goto, (long long)i}; }
// Ends the run without the final listing; the loop closes the command file.
inline Step end_run(long long code) { return {Step::End, code}; }

// Handler helpers.
inline const char* param(const Run& r, const Op& o, size_t k) { return r.Argv[o.i + 1 + k]; }
inline bool is_last(const Run& r, const Op& o) { return o.e >= r.Argv.size(); }
// Runs the same parameters again as a -I group.
Step redispatch_as_I(Run& r, const Op& o);
// The parameter error: message, the argument vector, pause, exit code -1.
Step param_error(Run& r, const Op& o);

// Window conventions, written once. Insertion at the end or the start makes
// the new lines part of the window; removal leaves an empty window at aHf;
// replacement swaps the window for the given lines.
void insert_at_window_end(Run& r, std::span<const char* const> lines);
void insert_at_window_start(Run& r, std::span<const char* const> lines);
void remove_window(Run& r);
void replace_window(Run& r, std::span<const char* const> lines);
// The usual success flag: 1 when the window is not empty.
inline void set_success_by_window(Run& r) { r.success = r.eHf > r.aHf ? 1 : 0; }

// A copy of a text that lives until the process ends.
char* dup_text(std::string_view s);

// Environment list.
const char* env_lookup(const Run& r, std::string_view name);  // value or null
void env_add(Run& r, std::string_view entry);                  // NAME=VALUE, newest

// Command-file lines (dropped when the run has no command file).
void cmd_printf(Run& r, const char* fmt, ...);
void close_cmdfile(Run& r);

// Expands the parameters Argv[i+1 .. e-1] in place; returns the new e.
size_t expand_params(Run& r, size_t i, size_t e);

// The whole run: start, loop, end. Returns the exit code.
int kesh_main(int argc, char** argv, char** envp);
