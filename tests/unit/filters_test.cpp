// The fast paths of the filters against plain models: the skipping
// contains test against strstr_, the key sets against a scan of their keys,
// and -eR with many parameters (sorted keys) against a parameter-by-parameter
// scan of the window.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/strings.h"
#include "kesh/ops.h"
#include "kesh/window/find_text.h"
#include "kesh/window/key_set.h"

namespace {

std::string random_text(std::mt19937& rng, const char* alphabet, size_t maxlen) {
    size_t n = rng() % (maxlen + 1), k = strlen(alphabet);
    std::string s;
    for (size_t i = 0; i < n; i++) s += alphabet[rng() % k];
    return s;
}

TEST(FoldedKey, AgreesWithStrstrFolded) {
    std::mt19937 rng(7);
    // Letters of both cases, and bytes that fold onto each other without
    // being letters ('@' and '`', '[' and '{') or not at all ('\x80').
    const char* alphabet = "aAbB@`[{\x80\xa0";
    for (int round = 0; round < 20000; round++) {
        std::string text = random_text(rng, alphabet, 40), key = random_text(rng, alphabet, 1 + round % 20);
        FoldedKey fk(key.c_str());
        bool want = strstr_(text.c_str(), key.c_str()) != nullptr;
        ASSERT_EQ(fk.in(text.c_str(), text.size()), want) << "text '" << text << "' key '" << key << "'";
    }
}

TEST(FoldedKey, LongKeysAndRepeats) {
    std::string key(300, 'x');
    key += "Y";
    std::string text = std::string(1000, 'X') + "y";
    EXPECT_TRUE(FoldedKey(key.c_str()).in(text.c_str(), text.size()));
    text.back() = 'z';
    EXPECT_FALSE(FoldedKey(key.c_str()).in(text.c_str(), text.size()));
    EXPECT_TRUE(FoldedKey("").in("", 0));
    EXPECT_FALSE(FoldedKey("a").in("", 0));
}

// The plain answer of one key: the tests of the filters, written out.
bool fits(const std::string& text, const std::string& key, bool fold, KeySet::Place place) {
    if (place == KeySet::Anywhere) return fold ? strstr_(text.c_str(), key.c_str()) != nullptr : text.find(key) != std::string::npos;
    if (place == KeySet::Whole) return fold ? strcmp_(text.c_str(), key.c_str()) == 0 : text == key;
    if (text.size() < key.size()) return false;
    size_t at = place == KeySet::Start ? 0 : text.size() - key.size();
    return fold ? strncmp_(text.c_str() + at, key.c_str(), key.size()) == 0 : text.compare(at, key.size(), key) == 0;
}

TEST(KeySet, FindsTheLowestKeyAsAScanOfTheKeysWould) {
    std::mt19937 rng(5);
    const char* alphabet = "aAbB@`\x80";
    for (int round = 0; round < 4000; round++) {
        bool fold = round % 2 == 0;
        auto place = (KeySet::Place)(round / 2 % 4);
        std::vector<std::string> keys;
        size_t nk = 1 + rng() % 6;
        for (size_t q = 0; q < nk; q++) keys.push_back(random_text(rng, alphabet, 3));
        std::vector<std::string_view> views(keys.begin(), keys.end());
        KeySet set(views, fold, place, 1 << 20);
        ASSERT_TRUE(set.ok());
        for (int t = 0; t < 10; t++) {
            std::string text = random_text(rng, alphabet, place == KeySet::Whole ? 3 : 10);
            long want = -1;
            for (size_t q = 0; q < nk && want < 0; q++)
                if (fits(text, keys[q], fold, place)) want = (long)q;
            ASSERT_EQ(set.first(text.data(), text.size(), false), want)
                << "text '" << text << "' place " << place << " fold " << fold;
            ASSERT_EQ(set.first(text.data(), text.size(), true) >= 0, want >= 0);
        }
    }
}

TEST(KeySet, MarksEveryKeyFoundInSeveralTexts) {
    std::mt19937 rng(9);
    const char* alphabet = "aAbc";
    for (int round = 0; round < 1000; round++) {
        std::vector<std::string> keys, texts;
        for (size_t q = 0; q < 1 + rng() % 8; q++) keys.push_back(random_text(rng, alphabet, 3));
        for (size_t t = 0; t < rng() % 4; t++) texts.push_back(random_text(rng, alphabet, 8));
        std::vector<std::string_view> views(keys.begin(), keys.end());
        KeySet set(views, true, KeySet::Anywhere, 1 << 20);
        std::vector<char> seen;
        for (auto& t : texts) set.mark(t.data(), t.size(), seen);
        for (size_t q = 0; q < keys.size(); q++) {
            bool want = false;
            for (auto& t : texts) want = want || strstr_(t.c_str(), keys[q].c_str());
            ASSERT_EQ(set.marked(q, seen), want) << "key '" << keys[q] << "' round " << round;
        }
    }
}

TEST(KeySet, DeclinesATableAboveTheLimit) {
    std::vector<std::string_view> keys = {"abcdefgh", "ijklmnop"};
    EXPECT_FALSE(KeySet(keys, true, KeySet::Anywhere, 100).ok());
    EXPECT_TRUE(KeySet(keys, true, KeySet::Anywhere, 1000).ok());
}

// Runs one operation on a work list that is all window.
std::vector<std::string> run_op(const std::vector<std::string>& window, const std::vector<std::string>& params,
                                const char* word) {
    Run r;
    for (const std::string& s : window) r.Hf.push_back(dup_text(s));
    r.eHf = r.Hf.size();
    r.Argv.push_back(word);
    for (const std::string& p : params) r.Argv.push_back(dup_text(p));
    Op o{word, 0, r.Argv.size()};
    op_e(r, o);
    EXPECT_EQ(r.aHf, 0u);
    EXPECT_EQ(r.eHf, r.anzHf());
    return std::vector<std::string>(r.Hf.begin(), r.Hf.end());
}

std::vector<std::string> replace_or_append_model(std::vector<std::string> w, const std::vector<std::string>& params,
                                                 char sep) {
    for (const std::string& p : params) {
        size_t cut = p.find(sep);
        std::string key = p.substr(0, cut);
        size_t k = 0;
        while (k < w.size() && w[k].compare(0, key.size(), key) != 0) k++;
        if (k < w.size())
            w[k] = p;
        else
            w.push_back(p);
    }
    return w;
}

TEST(ReplaceOrAppend, ManyParametersAgreeWithTheScan) {
    std::mt19937 rng(11);
    for (int round = 0; round < 400; round++) {
        std::vector<std::string> window, params;
        size_t nw = rng() % 30, np = 1 + rng() % 40;  // both sides of the switch to sorted keys
        for (size_t k = 0; k < nw; k++) window.push_back(random_text(rng, "abA=", 5));
        for (size_t k = 0; k < np; k++) params.push_back(random_text(rng, "abA=", 5));
        ASSERT_EQ(run_op(window, params, "-eR="), replace_or_append_model(window, params, '='))
            << "round " << round;
    }
}

}  // namespace
