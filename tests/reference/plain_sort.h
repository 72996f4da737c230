// The partition scheme of the row sort written as plainly as it reads:
// recursion into the left part, a loop over the right part, every
// comparison through the collation. The fast sort must give the same
// order on every input.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/table/cell_table.h"
#include "core/interface/collation.h"
#include "core/table/row_sort.h"

namespace quorvel::reference {

void PlainSortEntries(std::vector<uint32_t>& e, int64_t L, int64_t R, const EntryCompare& compare);

// Lays out a table of two columns for sorting tests: "key" and "row" above,
// then one row per key with its key and its index from 0.
void LayOutKeys(CellTable& table, const std::vector<std::string>& keys);

// The row indexes of such a table's data rows, top to bottom.
std::vector<uint32_t> RowIndexes(const CellTable& table);

// The order in which the data rows (keys[0] is row 1's key) come out:
// original row indexes from 0.
std::vector<uint32_t> PlainRowOrder(const std::vector<std::string>& keys, const Collation& collation);

}  // namespace quorvel::reference
