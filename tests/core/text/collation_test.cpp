// Collations: the portable order's promises, and on Windows that sort keys
// order exactly as CompareStringA does.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/interface/collation.h"
#include "system/system_services.h"
#include "core/text/portable_collation.h"
#include "test_support.h"

namespace quorvel {
namespace {

int Sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Texts drawn from kana, kanji, full-width and half-width Latin, half-width
// katakana, digits, blanks and punctuation, the empty text among them.
std::vector<std::string> VariedCorpus(size_t count, unsigned seed)
{
    static const char* const kPieces[] = {
        "a", "A", "b", "B", "z", "Z", "0", "1", "9", "10", "2", " ", "-", "_", ".", ",", "!", "~",
        "ａ", "Ａ", "ｂ", "Ｂ", "０", "１", "９", "あ", "い", "か", "が", "ぱ", "ん", "ア", "カ", "ガ", "ン",
        "ヴ", "ｱ", "ｶ", "ｶﾞ", "ﾊﾟ", "ｰ", "ー", "東", "京", "表", "能", "日", "本", "（", "）", "・", "　",
        "α", "Α", "Я", "я", "①", "﨑",
    };
    std::mt19937 rng(seed);
    std::vector<std::string> corpus = {""};
    while (corpus.size() < count) {
        std::string text;
        const size_t length = 1 + rng() % 4;
        for (size_t i = 0; i < length; ++i) text += kPieces[rng() % (sizeof kPieces / sizeof *kPieces)];
        corpus.push_back(text);
    }
    return corpus;
}

TEST(PortableCollation, OrdersAsPromised)
{
    const PortableCollation c(CodePage::ShiftJis());
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"a", "A", 0},       {"abc", "ABC", 0},    {"ａ", "Ａ", 0},    {"a", "b", -1},
        {"B", "a", 1},       {"Z", "ａ", 1},       {"10", "2", -1},    {"1", "10", -1},
        {"", "a", -1},       {"", "", 0},          {"", "0", -1},      {"9", "a", -1},
        {"a", "ａ", -1},     {"ａ", "b", -1},      {"１", "2", -1},    {"あ", "い", -1},
        {"あ", "ア", -1},    {"ア", "ｱ", -1},      {"ｱ", "い", -1},    {"か", "が", -1},
        {"が", "き", -1},    {"ｶﾞ", "ガ", 1},      {"ｶﾞ", "き", -1},   {"ん", "東", -1},
        {"亜", "東", -1},    {"z", "あ", -1},      {"!", "0", -1},     {"ab", "abc", -1},
        {"a b", "ab", -1},   {"A", "a ", -1},
    };
    for (const auto& t : cases) {
        EXPECT_EQ(Sign(c.CompareKeys(t.a, t.b)), t.sign) << test::Show(t.a) << " vs " << test::Show(t.b);
        EXPECT_EQ(Sign(c.CompareKeys(t.b, t.a)), -t.sign) << test::Show(t.b) << " vs " << test::Show(t.a);
    }
}

TEST(PortableCollation, IsATotalOrderThatOnlyIgnoresCase)
{
    const PortableCollation c(CodePage::ShiftJis());
    std::vector<std::string> corpus = VariedCorpus(600, 11);
    std::sort(corpus.begin(), corpus.end(),
              [&](const std::string& a, const std::string& b) { return c.CompareKeys(a, b) < 0; });
    for (size_t i = 0; i + 1 < corpus.size(); ++i) {
        for (size_t j = i + 1; j < std::min(corpus.size(), i + 40); ++j) {
            const int sign = Sign(c.CompareKeys(corpus[i], corpus[j]));
            ASSERT_LE(sign, 0) << "not transitive at " << test::Show(corpus[i]) << " / " << test::Show(corpus[j]);
            if (sign == 0) {
                // Equal only when the texts are the same but for the case of
                // Latin letters.
                std::string a = corpus[i], b = corpus[j];
                auto fold = [](std::string& s) {
                    for (size_t k = 0; k < s.size(); ++k) {
                        const auto u = static_cast<unsigned char>(s[k]);
                        if (CodePage::ShiftJis().IsLeadByte(u) && k + 1 < s.size()) {
                            if (u == 0x82 && static_cast<unsigned char>(s[k + 1]) >= 0x60 &&
                                static_cast<unsigned char>(s[k + 1]) <= 0x79)
                                s[k + 1] = static_cast<char>(s[k + 1] + 0x21);
                            ++k;
                        } else if (u >= 'A' && u <= 'Z') {
                            s[k] = static_cast<char>(u + 32);
                        }
                    }
                };
                fold(a);
                fold(b);
                EXPECT_EQ(a, b) << test::Show(corpus[i]) << " == " << test::Show(corpus[j]);
            }
        }
    }
}

TEST(PortableCollation, SingleByteCodePageFoldsAsciiOnly)
{
    const PortableCollation c(CodePage(1252));
    EXPECT_EQ(c.CompareKeys("Abc", "aBC"), 0);
    EXPECT_LT(c.CompareKeys("abc", "abd"), 0);
    EXPECT_GT(c.CompareKeys("\xE9", "z"), 0);
}

// Whatever the platform's collation, its sort keys must order the texts
// exactly as its comparison does; the sort relies on it.
TEST(NativeCollation, SortKeysAgreeWithCompareKeys)
{
    const Collation& c = NativeCollation();
    const std::vector<std::string> corpus = VariedCorpus(400, 5);
    std::vector<std::string> keys(corpus.size());
    for (size_t i = 0; i < corpus.size(); ++i) ASSERT_TRUE(c.AppendSortKey(corpus[i], keys[i])) << test::Show(corpus[i]);
    std::mt19937 rng(99);
    int disagreements = 0;
    for (int n = 0; n < 20000; ++n) {
        const size_t i = rng() % corpus.size(), j = rng() % corpus.size();
        const int direct = c.CompareKeys(corpus[i], corpus[j]);
        ASSERT_NE(direct, -2) << "the comparison failed";
        if (Sign(direct) != Sign(CompareSortKeys(keys[i], keys[j]))) {
            if (++disagreements <= 5)
                ADD_FAILURE() << test::Show(corpus[i]) << " vs " << test::Show(corpus[j]) << ": compare "
                              << direct << ", keys " << CompareSortKeys(keys[i], keys[j]);
        }
    }
    EXPECT_EQ(disagreements, 0);
    // Equal texts but for case have equal keys.
    std::string lower, upper;
    c.AppendSortKey("abc", lower);
    c.AppendSortKey("ABC", upper);
    EXPECT_EQ(lower, upper);
}

}  // namespace
}  // namespace quorvel
