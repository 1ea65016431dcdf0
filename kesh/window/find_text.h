// The letter-case-blind "contains" test of the filters and searches, with
// the answer of strstr_ (bytes equal once bit 0x20 is set in both) but found
// by skipping ahead on the last byte of each try: a key of k bytes usually
// costs about one step per k bytes of the line instead of one per byte.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class FoldedKey {
public:
    explicit FoldedKey(const char* key) : k_(key) {
        size_t n = k_.size();
        for (char& c : k_) c = (char)(c | 0x20);
        // Shifts above 255 are cut to 255: a smaller skip is always safe.
        uint8_t whole = n < 255 ? (uint8_t)n : 255;
        memset(shift_, whole, sizeof shift_);
        for (size_t i = 0; i + 1 < n; i++) {
            size_t s = n - 1 - i;
            shift_[(unsigned char)k_[i]] = s < 255 ? (uint8_t)s : 255;
        }
    }

    size_t size() const { return k_.size(); }

    // Whether the key occurs in the text of `len` bytes.
    bool in(const char* text, size_t len) const {
        size_t n = k_.size();
        if (n == 0) return true;
        if (n > len) return false;
        if (n <= 16) return in_short(text, len);
        const char* k = k_.data();
        const unsigned char* t = (const unsigned char*)text;
        unsigned char last = (unsigned char)k[n - 1];
        for (size_t pos = 0; pos + n <= len;) {
            unsigned char c = (unsigned char)(t[pos + n - 1] | 0x20);
            if (c == last && rest_at(text + pos)) return true;
            pos += shift_[c];
        }
        return false;
    }

private:
    // Whether the key stands at `at`, its last byte already known to fit.
    bool rest_at(const char* at) const {
        size_t j = 0, n = k_.size();
        while (j + 1 < n && (char)(at[j] | 0x20) == k_[j]) j++;
        return j + 1 == n;
    }

    // Short keys: eight places at a time, each tested for the key's first
    // and last byte at once; only places passing both are compared in full.
    bool in_short(const char* text, size_t len) const {
        const uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
        size_t n = k_.size();
        const uint64_t first = ones * (unsigned char)k_[0], last = ones * (unsigned char)k_[n - 1];
        const uint64_t fold = ones * 0x20;
        size_t pos = 0;
        for (; pos + n - 1 + 8 <= len; pos += 8) {
            uint64_t a, b;
            memcpy(&a, text + pos, 8);
            memcpy(&b, text + pos + n - 1, 8);
            a = (a | fold) ^ first;
            b = (b | fold) ^ last;
            // A byte of 0 in both marks a candidate place; the borrow can
            // mark a few more, never fewer.
            uint64_t hit = (a - ones) & ~a & (b - ones) & ~b & highs;
            if (!hit) continue;
            for (size_t i = pos; i < pos + 8; i++)
                if ((char)(text[i + n - 1] | 0x20) == k_[n - 1] && rest_at(text + i)) return true;
        }
        for (; pos + n <= len; pos++)
            if ((char)(text[pos + n - 1] | 0x20) == k_[n - 1] && rest_at(text + pos)) return true;
        return false;
    }

    std::string k_;  // the key with bit 0x20 set in every byte
    uint8_t shift_[256];
};

// Many keys at once, with the same folding: a trie of the keys with fallback
// links, compiled into a table of next states, walked once per text. The
// cost per text is its length, however many keys there are. The table has
// one row per trie node and one column per distinct folded byte of the
// keys; ok() is false when that would exceed `max_cells`, and the caller
// then tries the keys one by one.
class FoldedKeySet {
public:
    static constexpr long kNone = -1;

    FoldedKeySet(const std::vector<const char*>& keys, size_t max_cells) {
        const long none = (long)keys.size();
        long empty_key = none;
        size_t nodes = 1;
        memset(cls_, 0, sizeof cls_);
        ncls_ = 1;  // class 0: bytes no key holds
        for (size_t q = 0; q < keys.size(); q++) {
            size_t n = strlen(keys[q]);
            if (n == 0 && empty_key == none) empty_key = (long)q;
            nodes += n;
            for (size_t i = 0; i < n; i++) {
                unsigned char f = (unsigned char)(keys[q][i] | 0x20);
                if (!cls_[f]) cls_[f] = ncls_++;
            }
        }
        for (int b = 0; b < 256; b++) cls_[b] = cls_[(unsigned char)(b | 0x20)];
        if (nodes > max_cells / ncls_) return;
        ok_ = true;
        empty_key_ = empty_key == none ? kNone : empty_key;

        // The trie: next_[node * ncls_ + class], 0 standing for "no edge yet"
        // (the root is never a child).
        next_.assign(ncls_, 0);
        out_.assign(1, none);
        size_t count = 1;
        for (size_t q = 0; q < keys.size(); q++) {
            uint32_t v = 0;
            for (const char* k = keys[q]; *k; k++) {
                uint32_t& e = next_[(size_t)v * ncls_ + cls_[(unsigned char)*k]];
                if (!e) {
                    e = (uint32_t)count++;
                    next_.resize(count * ncls_, 0);
                    out_.push_back(none);
                }
                v = next_[(size_t)v * ncls_ + cls_[(unsigned char)*k]];
            }
            if (keys[q][0] && out_[v] == none) out_[v] = (long)q;
        }
        // Breadth first: a missing edge goes where the fallback's edge goes,
        // and each node also reports the lowest key ending at its fallback.
        std::vector<uint32_t> fail(count, 0), queue;
        queue.reserve(count);
        for (size_t c = 0; c < ncls_; c++)
            if (uint32_t u = next_[c]) queue.push_back(u);
        for (size_t h = 0; h < queue.size(); h++) {
            uint32_t v = queue[h];
            for (size_t c = 0; c < ncls_; c++) {
                uint32_t& e = next_[(size_t)v * ncls_ + c];
                uint32_t via = next_[(size_t)fail[v] * ncls_ + c];
                if (e) {
                    fail[e] = via;
                    if (out_[via] < out_[e]) out_[e] = out_[via];
                    queue.push_back(e);
                } else {
                    e = via;
                }
            }
        }
        for (long& o : out_)
            if (o == none) o = kNone;
    }

    bool ok() const { return ok_; }

    // The lowest index of a key that occurs in the text, or kNone. With
    // `any`, the first key found is enough.
    long first(const char* text, bool any) const {
        long best = empty_key_;
        if (best == 0 || (any && best != kNone)) return best;
        uint32_t v = 0;
        for (const unsigned char* t = (const unsigned char*)text; *t; t++) {
            v = next_[(size_t)v * ncls_ + cls_[*t]];
            long o = out_[v];
            if (o != kNone && (best == kNone || o < best)) {
                best = o;
                if (any || best == 0) return best;
            }
        }
        return best;
    }

private:
    bool ok_ = false;
    long empty_key_ = kNone;
    uint32_t cls_[256];
    size_t ncls_;
    std::vector<uint32_t> next_;
    std::vector<long> out_;  // lowest key ending here or at a fallback
};
