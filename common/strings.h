// Case-insensitive comparison, search and sorting of texts. Folding sets bit
// 0x20 of every byte and compares the results as signed bytes, so letters of
// either case are equal but so are a few punctuation pairs, and bytes from
// 0x80 up sort before all ASCII. Lines sorted or matched by kesh follow these
// rules exactly.
#pragma once
#include <cstddef>

int strcmp_(const char* a, const char* b);
int strncmp_(const char* a, const char* b, size_t n);
const char* strstr_(const char* text, const char* key);

// Sorts table[lo..hi] (both inclusive) ascending by strcmp_, moving pointers
// only. Texts that compare equal end in exactly the order that the classic
// last-element-pivot partition produces; the work is n log n on ordered and
// other unlucky inputs all the same.
void quicksort(const char** table, long long lo, long long hi);

namespace sort_detail {
// The same sort with the accelerated partition forced on (for tests).
void quicksort_indexed(const char** table, long long lo, long long hi);
}  // namespace sort_detail
