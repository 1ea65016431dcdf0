// Keys for the console dialogues (the selection menu and its help box).
//
// Where the keys come from:
// - standard input is the terminal: the terminal;
// - standard input is a pipe: the terminal when there is one that belongs to
//   this process (POSIX: the controlling terminal with this process in its
//   foreground; Windows: the console), so a list can be piped in while the
//   user answers at the keyboard; otherwise standard input;
// - standard input is a file or a device such as the null device: standard
//   input, so scripts and tests can supply the answers.
// The terminal is read without line buffering and without echo; that mode
// lasts exactly as long as the KeySource object and is undone on every way
// out (return, exception, and on POSIX the terminating signals and Ctrl-Z).
// Standard input is read one byte at a time; CR, LF and CR LF are one Enter.
#pragma once
#include <cstdio>
#include <memory>

namespace plat {

// The small primitives that differ between the sources.
class KeySource {
public:
    virtual ~KeySource() = default;
    // The next byte; waits for it. -1 at the end of input.
    virtual int get() = 0;
    // True when a further byte can be taken at once (several keys waiting).
    // Standard input never reports this.
    virtual bool waiting() = 0;
};

// The keyboard for one dialogue, chosen as described above.
std::unique_ptr<KeySource> open_keys();

// Bytes of a stream, one at a time (the fallback; tests give their own stream).
std::unique_ptr<KeySource> stream_keys(FILE* f);

enum : int {
    KEY_END = -1,      // end of input
    KEY_ENTER = '\r',
    KEY_BACKSPACE = '\b',
};

// One look at the keyboard. When several keys are waiting (a paste, or a key
// that sends a sequence of codes) all of them are taken at once: `burst` is
// set and `c` is the last of them.
struct Key {
    int c;
    bool burst;
};
Key read_key(KeySource& src);

}  // namespace plat
