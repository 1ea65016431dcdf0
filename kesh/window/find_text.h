// The letter-case-blind "contains" test of the filters and searches, with
// the answer of strstr_ (bytes equal once bit 0x20 is set in both) but found
// by skipping ahead on the last byte of each try: a key of k bytes usually
// costs about one step per k bytes of the line instead of one per byte.
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
        const char* k = k_.data();
        const unsigned char* t = (const unsigned char*)text;
        unsigned char last = (unsigned char)k[n - 1];
        for (size_t pos = 0; pos + n <= len;) {
            unsigned char c = (unsigned char)(t[pos + n - 1] | 0x20);
            if (c == last) {
                size_t j = 0;
                while (j + 1 < n && (char)(t[pos + j] | 0x20) == k[j]) j++;
                if (j + 1 == n) return true;
            }
            pos += shift_[c];
        }
        return false;
    }

private:
    std::string k_;  // the key with bit 0x20 set in every byte
    uint8_t shift_[256];
};
