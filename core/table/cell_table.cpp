#include "core/table/cell_table.h"

#include <algorithm>
#include <numeric>

#include "core/errors.h"
#include "core/table/prefetch.h"

namespace quorvel {

namespace {

void ExtendIdentity(LargeVector<uint32_t>& map, size_t size)
{
    const size_t old = map.size();
    if (size <= old) return;
    map.resize(size);
    std::iota(map.begin() + static_cast<std::ptrdiff_t>(old), map.end(), static_cast<uint32_t>(old));
}

}  // namespace

bool CellTable::InBase(uint32_t col, uint32_t row, size_t& index) const
{
    if (col >= baseCols_) return false;
    index = static_cast<size_t>(row) * baseCols_ + col;
    return index < base_.size();
}

std::string_view CellTable::ReadCell(int32_t col, int32_t row) const
{
    if (col < 0 || row < 0) return {};
    const uint32_t q = PhysicalCol(col);
    const uint32_t p = PhysicalRow(row);
    if (!written_.empty()) {
        auto it = written_.find(Key(q, p));
        if (it != written_.end()) return it->second;
    }
    size_t index;
    return InBase(q, p, index) ? base_[index] : std::string_view();
}

void CellTable::ReadRow(int32_t row, int32_t count, std::string_view* cells) const
{
    if (row < 0 || !written_.empty()) {
        for (int32_t c = 0; c < count; ++c) cells[c] = ReadCell(c, row);
        return;
    }
    const uint32_t p = PhysicalRow(row);
    const size_t rowStart = static_cast<size_t>(p) * baseCols_;
    for (int32_t c = 0; c < count; ++c) {
        const uint32_t q = PhysicalCol(c);
        const size_t index = rowStart + q;
        cells[c] = (q < baseCols_ && index < base_.size()) ? base_[index] : std::string_view();
    }
}

void CellTable::PrefetchRow(int32_t row, bool text) const
{
    if (row < 0) return;
    const size_t index = static_cast<size_t>(PhysicalRow(row)) * baseCols_;
    if (index >= base_.size()) return;
    if (!text) {
        Prefetch(base_.RefAddress(index));
        Prefetch(base_.RefAddress(std::min(index + baseCols_, base_.size()) - 1));
        return;
    }
    // The cells of a loaded row lie side by side in the file's buffer.
    const std::string_view first = base_[index];
    if (first.empty()) return;
    Prefetch(first.data());
    Prefetch(first.data() + 64);
}

void CellTable::WriteCell(int32_t col, int32_t row, std::string_view text)
{
    if (col < 0 || row < 0) throw TableIndexError();
    const uint32_t q = PhysicalCol(col);
    const uint32_t p = PhysicalRow(row);
    size_t index;
    const bool underlaid = InBase(q, p, index) && !base_[index].empty();
    if (text.empty() && !underlaid) {
        written_.erase(Key(q, p));  // an empty cell takes no storage
    } else {
        written_[Key(q, p)].assign(text.data(), text.size());
    }
    if (observer_) observer_->CellChanged(col, row);
}

void CellTable::ChangeColCount(int32_t count)
{
    if (count == colCount_) return;
    colCount_ = std::max(count, 1);
    if (observer_) observer_->ExtentChanged();
}

void CellTable::ChangeRowCount(int32_t count)
{
    if (count == rowCount_) return;
    count = std::clamp(count, 1, MaxTableRows);
    if (fixedRows_ >= count) {
        fixedRows_ = count - 1;
        currentRow_ = 0;
    }
    rowCount_ = count;
    if (currentRow_ >= count) currentRow_ = count - 1;
    if (observer_) observer_->ExtentChanged();
}

std::vector<std::string> CellTable::CopyRow(int32_t row) const
{
    std::vector<std::string> cells;
    cells.reserve(static_cast<size_t>(colCount_));
    for (int32_t c = 0; c < colCount_; ++c) cells.emplace_back(ReadCell(c, row));
    return cells;
}

std::vector<std::string> CellTable::CopyColumn(int32_t col) const
{
    std::vector<std::string> cells;
    cells.reserve(static_cast<size_t>(rowCount_));
    for (int32_t r = 0; r < rowCount_; ++r) cells.emplace_back(ReadCell(col, r));
    return cells;
}

void CellTable::WriteRow(int32_t row, const std::vector<std::string>& cells)
{
    const size_t count = std::min(cells.size(), static_cast<size_t>(colCount_));
    for (size_t c = 0; c < count; ++c) WriteCell(static_cast<int32_t>(c), row, cells[c]);
}

void CellTable::RelocateColumn(int32_t from, int32_t to)
{
    if (from == to) return;
    if (from < 0 || to < 0 || from >= colCount_ || to >= colCount_) throw TableIndexError();
    ExtendIdentity(colMap_, static_cast<size_t>(std::max(from, to)) + 1);
    auto at = [this](int32_t i) { return colMap_.begin() + i; };
    if (from < to) {
        std::rotate(at(from), at(from + 1), at(to + 1));
    } else {
        std::rotate(at(to), at(from), at(from + 1));
    }
    if (observer_) observer_->ColumnMoved(from, to);
}

void CellTable::SelectRow(int32_t row)
{
    if (row == currentRow_) return;
    if (row < 0 || row >= rowCount_) throw TableIndexError();
    currentRow_ = row;
    if (observer_) observer_->CurrentRowChanged(row);
}

void CellTable::LayOutTokens(TokenList tokens)
{
    const int64_t columns = colCount_;
    const int64_t rows = (static_cast<int64_t>(tokens.size()) + columns - 1) / columns;
    if (rows > MaxTableRows) throw RowLimitError(tokens.SourcePath());

    written_.clear();
    colMap_.clear();
    rowMap_.clear();
    base_ = std::move(tokens);
    baseCols_ = static_cast<uint32_t>(columns);
    ChangeRowCount(static_cast<int32_t>(rows));
    if (observer_) observer_->TableReset();
}

void CellTable::PermuteDataRows(const uint32_t* order, size_t count)
{
    if (count == 0) return;
    ExtendIdentity(rowMap_, static_cast<size_t>(rowCount_));
    LargeVector<uint32_t> moved(rowMap_);
    for (size_t j = 0; j < count; ++j) moved[j + 1] = rowMap_[order[j] + 1];
    rowMap_.swap(moved);
    if (observer_) observer_->TableReset();
}

}  // namespace quorvel
