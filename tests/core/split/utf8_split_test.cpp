// Pieces of UTF-8 files and names made of a key's characters: the byte
// order mark, names beyond Shift_JIS, names of bytes that are no
// characters, and the order of UTF-8 text beside the same text in
// Shift_JIS.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "system/system_services.h"
#include "core/split/piece_name.h"
#include "core/text/portable_collation.h"
#include "core/table/row_sort.h"
#include "core/split/split_writer.h"
#include "core/text/text_encoding.h"
#include "fake_file_system.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Bytes;
using test::Show;

const CodePage kSjis = CodePage::ShiftJis();
const CodePage kUtf8 = CodePage::Utf8();

void Load(CellTable& table, int32_t columns, const std::vector<std::string>& tokens)
{
    table.ChangeColCount(columns);
    table.LayOutTokens(TokenList::FromStrings(tokens));
}

TEST(Utf8NameOfKey, TheKeysCharactersSafeForAnyFileSystem)
{
    const struct {
        const char* what;
        std::string key;
        const CodePage& codePage;
        std::string name;
    } cases[] = {
        {"Shift_JIS", "東京都", kSjis, u8"東京都"},
        {"Shift_JIS 表 and ソ (second byte 0x5C)", "表ソ", kSjis, u8"表ソ"},
        {"half-width katakana", "ｱｲ", kSjis, u8"ｱｲ"},
        {"refused characters", "a\\b/c:d*e?f\"g<h>i|j", kSjis, "a_b_c_d_e_f_g_h_i_j"},
        {"control bytes", Bytes("a[01]b[1F]c"), kSjis, "a_b_c"},
        {"a lead byte at the end", Bytes("a[82]"), kSjis, "a_"},
        {"an unassigned code", Bytes("[85][40]x"), kSjis, "%85%40x"},
        {"UTF-8 beyond Shift_JIS", "\xF0\xA0\xAE\xB7\xE9\x87\x8E\xE7\x94\xBA", kUtf8,
         "\xF0\xA0\xAE\xB7\xE9\x87\x8E\xE7\x94\xBA"},  // 𠮷野町
        {"UTF-8 髙橋", "\xE9\xAB\x99\xE6\xA9\x8B", kUtf8, "\xE9\xAB\x99\xE6\xA9\x8B"},
        {"emoji", "\xF0\x9F\x8D\x8E", kUtf8, "\xF0\x9F\x8D\x8E"},
        {"UTF-8 refused characters", "a/b\\c", kUtf8, "a_b_c"},
        {"bytes that are no UTF-8", "a\x82\xA0" "b\xE3\x81", kUtf8, "a%82%A0b%E3%81"},
        {"dots and blanks stay inside the name", "x. ", kUtf8, "x. "},
    };
    for (const auto& c : cases) EXPECT_EQ(Show(Utf8NameOfKey(c.key, c.codePage)), Show(c.name)) << c.what;
    EXPECT_EQ(Utf8PieceFileName(u8"C:\\表\\list.csv", "東京", kSjis, PathStyle::Windows()), u8"C:\\表\\list_東京.csv");
    EXPECT_EQ(Utf8PieceFileName(u8"/data/表.v1/list", "x", kSjis, PathStyle::Posix()), u8"/data/表.v1/list_x.csv");
}

struct Utf8Split {
    test::FakeFileSystem fs;
    std::vector<std::string> pieces;
};

std::unique_ptr<Utf8Split> Split(const CellTable& table, int32_t key, const CodePage& codePage, bool mark,
                                 bool header, bool caseInsensitive = false)
{
    auto run = std::make_unique<Utf8Split>();
    run->fs.caseInsensitive = caseInsensitive;
    SplitTarget target{"C:\\d\\t.csv", codePage, PathStyle::Windows(), run->fs};
    target.namesInUtf8 = true;
    SplitOptions options;
    options.byteOrderMark = mark;
    options.headerLine = header;
    SplitState state;
    run->pieces = WriteSplitPieces(table, key, target, nullptr, state, options);
    // The plan says the same paths and sizes.
    const std::vector<PiecePlan> plans = PlanSplitPieces(table, key, target, options);
    EXPECT_EQ(plans.size(), run->pieces.size());
    for (size_t i = 0; i < plans.size() && i < run->pieces.size(); ++i) {
        EXPECT_EQ(plans[i].path, run->pieces[i]);
        if (plans[i].mark == PiecePlan::Mark::kNew) {
            EXPECT_EQ(plans[i].bytes, run->fs.Find(plans[i].path)->size());
        }
    }
    return run;
}

TEST(Utf8Pieces, BeginWithTheMarkWhenTheInputDid)
{
    CellTable table;
    const std::string pref = "\xE9\x83\xBD\xE9\x81\x93\xE5\xBA\x9C\xE7\x9C\x8C";  // 都道府県
    const std::string tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC", yoshino = "\xF0\xA0\xAE\xB7\xE9\x87\x8E";
    Load(table, 2, {"id", pref, "1", tokyo, "2", yoshino, "3", tokyo});
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        bool mark, header;
        std::string tokyoPiece, yoshinoPiece;
    } cases[] = {
        {true, false, bom + "1," + tokyo + "\r\n3," + tokyo + "\r\n", bom + "2," + yoshino + "\r\n"},
        {true, true, bom + "id," + pref + "\r\n1," + tokyo + "\r\n3," + tokyo + "\r\n",
         bom + "id," + pref + "\r\n2," + yoshino + "\r\n"},
        {false, true, "id," + pref + "\r\n1," + tokyo + "\r\n3," + tokyo + "\r\n", "id," + pref + "\r\n2," + yoshino + "\r\n"},
        {false, false, "1," + tokyo + "\r\n3," + tokyo + "\r\n", "2," + yoshino + "\r\n"},
    };
    for (const auto& c : cases) {
        const auto run = Split(table, 1, kUtf8, c.mark, c.header);
        ASSERT_EQ(run->pieces, (std::vector<std::string>{"C:\\d\\t_" + tokyo + ".csv", "C:\\d\\t_" + yoshino + ".csv"}));
        EXPECT_EQ(Show(*run->fs.Find(run->pieces[0])), Show(c.tokyoPiece)) << c.mark << c.header;
        EXPECT_EQ(Show(*run->fs.Find(run->pieces[1])), Show(c.yoshinoPiece)) << c.mark << c.header;
    }
}

TEST(Utf8Pieces, APieceSharingAFileAddsNoSecondMarkOrHeader)
{
    CellTable table;
    Load(table, 2, {"k", "v", "A", "1", "a", "2"});
    const auto run = Split(table, 0, kUtf8, true, true, true);
    EXPECT_EQ(Show(*run->fs.Find("C:\\d\\t_A.csv")), Show("\xEF\xBB\xBFk,v\r\nA,1\r\na,2\r\n"));
}

TEST(Utf8Pieces, ThePathLimitCountsUtf16Units)
{
    // 𠮷 takes 4 bytes and 2 UTF-16 units; 80 of them: 160 units, 320 bytes.
    std::string key;
    for (int i = 0; i < 80; ++i) key += "\xF0\xA0\xAE\xB7";
    CellTable table;
    Load(table, 1, {"k", key});
    test::FakeFileSystem fs;
    SplitTarget target{"C:\\d\\t.csv", kUtf8, PathStyle::Windows(), fs};
    target.namesInUtf8 = true;
    EXPECT_EQ(PlanSplitPieces(table, 0, target)[0].mark, PiecePlan::Mark::kNew);
    for (int i = 0; i < 60; ++i) key += "\xF0\xA0\xAE\xB7";  // 280 units
    Load(table, 1, {"k", key});
    EXPECT_EQ(PlanSplitPieces(table, 0, target)[0].mark, PiecePlan::Mark::kCannot);
}

// ---- The order of UTF-8 text ---------------------------------------------

// Keys made of characters Shift_JIS has, in both encodings.
std::vector<std::string> RandomShiftJisKeys(std::mt19937& rng, size_t count)
{
    static const char* const kCharacters[] = {
        "a", "B", "z", "0", "9", " ", "-", "_", "ｱ", "ｶ", "ﾞ", "ﾟ", "ﾊ", "ｰ", "あ", "が", "ぱ", "ア", "ガ", "ヴ",
        "ー", "東", "京", "亜", "腕", "弌", "熙", "髙", "①", "Ⅰ", "≒", "Ａ", "ｚ", "０", "α", "Я", "＼", "～", "、"};
    std::uniform_int_distribution<size_t> pick(0, std::size(kCharacters) - 1), length(0, 4);
    std::vector<std::string> keys;
    for (size_t i = 0; i < count; ++i) {
        std::string key;
        for (size_t n = length(rng); n > 0; --n) key += kCharacters[pick(rng)];
        keys.push_back(key);
    }
    return keys;
}

// The row order a stable sort gives: the ids of the rows, in order.
std::vector<std::string> SortedIds(const std::vector<std::string>& keys, const Collation& collation)
{
    CellTable table;
    std::vector<std::string> tokens = {"id", "key"};
    for (size_t i = 0; i < keys.size(); ++i) {
        tokens.push_back(std::to_string(i));
        tokens.push_back(keys[i]);
    }
    Load(table, 2, tokens);
    SortDataRows(table, 1, collation);
    std::vector<std::string> ids;
    for (int32_t r = 1; r < table.RowCount(); ++r) ids.emplace_back(table.ReadCell(0, r));
    return ids;
}

TEST(Utf8Order, AsTheSameTextSavedInShiftJis)
{
    std::mt19937 rng(16);
    for (int round = 0; round < 20; ++round) {
        const std::vector<std::string> sjis = RandomShiftJisKeys(rng, 300);
        std::vector<std::string> utf8;
        for (const std::string& key : sjis) utf8.push_back(TextToUtf8(key, kSjis, Unconvertible::kPercentHex));
        ASSERT_EQ(SortedIds(utf8, PortableCollation(kUtf8)), SortedIds(sjis, PortableCollation(kSjis)))
            << "round " << round;
        // The system's (on Windows the user locale's, through the wide
        // functions for UTF-8).
        ASSERT_EQ(SortedIds(utf8, *CollationFor(kUtf8)), SortedIds(sjis, *CollationFor(kSjis))) << "round " << round;
    }
}

TEST(Utf8Order, CharactersBeyondShiftJisComeLastByCodePoint)
{
    const PortableCollation utf8(kUtf8);
    const std::string kanji = "\xE9\xBE\xA0";  // 龠, a level 2 kanji
    const std::string yoshi = "\xF0\xA0\xAE\xB7", emoji = "\xF0\x9F\x8D\x8E", hangul = "\xEA\xB0\x80";
    EXPECT_LT(utf8.CompareKeys(kanji, hangul), 0);
    EXPECT_LT(utf8.CompareKeys(hangul, emoji), 0);
    EXPECT_LT(utf8.CompareKeys(emoji, yoshi), 0);   // U+1F34E before U+20BB7
    EXPECT_LT(utf8.CompareKeys("a" + yoshi, "b"), 0);
    EXPECT_EQ(utf8.CompareKeys("ABC", "abc"), 0);  // case ignored as ever
    EXPECT_NE(utf8.CompareKeys("a\x82", "a\x83"), 0);  // bytes that are no UTF-8 still differ
}

}  // namespace
}  // namespace quorvel
