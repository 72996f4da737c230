// The row sort: the exact order of equal keys, the collation's order, the
// header row, hidden cells, and inputs that would make a plain quicksort
// go quadratic or recurse deeply.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "system/system_services.h"
#include "core/errors.h"
#include "core/table/row_sort.h"
#include "core/interface/collation.h"
#include "core/text/portable_collation.h"
#include "reference/plain_sort.h"

namespace quorvel {
namespace {

// A table of two columns: the key, and the row's number before the sort.
void LoadKeys(CellTable& table, const std::vector<std::string>& keys, const std::string& header = "key")
{
    std::vector<std::string> tokens = {header, "row"};
    for (size_t i = 0; i < keys.size(); ++i) {
        tokens.push_back(keys[i]);
        tokens.push_back(std::to_string(i + 1));
    }
    table.ChangeColCount(2);
    table.LayOutTokens(TokenList::FromStrings(tokens));
}

std::vector<int> RowOrder(const CellTable& table)
{
    std::vector<int> order;
    for (int32_t r = 1; r < table.RowCount(); ++r) order.push_back(std::stoi(std::string(table.ReadCell(1, r))));
    return order;
}

struct SortCase {
    std::vector<std::string> keys;
    std::vector<int> order;
};

const SortCase kSortCases[] = {
    {{"b", "a", "b"}, {2, 3, 1}},
    {{"x", "x"}, {2, 1}},
    {{"x", "x", "x"}, {3, 2, 1}},
    {{"x", "x", "x", "x"}, {3, 4, 1, 2}},
    {{"x", "x", "x", "x", "x"}, {4, 5, 3, 1, 2}},
    {{"b", "A", "a", "B"}, {3, 2, 4, 1}},
    {{"b", "a", "b", "a"}, {4, 2, 1, 3}},
    {{"2", "10", "1"}, {3, 2, 1}},
    {{"", "b", ""}, {3, 1, 2}},
    {{"only"}, {1}},
};

class SortTable : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortTable, NativeCollationGivesTheExactOrder)
{
    CellTable table;
    LoadKeys(table, GetParam().keys);
    SortDataRows(table, 0, NativeCollation());
    EXPECT_EQ(RowOrder(table), GetParam().order);
    EXPECT_EQ(table.ReadCell(0, 0), "key");
    EXPECT_EQ(table.CurrentRow(), 1);
}

TEST_P(SortTable, PortableCollationGivesTheExactOrder)
{
    CellTable table;
    LoadKeys(table, GetParam().keys);
    SortDataRows(table, 0, PortableCollation(CodePage::ShiftJis()));
    EXPECT_EQ(RowOrder(table), GetParam().order);
}

INSTANTIATE_TEST_SUITE_P(Cases, SortTable, ::testing::ValuesIn(kSortCases));

TEST(SortDataRows, HeaderTextPlaysNoPart)
{
    CellTable table;
    LoadKeys(table, {"z", "a"}, "m");
    SortDataRows(table, 0, NativeCollation());
    EXPECT_EQ(table.ReadCell(0, 0), "m");
    EXPECT_EQ(table.ReadCell(0, 1), "a");
    EXPECT_EQ(table.ReadCell(0, 2), "z");
}

TEST(SortDataRows, HeaderOnlyTableRaisesTableIndexErrorAndStaysAsItWas)
{
    CellTable table;
    table.ChangeColCount(2);
    table.LayOutTokens(TokenList::FromStrings({"k", "v"}));
    EXPECT_THROW(SortDataRows(table, 0, NativeCollation()), TableIndexError);
    EXPECT_EQ(table.ReadCell(0, 0), "k");
    EXPECT_EQ(table.RowCount(), 1);
}

TEST(SortDataRows, HiddenCellsTravelWithTheirRow)
{
    CellTable table;
    table.ChangeColCount(3);
    table.LayOutTokens(TokenList::FromStrings({"k", "v", "h", "b", "1", "hidden-b", "a", "2", "hidden-a"}));
    table.ChangeColCount(2);
    SortDataRows(table, 0, NativeCollation());
    table.ChangeColCount(3);
    EXPECT_EQ(table.ReadCell(0, 1), "a");
    EXPECT_EQ(table.ReadCell(2, 1), "hidden-a");
    EXPECT_EQ(table.ReadCell(2, 2), "hidden-b");
}

TEST(SortDataRows, RowsBeyondRowCountAreNotTouched)
{
    CellTable table;
    LoadKeys(table, {"b", "a", "c"});
    table.ChangeRowCount(3);  // row 3 ("c") is hidden
    SortDataRows(table, 0, NativeCollation());
    table.ChangeRowCount(4);
    EXPECT_EQ(RowOrder(table), (std::vector<int>{2, 1, 3}));
}

TEST(SortDataRows, KeyColumnIsThePhysicalPositionAfterAMove)
{
    CellTable table;
    LoadKeys(table, {"b", "a"});
    table.RelocateColumn(0, 1);  // the key column now stands at 1
    SortDataRows(table, 1, NativeCollation());
    EXPECT_EQ(table.ReadCell(1, 1), "a");
    EXPECT_EQ(table.ReadCell(0, 1), "2");
}

std::vector<uint32_t> Identity(size_t n)
{
    std::vector<uint32_t> e(n);
    for (size_t i = 0; i < n; ++i) e[i] = static_cast<uint32_t>(i);
    return e;
}

TEST(SortEntries, MatchesThePlainRecursiveSchemeOnRandomKeys)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        const size_t n = 2 + rng() % 300;
        const int distinct = 1 + static_cast<int>(rng() % 20);
        std::vector<int> keys(n);
        for (int& k : keys) k = static_cast<int>(rng() % static_cast<unsigned>(distinct));
        const EntryCompare compare = [&](uint32_t a, uint32_t b) { return keys[a] - keys[b]; };
        std::vector<uint32_t> fast = Identity(n), plain = Identity(n);
        SortEntries(fast, 0, static_cast<int64_t>(n) - 1, compare);
        reference::PlainSortEntries(plain, 0, static_cast<int64_t>(n) - 1, compare);
        ASSERT_EQ(fast, plain) << "round " << round;
    }
}

// Sorts entries by `keys` and checks the result: in order, a permutation,
// and found in n log n comparisons.
void ExpectSortedShallow(const std::vector<int>& keys, const char* shape)
{
    const size_t n = keys.size();
    long long comparisons = 0;
    const EntryCompare compare = [&](uint32_t a, uint32_t b) {
        ++comparisons;
        return keys[a] < keys[b] ? -1 : (keys[a] > keys[b] ? 1 : 0);
    };
    std::vector<uint32_t> e = Identity(n);
    SortEntries(e, 0, static_cast<int64_t>(n) - 1, compare);
    for (size_t i = 1; i < n; ++i) ASSERT_LE(keys[e[i - 1]], keys[e[i]]) << shape;
    std::vector<uint32_t> sorted = e;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, Identity(n)) << shape << ": not a permutation";
    EXPECT_LT(comparisons, 200LL * static_cast<long long>(n)) << shape;
}

// Orders that drive a middle-pivot quicksort deep: the sort must still
// finish in n log n and give a sorted permutation.
TEST(SortEntries, AdversarialOrdersStaySortedAndShallow)
{
    const size_t n = 200000;
    const std::vector<std::pair<const char*, std::function<int(size_t)>>> shapes = {
        {"organ pipe", [&](size_t i) { return static_cast<int>(i < n / 2 ? i : n - i); }},
        {"sawtooth", [](size_t i) { return static_cast<int>(i % 1000); }},
        {"descending", [&](size_t i) { return static_cast<int>(n - i); }},
        {"all equal", [](size_t) { return 0; }},
    };
    for (const auto& shape : shapes) {
        std::vector<int> keys(n);
        for (size_t i = 0; i < n; ++i) keys[i] = shape.second(i);
        ExpectSortedShallow(keys, shape.first);
    }
}

// The classic killer of the middle pivot: keys placed so that each pass
// would pick the smallest remaining one.
TEST(SortEntries, MedianKillerFallsBackToHeapSort)
{
    const size_t n = 100000;
    std::vector<int> keys(n);
    std::vector<uint32_t> position = Identity(n);
    for (size_t step = 0, L = 0; L < n; ++step, ++L) {
        const size_t P = (L + n - 1) / 2;
        keys[position[P]] = static_cast<int>(step);
        std::swap(position[P], position[L]);
    }
    ExpectSortedShallow(keys, "median killer");
}

TEST(SortDataRows, AMillionRowsOfFewKeysSortCorrectly)
{
    CellTable table;
    std::vector<std::string> tokens = {"pref", "id"};
    std::mt19937 rng(3);
    const char* prefectures[] = {"東京都", "大阪府", "北海道", "沖縄県", "愛知県"};
    const size_t rows = 200000;
    for (size_t i = 0; i < rows; ++i) {
        tokens.emplace_back(prefectures[rng() % 5]);
        tokens.push_back(std::to_string(i));
    }
    table.ChangeColCount(2);
    table.LayOutTokens(TokenList::FromStrings(tokens));
    const Collation& collation = NativeCollation();
    SortDataRows(table, 0, collation);
    for (int32_t r = 2; r < table.RowCount(); ++r)
        ASSERT_LE(collation.CompareKeys(table.ReadCell(0, r - 1), table.ReadCell(0, r)), 0) << r;
}

// Sorting by ranks of the distinct keys gives the order of comparing the
// texts themselves, ties between keys that differ only in case included.
TEST(SortDataRows, ByRanksInTheOrderOfThePlainComparisonSort)
{
    const CodePage sjis = CodePage::ShiftJis();
    const auto collation = CollationFor(sjis);
    const std::vector<std::string> alphabet = {"a", "A", "b", "B", "", "10", "2", "ア", "あ", "ｱ", "東京", "ab", "Ab"};
    std::mt19937 rng(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::string> keys(2 + rng() % 200);
        for (std::string& k : keys) k = alphabet[rng() % alphabet.size()];
        CellTable table;
        reference::LayOutKeys(table, keys);
        SortDataRows(table, 0, *collation);
        ASSERT_EQ(reference::RowIndexes(table), reference::PlainRowOrder(keys, *collation)) << "round " << round;
    }
}

}  // namespace
}  // namespace quorvel