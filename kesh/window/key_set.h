// Many keys tested against a text at once: the keys form a trie, compiled
// into a table of next states with one row per node and one column per
// distinct byte of the keys (letter case folded by setting bit 0x20, or
// exact). A text then costs one step per byte it has (at most), however
// many keys there are, and the answer is the lowest index of a key that
// fits, so "the first parameter that matches" comes out as with a scan of
// the keys in order.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

class KeySet {
public:
    enum Place {
        Anywhere,  // the key occurs in the text
        Start,     // the text begins with the key
        End,       // the text ends with the key
        Whole,     // the text is the key
    };
    static constexpr long kNone = -1;

    // ok() is false when the table would exceed `max_cells` cells; the
    // caller then tries the keys one by one.
    KeySet(const std::vector<std::string_view>& keys, bool fold, Place place, size_t max_cells)
        : place_(place) {
        size_t nodes = 1;
        bool used[256] = {};
        for (std::string_view k : keys) {
            nodes += k.size();
            for (char c : k) used[(unsigned char)(fold ? c | 0x20 : c)] = true;
        }
        uint32_t ids[256] = {};
        size_t ncls = 1;  // class 0: bytes that no key holds
        for (int b = 0; b < 256; b++)
            if (used[b]) ids[b] = (uint32_t)ncls++;
        for (int b = 0; b < 256; b++) cls_[b] = ids[fold ? (b | 0x20) : b];
        // Rows are a power of two wide, so a state is its row's offset and
        // the node behind it is one shift away.
        while ((size_t(1) << shift_) < ncls) shift_++;
        size_t width = size_t(1) << shift_;
        if (nodes > max_cells / width || nodes * width > kMask) return;
        ok_ = true;

        // Built with node numbers, 0 standing for "no edge" (the root is
        // nobody's child); turned into offsets at the end.
        const long none = (long)keys.size();
        next_.assign(width, 0);
        out_.assign(1, none);
        end_of_.resize(keys.size());
        for (size_t q = 0; q < keys.size(); q++) {
            std::string_view k = keys[q];
            uint32_t v = 0;
            for (size_t i = 0; i < k.size(); i++) {
                unsigned char c = (unsigned char)(place == End ? k[k.size() - 1 - i] : k[i]);
                size_t at = ((size_t)v << shift_) + cls_[c];
                if (!next_[at]) {
                    next_[at] = (uint32_t)out_.size();
                    out_.push_back(none);
                    next_.resize(out_.size() << shift_, 0);
                }
                v = next_[at];
            }
            end_of_[q] = v;
            if (out_[v] == none) out_[v] = (long)q;
        }
        size_t count = out_.size();
        if (place == Anywhere) {
            // Breadth first: a missing edge goes where the fallback's edge
            // goes, and each node also answers for the keys that end at its
            // fallbacks.
            fail_.assign(count, 0);
            std::vector<uint32_t> queue;
            queue.reserve(count);
            for (size_t c = 0; c < ncls; c++)
                if (uint32_t u = next_[c]) queue.push_back(u);
            for (size_t h = 0; h < queue.size(); h++) {
                uint32_t v = queue[h];
                for (size_t c = 0; c < ncls; c++) {
                    uint32_t& e = next_[((size_t)v << shift_) + c];
                    uint32_t via = next_[((size_t)fail_[v] << shift_) + c];
                    if (e) {
                        fail_[e] = via;
                        if (out_[via] < out_[e]) out_[e] = out_[via];
                        queue.push_back(e);
                    } else {
                        e = via;
                    }
                }
            }
            for (int b = 0; b < 256; b++) starts_[b] = next_[cls_[b]] != 0;
        }
        for (long& o : out_)
            if (o == none) o = kNone;
        // Node numbers become row offsets; a state where a key fits carries
        // kOut, so the walk looks up the key only there. The root never
        // carries it: an empty key is answered before the walk.
        for (uint32_t& e : next_)
            if (e) e = (e << shift_) | (out_[e] != kNone ? kOut : 0);
    }

    bool ok() const { return ok_; }

    // The lowest index of a key that fits the text of `len` bytes, or kNone.
    // With `any`, any fitting key will do (the scan may stop early).
    long first(const char* text, size_t len, bool any) const {
        const unsigned char* t = (const unsigned char*)text;
        if (place_ == Whole) {
            uint32_t v = 0;
            for (size_t i = 0; i < len; i++)
                if ((v = next_[(v & kMask) + cls_[t[i]]]) == 0) return kNone;
            return out_[(v & kMask) >> shift_];
        }
        long best = out_[0];  // an empty key fits every text
        if (best == 0 || (any && best != kNone)) return best;
        uint32_t v = 0;
        for (size_t i = 0; i < len;) {
            if (v == 0 && place_ == Anywhere) {
                // At the root only a byte that starts a key leads anywhere.
                while (i < len && !starts_[t[i]]) i++;
                if (i == len) break;
            }
            v = next_[v + cls_[place_ == End ? t[len - 1 - i] : t[i]]];
            i++;
            if (v & kOut) {
                v &= kMask;
                long o = out_[v >> shift_];
                if (best == kNone || o < best) {
                    best = o;
                    if (any || best == 0) break;
                }
            } else if (v == 0 && place_ != Anywhere) {
                break;
            }
        }
        return best;
    }

    // Anywhere only: marks in `seen` (one entry per node, all 0 at first)
    // the nodes of every key that occurs in the text. A node seen once had
    // its fallbacks marked then, so each text costs its length plus the
    // nodes it newly reaches.
    void mark(const char* text, size_t len, std::vector<char>& seen) const {
        seen.resize(out_.size(), 0);
        seen[0] = 1;
        const unsigned char* t = (const unsigned char*)text;
        uint32_t v = 0;
        for (size_t i = 0; i < len; i++) {
            v = next_[v + cls_[t[i]]] & kMask;
            for (uint32_t u = v >> shift_; u != 0 && !seen[u]; u = fail_[u]) seen[u] = 1;
        }
    }
    // Whether key q was marked by mark().
    bool marked(size_t q, const std::vector<char>& seen) const {
        return end_of_[q] < seen.size() && seen[end_of_[q]];
    }

private:
    static constexpr uint32_t kOut = 0x80000000u, kMask = kOut - 1;

    Place place_;
    bool ok_ = false;
    uint32_t cls_[256];
    unsigned shift_ = 0;
    bool starts_[256] = {};         // Anywhere: bytes with an edge from the root
    std::vector<uint32_t> next_;    // row offset of the next state, | kOut
    std::vector<long> out_;         // per node: lowest key that fits on reaching it
    std::vector<uint32_t> fail_;    // Anywhere: per node, its fallback node
    std::vector<uint32_t> end_of_;  // per key, the node where it ends
};
