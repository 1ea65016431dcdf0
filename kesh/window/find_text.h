// The letter-case-blind "contains" test of the filters and searches, with
// the answer of strstr_ (bytes equal once bit 0x20 is set in both) but found
// faster: a short key tests eight places of the line per step, a long one
// skips ahead on the last byte of each try, about one step per key length.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

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
