// Split-save: one piece file per key value of one column, beside the
// input file. All rows of one key go to one piece, in table order, each
// row one line of its cells joined by "," and ended by CR LF.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/table/cell_table.h"
#include "core/text/codepage.h"
#include "core/split/piece_name.h"
#include "core/split/split_target.h"
#include "core/split/row_line.h"
#include "core/interface/file_system.h"

namespace quorvel {

// Told of each data row, in table order, before the row is examined.
using RowVisited = std::function<void(int32_t row)>;

// The writer's working state; the caller keeps it between splits, and
// each split starts it afresh. After a split it names the piece written
// last, or the one that failed. (The lines of a piece are built in the
// split's own batches, not copied here.)
struct SplitState {
    std::string GroupKey;  // the key of the piece being written
    std::string LineText;  // its last line
};

// What a split would write, piece by piece in the order it would write
// them, without writing anything; decided as the split decides.
std::vector<PiecePlan> PlanSplitPieces(const CellTable& table, int32_t keyColumn, const SplitTarget& target,
                                       const SplitOptions& options = {});

// Groups the data rows by their cell in `keyColumn` and writes one piece
// per key, in the order in which the keys first appear; returns the
// paths written, in that order. A piece that this split has already
// written (two keys whose names one file system takes for one file) is
// appended to; the input file itself is never written. A table without
// data rows writes nothing. Raises FileCreateError, FileWriteError or
// TableIndexError (a key column outside the table); pieces written before
// a failure stay. The steps: group the rows by key, estimate a line's
// size, plan batches of about `options.batchBytes`, build and save each.
std::vector<std::string> WriteSplitPieces(const CellTable& table, int32_t keyColumn, const SplitTarget& target,
                                          const RowVisited& rowVisited, SplitState& state,
                                          const SplitOptions& options = {});

}  // namespace quorvel
