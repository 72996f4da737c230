// Sorting the data rows of the table by one key column, ascending, header
// row in place. Not stable: rows with equal keys come out in the order
// that the partition scheme of `SortEntries` gives, exactly reproducibly.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/cell_table.h"
#include "core/interface/collation.h"

namespace quorvel {

// Three-way comparison of the keys of two entries.
using EntryCompare = std::function<int(uint32_t, uint32_t)>;

// Sorts entries[left..right] in place: a quicksort whose partition pass
// follows its middle pivot entry through the exchanges, the left part
// taken first. Ranges go on an explicit stack, and a range that lies
// deeper than 2 log2(n) + 16 partitions is heap-sorted instead, so that
// no input costs quadratic time or deep recursion.
void SortEntries(std::vector<uint32_t>& entries, int64_t left, int64_t right, const EntryCompare& compare);

// Reorders rows 1 .. RowCount - 1 by their cells in `keyColumn`; every
// stored cell of a row travels with it. Ends by making row 1 the current
// row, which raises TableIndexError when the table has no data row.
void SortDataRows(CellTable& table, int32_t keyColumn, const Collation& collation);

}  // namespace quorvel
