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
        ncls_ = 1;  // class 0: bytes that no key holds
        for (int b = 0; b < 256; b++)
            if (used[b]) ids[b] = (uint32_t)ncls_++;
        for (int b = 0; b < 256; b++) cls_[b] = ids[fold ? (b | 0x20) : b];
        if (nodes > max_cells / ncls_) return;
        ok_ = true;

        // next_[node * ncls_ + class]; 0 stands for "no edge", since the
        // root is nobody's child.
        const long none = (long)keys.size();
        next_.assign(ncls_, 0);
        out_.assign(1, none);
        end_of_.resize(keys.size());
        for (size_t q = 0; q < keys.size(); q++) {
            std::string_view k = keys[q];
            uint32_t v = 0;
            for (size_t i = 0; i < k.size(); i++) {
                unsigned char c = (unsigned char)(place == End ? k[k.size() - 1 - i] : k[i]);
                size_t at = (size_t)v * ncls_ + cls_[c];
                if (!next_[at]) {
                    next_[at] = (uint32_t)out_.size();
                    out_.push_back(none);
                    next_.resize(out_.size() * ncls_, 0);
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
            for (size_t c = 0; c < ncls_; c++)
                if (uint32_t u = next_[c]) queue.push_back(u);
            for (size_t h = 0; h < queue.size(); h++) {
                uint32_t v = queue[h];
                for (size_t c = 0; c < ncls_; c++) {
                    uint32_t& e = next_[(size_t)v * ncls_ + c];
                    uint32_t via = next_[(size_t)fail_[v] * ncls_ + c];
                    if (e) {
                        fail_[e] = via;
                        if (out_[via] < out_[e]) out_[e] = out_[via];
                        queue.push_back(e);
                    } else {
                        e = via;
                    }
                }
            }
        }
        for (long& o : out_)
            if (o == none) o = kNone;
    }

    bool ok() const { return ok_; }

    // The lowest index of a key that fits the text of `len` bytes, or kNone.
    // With `any`, any fitting key will do (the scan may stop early).
    long first(const char* text, size_t len, bool any) const {
        const unsigned char* t = (const unsigned char*)text;
        if (place_ == Whole) {
            uint32_t v = 0;
            for (size_t i = 0; i < len && (v = step(v, t[i])) != 0; i++) {
            }
            return len == 0 || v != 0 ? out_[v] : kNone;
        }
        long best = out_[0];  // an empty key fits every text
        if (best == 0 || (any && best != kNone)) return best;
        uint32_t v = 0;
        for (size_t i = 0; i < len; i++) {
            v = step(v, place_ == End ? t[len - 1 - i] : t[i]);
            if (v == 0 && place_ != Anywhere) break;
            long o = out_[v];
            if (o != kNone && (best == kNone || o < best)) {
                best = o;
                if (any || best == 0) break;
            }
        }
        return best;
    }

    // Anywhere only: marks in `seen` (one entry per node, all false at
    // first) the nodes of every key that occurs in the text. A node seen
    // once had its fallbacks marked then, so each text costs its length
    // plus the keys it newly finds.
    void mark(const char* text, size_t len, std::vector<char>& seen) const {
        seen.resize(out_.size(), 0);
        seen[0] = 1;
        const unsigned char* t = (const unsigned char*)text;
        uint32_t v = 0;
        for (size_t i = 0; i < len; i++) {
            v = step(v, t[i]);
            for (uint32_t u = v; u != 0 && !seen[u]; u = fail_[u]) seen[u] = 1;
        }
    }
    // Whether key q was marked by mark().
    bool marked(size_t q, const std::vector<char>& seen) const {
        return end_of_[q] < seen.size() && seen[end_of_[q]];
    }

private:
    uint32_t step(uint32_t v, unsigned char c) const { return next_[(size_t)v * ncls_ + cls_[c]]; }

    Place place_;
    bool ok_ = false;
    uint32_t cls_[256];
    size_t ncls_ = 1;
    std::vector<uint32_t> next_;
    std::vector<long> out_;        // lowest key that fits on reaching this node
    std::vector<uint32_t> fail_;   // Anywhere: the fallback of each node
    std::vector<uint32_t> end_of_; // the node where each key ends
};
