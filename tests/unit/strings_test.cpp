#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/strings.h"

namespace {

TEST(Strings, FoldedComparison) {
    struct {
        const char *a, *b;
        int want;
    } cases[] = {
        {"Abc", "aBC", 0},   {"abc", "abd", -1},  {"_x", "zz", 1},     {"@", "`", 0},
        {"abc", "abc ", -1}, {"abc ", "abc", 1},  {"abc", "abc!", -1}, {"abc!", "abcd", -1},
        {"abc\xE4", "abc", -1}, {"\t", ")", 0},   {"[", "{", 0},       {"", "", 0},
        {"", " ", -1},       {"a", "", 1},        {"\x80", "a", -1},
    };
    for (auto& c : cases) EXPECT_EQ(strcmp_(c.a, c.b), c.want) << c.a << " vs " << c.b;
}

TEST(Strings, PrefixComparisonAndSearch) {
    EXPECT_EQ(strncmp_("ABCdef", "abc", 3), 0);
    EXPECT_EQ(strncmp_("ab", "abc", 3), -1);
    EXPECT_EQ(strncmp_("abc", "ab", 3), 1);
    EXPECT_EQ(strncmp_("x", "y", 0), 0);
    const char* t = "Hello World";
    EXPECT_EQ(strstr_(t, "WORLD"), t + 6);
    EXPECT_EQ(strstr_(t, ""), t);
    EXPECT_EQ(strstr_("ab", "abc"), nullptr);
    EXPECT_EQ(strstr_("a)b", "\t"), strstr("a)b", ")"));  // tab folds to ')'
}

// The partition scheme as it is written down, step for step.
void literal_quicksort(const char** t, long long lo, long long hi) {
    while (lo < hi) {
        const char* pivot = t[hi];
        long long i = lo, j = hi;
        for (;;) {
            while (strcmp_(t[i], pivot) < 0) i++;
            do
                j--;
            while (strcmp_(t[j], pivot) > 0 && i < j);
            if (i >= j) break;
            std::swap(t[i], t[j]);
            i++;
        }
        std::swap(t[i], t[hi]);
        literal_quicksort(t, lo, i - 1);
        lo = i + 1;
    }
}

TEST(Quicksort, TiesKeepTheSchemesOrder) {
    const char* t[] = {"b", "a", "B", "A"};
    quicksort(t, 0, 3);
    EXPECT_STREQ(t[0], "a");
    EXPECT_STREQ(t[1], "A");
    EXPECT_STREQ(t[2], "b");
    EXPECT_STREQ(t[3], "B");
    const char* one[] = {"z", "y"};
    quicksort(one, 1, 1);
    quicksort(one, 0, -1);
    EXPECT_STREQ(one[0], "z");
}

// Many small arrays full of ties (the same letter in either case, so equal
// texts are told apart by pointer), in random and in ordered shapes; both
// the plain and the tree-accelerated partitions must give the literal
// scheme's order.
TEST(Quicksort, MatchesTheLiteralSchemeOnRandomArraysWithTies) {
    static const char* pool[] = {"a", "A", "b", "B", "c", "C", "d", "D", "ab", "AB", "aB", "Ab"};
    std::mt19937 rng(12345);
    for (int round = 0; round < 4000; round++) {
        int n = (int)(rng() % 70);
        int distinct = 1 + (int)(rng() % 12);
        std::vector<const char*> v(n);
        for (auto& x : v) x = pool[rng() % distinct];
        switch (round % 4) {
        case 1: std::sort(v.begin(), v.end(), [](auto a, auto b) { return strcmp_(a, b) < 0; }); break;
        case 2: std::sort(v.begin(), v.end(), [](auto a, auto b) { return strcmp_(a, b) > 0; }); break;
        case 3:  // organ pipe
            std::sort(v.begin(), v.end(), [](auto a, auto b) { return strcmp_(a, b) < 0; });
            std::reverse(v.begin() + n / 2, v.end());
            break;
        }
        auto want = v, plain = v, tree = v;
        literal_quicksort(want.data(), 0, n - 1);
        quicksort(plain.data(), 0, n - 1);
        sort_detail::quicksort_indexed(tree.data(), 0, n - 1);
        ASSERT_EQ(plain, want) << "round " << round;
        ASSERT_EQ(tree, want) << "round " << round;
    }
}

// Larger ordered inputs, where the plain scheme degrades: the switch between
// plain and tree partitions must still give the same order.
TEST(Quicksort, MatchesTheLiteralSchemeOnLargeOrderedInputs) {
    std::vector<std::string> texts;
    for (int k = 0; k < 3000; k++) texts.push_back((k % 2 ? "k" : "K") + std::to_string(k % 700));
    std::vector<const char*> base;
    for (auto& s : texts) base.push_back(s.c_str());
    auto less = [](auto a, auto b) { return strcmp_(a, b) < 0; };
    std::vector<std::vector<const char*>> shapes;
    auto sorted = base;
    std::stable_sort(sorted.begin(), sorted.end(), less);
    shapes.push_back(sorted);
    shapes.push_back(std::vector<const char*>(sorted.rbegin(), sorted.rend()));
    auto pipe = sorted;
    std::reverse(pipe.begin() + 1500, pipe.end());
    shapes.push_back(pipe);
    shapes.push_back(base);
    for (auto& v : shapes) {
        auto want = v, got = v;
        literal_quicksort(want.data(), 0, (long long)want.size() - 1);
        quicksort(got.data(), 0, (long long)got.size() - 1);
        ASSERT_EQ(got, want);
    }
}

}  // namespace
