// What the key sources share: the stream fallback and the reading of one
// key over the primitives.
#include "platform/console.h"

namespace plat {

namespace {

class StreamKeys : public KeySource {
public:
    explicit StreamKeys(FILE* f) : f_(f) {}
    int get() override {
        int c = getc(f_);
        if (c == '\r') {
            // CR LF is one Enter. The LF is taken now rather than on the next
            // call, so a later dialogue on the same stream (another menu, the
            // line prompt) starts on the following line.
            int d = getc(f_);
            if (d != '\n' && d != EOF) ungetc(d, f_);
        }
        return c == EOF ? -1 : c;
    }
    bool waiting() override { return false; }

private:
    FILE* f_;
};

int normal(int c) {
    if (c == '\n') return KEY_ENTER;
    if (c == 0x7F) return KEY_BACKSPACE;
    return c;
}

}  // namespace

std::unique_ptr<KeySource> stream_keys(FILE* f) { return std::make_unique<StreamKeys>(f); }

Key read_key(KeySource& src) {
    int c = src.get();
    if (c < 0) return {KEY_END, false};
    if (!src.waiting()) return {normal(c), false};
    while (src.waiting()) {
        int d = src.get();
        if (d < 0) break;
        c = d;
    }
    return {normal(c), true};
}

}  // namespace plat
