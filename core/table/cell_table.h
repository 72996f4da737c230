// The one table of the program: cells addressed by (column, row) from 0,
// row 0 the header row. Cells beyond the current extent are retained, so
// lowering the column or row count only hides them.
//
// Storage: a load adopts its token list whole as a dense layer (token i is
// cell i mod C, i div C of the column count C at the load); later writes
// go to a sparse map that overrides the layer. Moving a column or sorting
// rows permutes two index maps instead of copying cells, so both are cheap
// on a million rows and move every stored cell, hidden ones included.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/table_limits.h"
#include "core/table/token_list.h"

namespace quorvel {


// Told of every change, so that a view can repaint what changed.
class TableObserver {
public:
    virtual ~TableObserver() = default;
    virtual void TableReset() {}
    virtual void ExtentChanged() {}
    virtual void CellChanged(int32_t /*col*/, int32_t /*row*/) {}
    virtual void ColumnMoved(int32_t /*from*/, int32_t /*to*/) {}
    virtual void CurrentRowChanged(int32_t /*row*/) {}
};

class CellTable {
public:
    CellTable() = default;
    CellTable(const CellTable&) = delete;
    CellTable& operator=(const CellTable&) = delete;

    int32_t ColCount() const { return colCount_; }
    int32_t RowCount() const { return rowCount_; }
    int32_t FixedRows() const { return fixedRows_; }
    int32_t CurrentRow() const { return currentRow_; }

    // The text last written at the address, or empty. Reading creates
    // nothing. The view is valid until the cell is written or the table
    // is loaded anew.
    std::string_view ReadCell(int32_t col, int32_t row) const;
    void WriteCell(int32_t col, int32_t row, std::string_view text);

    // ReadCell(c, row) for c = 0 .. count - 1 into `cells`, the row looked
    // up once: the split writer's and the view's way through a row.
    void ReadRow(int32_t row, int32_t count, std::string_view* cells) const;

    // Asks the processor to fetch what ReadRow(row) will read, for a walk
    // through rows out of memory order: the row's references, or with
    // `text` the text they point to (which reads the references, so ask
    // for those some rows earlier).
    void PrefetchRow(int32_t row, bool text) const;

    void ChangeColCount(int32_t count);
    void ChangeRowCount(int32_t count);

    std::vector<std::string> CopyRow(int32_t row) const;
    std::vector<std::string> CopyColumn(int32_t col) const;
    void WriteRow(int32_t row, const std::vector<std::string>& cells);

    // Takes the cell at `from` out of every row and puts it at `to`, the
    // cells between shifting by one. TableIndexError outside the columns.
    void RelocateColumn(int32_t from, int32_t to);

    // Makes `row` the current row; TableIndexError outside the rows.
    void SelectRow(int32_t row);

    // Empties the store and lays the tokens out row by row at the current
    // column count. A list that needs more than MaxTableRows rows raises
    // RowLimitError before anything changes. A list cut short at the limit
    // makes the table a preview of its file.
    void LayOutTokens(TokenList tokens);

    // Data row j + 1 takes every stored cell of the row `order[j] + 1`;
    // `order` is a permutation of 0 .. RowCount() - 2.
    void PermuteDataRows(const uint32_t* order, size_t count);
    void PermuteDataRows(const std::vector<uint32_t>& order) { PermuteDataRows(order.data(), order.size()); }

    void SetObserver(TableObserver* observer) { observer_ = observer; }

    // What a reader of the file needs to lay out rows as the table shows
    // them: the column count of the last load, and where each shown column
    // stands in that layout after the user's moves.
    int32_t LayoutColumns() const { return static_cast<int32_t>(baseCols_); }
    int32_t LayoutColumnOf(int32_t col) const { return static_cast<int32_t>(PhysicalCol(col)); }
    // The last load stopped at MaxTableRows and the file has more rows.
    bool IsPreview() const { return base_.CutShort(); }
    // The first line of the last load's file from which its rows no longer
    // follow the file's lines (see line_check.h), or 0.
    uint64_t FirstPartedLine() const { return base_.FirstPartedLine(); }

private:
    static uint64_t Key(uint32_t col, uint32_t row) { return (uint64_t{col} << 32) | row; }
    uint32_t PhysicalCol(int32_t col) const
    {
        return static_cast<size_t>(col) < colMap_.size() ? colMap_[static_cast<size_t>(col)] : static_cast<uint32_t>(col);
    }
    uint32_t PhysicalRow(int32_t row) const
    {
        return static_cast<size_t>(row) < rowMap_.size() ? rowMap_[static_cast<size_t>(row)] : static_cast<uint32_t>(row);
    }
    bool InBase(uint32_t col, uint32_t row, size_t& index) const;

    int32_t colCount_ = 5;
    int32_t rowCount_ = 2;
    int32_t fixedRows_ = 1;
    int32_t currentRow_ = 1;

    TokenList base_;
    uint32_t baseCols_ = 1;
    std::unordered_map<uint64_t, std::string> written_;
    LargeVector<uint32_t> colMap_;
    LargeVector<uint32_t> rowMap_;
    TableObserver* observer_ = nullptr;
};

}  // namespace quorvel
