// The table store: layout, column and row counts, column moves, row
// selection and the load limits.
#include <gtest/gtest.h>

#include "core/table/cell_table.h"
#include "core/errors.h"

namespace quorvel {
namespace {

TokenList Letters(char first, char last)
{
    std::vector<std::string> tokens;
    for (char c = first; c <= last; ++c) tokens.emplace_back(1, c);
    return TokenList::FromStrings(tokens);
}

// Row `row` as its ColCount cells joined by spaces, empty cells as "_".
std::string RowText(const CellTable& table, int32_t row)
{
    std::string out;
    for (int32_t c = 0; c < table.ColCount(); ++c) {
        if (c) out += ' ';
        const std::string_view cell = table.ReadCell(c, row);
        out += cell.empty() ? std::string("_") : std::string(cell);
    }
    return out;
}

TEST(CellTable, StartsAsFiveColumnsTwoRowsOneFixed)
{
    CellTable table;
    EXPECT_EQ(table.ColCount(), 5);
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.FixedRows(), 1);
    EXPECT_EQ(table.CurrentRow(), 1);
    EXPECT_EQ(RowText(table, 0), "_ _ _ _ _");
}

TEST(CellTable, LayOutTokensFillsRowsOfColCount)
{
    const struct {
        char last;
        int32_t rows;
        std::vector<std::string> text;
    } cases[] = {
        {'j', 2, {"a b c d e", "f g h i j"}},
        {'k', 3, {"a b c d e", "f g h i j", "k _ _ _ _"}},
        {'c', 1, {"a b c _ _"}},
    };
    for (const auto& c : cases) {
        CellTable table;
        table.LayOutTokens(Letters('a', c.last));
        ASSERT_EQ(table.RowCount(), c.rows) << c.last;
        for (int32_t r = 0; r < c.rows; ++r) EXPECT_EQ(RowText(table, r), c.text[static_cast<size_t>(r)]);
    }
}

TEST(CellTable, ALoadEmptiesTheStoreFirst)
{
    CellTable table;
    table.LayOutTokens(Letters('a', 'j'));
    table.LayOutTokens(TokenList::FromStrings({"p", "q", "r", "s", "t", "u", "v", "w"}));
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(RowText(table, 0), "p q r s t");
    EXPECT_EQ(RowText(table, 1), "u v w _ _");
    // Nothing of the first file remains, not even out of sight.
    table.ChangeColCount(10);
    table.ChangeRowCount(5);
    for (int32_t r = 0; r < 5; ++r) {
        for (int32_t c = 0; c < 10; ++c) {
            if (r > 1 || c > 4) {
                EXPECT_EQ(table.ReadCell(c, r), "") << c << "," << r;
            }
        }
    }
}

TEST(CellTable, EmptyLoadKeepsNothingOfTheLastFile)
{
    CellTable table;
    table.LayOutTokens(Letters('a', 'j'));
    table.LayOutTokens(TokenList());
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_EQ(table.FixedRows(), 0);
    EXPECT_EQ(table.CurrentRow(), 0);
    EXPECT_EQ(RowText(table, 0), "_ _ _ _ _");
}

TEST(CellTable, ColumnCountHidesAndShowsCellsWithoutLayingOutAgain)
{
    CellTable table;
    table.LayOutTokens(Letters('a', 'j'));
    table.ChangeColCount(3);
    EXPECT_EQ(RowText(table, 0), "a b c");
    EXPECT_EQ(RowText(table, 1), "f g h");
    table.ChangeColCount(5);
    EXPECT_EQ(RowText(table, 1), "f g h i j");
    table.ChangeColCount(7);
    EXPECT_EQ(RowText(table, 0), "a b c d e _ _");
    EXPECT_EQ(RowText(table, 1), "f g h i j _ _");
    table.ChangeColCount(0);
    EXPECT_EQ(table.ColCount(), 1);
}

TEST(CellTable, ChangeRowCount)
{
    CellTable table;
    table.ChangeRowCount(0);
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_EQ(table.FixedRows(), 0);
    EXPECT_EQ(table.CurrentRow(), 0);
    // FixedRows never comes back once it fell to 0.
    table.LayOutTokens(Letters('a', 'o'));
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.FixedRows(), 0);

    CellTable other;
    other.LayOutTokens(Letters('a', 'o'));
    other.SelectRow(2);
    other.ChangeRowCount(2);
    EXPECT_EQ(other.CurrentRow(), 1);
    EXPECT_EQ(other.FixedRows(), 1);
    other.ChangeRowCount(3);
    EXPECT_EQ(RowText(other, 2), "k l m n o") << "hidden rows come back";
}

TEST(CellTable, WriteAndReadCells)
{
    CellTable table;
    table.WriteCell(3, 7, "x");
    EXPECT_EQ(table.ReadCell(3, 7), "x");
    table.WriteCell(3, 7, "");
    EXPECT_EQ(table.ReadCell(3, 7), "");
    EXPECT_EQ(table.ReadCell(300, 9000), "");
    // Over a loaded cell, an empty write hides the token.
    table.LayOutTokens(Letters('a', 'e'));
    table.WriteCell(1, 0, "");
    EXPECT_EQ(table.ReadCell(1, 0), "");
    table.WriteCell(1, 0, "bb");
    EXPECT_EQ(table.ReadCell(1, 0), "bb");
    EXPECT_THROW(table.WriteCell(-1, 0, "x"), TableIndexError);
    EXPECT_EQ(table.ReadCell(-1, 0), "");
}

TEST(CellTable, CopyAndWriteRows)
{
    CellTable table;
    table.LayOutTokens(Letters('a', 'j'));
    EXPECT_EQ(table.CopyRow(1), (std::vector<std::string>{"f", "g", "h", "i", "j"}));
    EXPECT_EQ(table.CopyColumn(2), (std::vector<std::string>{"c", "h"}));
    table.ChangeColCount(3);
    table.WriteRow(1, {"x", "y", "z", "w"});
    table.ChangeColCount(5);
    EXPECT_EQ(RowText(table, 1), "x y z i j") << "cells beyond ColCount are left alone";
}

TEST(CellTable, RelocateColumn)
{
    const struct {
        int32_t from, to;
        const char* row;
    } cases[] = {
        {0, 2, "b c a d e"},
        {3, 1, "a d b c e"},
        {4, 0, "e a b c d"},
        {2, 2, "a b c d e"},
    };
    for (const auto& c : cases) {
        CellTable table;
        table.LayOutTokens(Letters('a', 'e'));
        table.ChangeRowCount(2);
        table.RelocateColumn(c.from, c.to);
        EXPECT_EQ(RowText(table, 0), c.row) << c.from << "->" << c.to;
    }
    // A row whose stored cells end before `from` is shifted all the same.
    CellTable table;
    table.LayOutTokens(TokenList::FromStrings({"h1", "h2", "h3", "h4", "h5", "a", "b"}));
    table.RelocateColumn(4, 0);
    EXPECT_EQ(RowText(table, 1), "_ a b _ _");
    EXPECT_EQ(RowText(table, 0), "h5 h1 h2 h3 h4");
}

TEST(CellTable, RelocateColumnMovesHiddenRowsAndLeavesOuterColumns)
{
    CellTable table;
    table.LayOutTokens(Letters('a', 'o'));  // rows abcde fghij klmno
    table.ChangeRowCount(2);
    table.ChangeColCount(3);
    table.RelocateColumn(0, 2);
    table.ChangeRowCount(3);
    table.ChangeColCount(5);
    EXPECT_EQ(RowText(table, 2), "l m k n o");
    EXPECT_THROW(table.RelocateColumn(0, 5), TableIndexError);
}

TEST(CellTable, SelectRow)
{
    CellTable table;
    table.LayOutTokens(Letters('a', 'o'));
    table.SelectRow(2);
    EXPECT_EQ(table.CurrentRow(), 2);
    EXPECT_THROW(table.SelectRow(3), TableIndexError);
    EXPECT_THROW(table.SelectRow(-1), TableIndexError);
    EXPECT_EQ(table.CurrentRow(), 2);
    table.SelectRow(2);  // the current row: nothing happens

    CellTable one;
    one.LayOutTokens(Letters('a', 'c'));
    try {
        one.SelectRow(1);
        FAIL();
    } catch (const TableIndexError& e) {
        EXPECT_EQ(e.Message(), "グリッドインデックス が範囲を超えています");
    }
}

TEST(CellTable, LoadOverTheRowLimitIsRefusedBeforeTheTableChanges)
{
    CellTable table;
    table.LayOutTokens(Letters('a', 'j'));
    table.ChangeColCount(1);
    std::vector<std::string> many(static_cast<size_t>(MaxTableRows) + 1, "x");
    TokenList tokens = TokenList::FromStrings(many);
    tokens.SetSourcePath("C:\\data\\big.csv");
    try {
        table.LayOutTokens(std::move(tokens));
        FAIL();
    } catch (const RowLimitError& e) {
        EXPECT_EQ(e.Message(), "ファイル C:\\data\\big.csv は行数が上限の 1048560 行を超えるため開けません");
    }
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.ReadCell(0, 1), "f");

    many.pop_back();
    table.LayOutTokens(TokenList::FromStrings(many));
    EXPECT_EQ(table.RowCount(), MaxTableRows);
    EXPECT_EQ(table.ReadCell(0, MaxTableRows - 1), "x");
}

TEST(CellTable, PermuteDataRowsMovesEveryStoredCell)
{
    CellTable table;
    table.LayOutTokens(Letters('a', 'o'));
    table.ChangeColCount(3);
    table.PermuteDataRows({1, 0});
    table.ChangeColCount(5);
    EXPECT_EQ(RowText(table, 0), "a b c d e");
    EXPECT_EQ(RowText(table, 1), "k l m n o");
    EXPECT_EQ(RowText(table, 2), "f g h i j");
}

struct RecordingObserver : TableObserver {
    std::vector<std::string> events;
    void TableReset() override { events.push_back("reset"); }
    void ExtentChanged() override { events.push_back("extent"); }
    void CellChanged(int32_t c, int32_t r) override { events.push_back("cell " + std::to_string(c) + "," + std::to_string(r)); }
    void ColumnMoved(int32_t f, int32_t t) override { events.push_back("move " + std::to_string(f) + "," + std::to_string(t)); }
    void CurrentRowChanged(int32_t r) override { events.push_back("row " + std::to_string(r)); }
};

TEST(CellTable, ObserverHearsEveryChange)
{
    CellTable table;
    RecordingObserver observer;
    table.SetObserver(&observer);
    table.LayOutTokens(Letters('a', 'o'));
    table.WriteCell(1, 1, "z");
    table.RelocateColumn(0, 1);
    table.SelectRow(2);
    table.ChangeColCount(5);  // unchanged: no event
    table.ChangeColCount(4);
    EXPECT_EQ(observer.events, (std::vector<std::string>{"extent", "reset", "cell 1,1", "move 0,1", "row 2", "extent"}));
}

}  // namespace
}  // namespace quorvel
