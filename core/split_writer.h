// Split-save: one piece file per key value of one column, beside the
// input file. All rows of one key go to one piece, in table order, each
// row one line of its cells joined by "," and ended by CR LF.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/cell_table.h"
#include "core/codepage.h"
#include "core/piece_name.h"
#include "core/interface/file_system.h"

namespace quorvel {

// Told of each data row, in table order, before the row is examined.
using RowVisited = std::function<void(int32_t row)>;

// The writer's working state; the caller keeps it between splits, and
// each split starts it afresh.
struct SplitState {
    std::string GroupKey;     // the key of the piece being written
    std::string LineText;     // the line being built
    std::string PieceBuffer;  // the lines of the piece being written
};

struct SplitTarget {
    std::string inputPath;  // P: gives the folder and the base name
    const CodePage& codePage;
    PathStyle pathStyle;
    FileSystem& files;
    // About how many bytes of pieces are built before they are written.
    size_t batchBytes = size_t{32} << 20;
};

// The row's cells 0 .. ColCount - 1 joined by ",", without a line end. A
// cell holding a comma, a quote byte or a byte 0x01-0x20 at the start of a
// character is written between quote bytes with its quote bytes doubled,
// so that it reads back as one cell.
void BuildRowLine(const CellTable& table, int32_t row, const CodePage& codePage, std::string& line);

// Groups the data rows by their cell in `keyColumn` and writes one piece
// per key, in the order in which the keys first appear; returns the
// paths written, in that order. A piece that this split has already
// written (two keys whose names one file system takes for one file) is
// appended to; the input file itself is never written. A table without
// data rows writes nothing. Raises FileCreateError, FileWriteError or
// TableIndexError (a key column outside the table); pieces written before
// a failure stay.
std::vector<std::string> WriteSplitPieces(const CellTable& table, int32_t keyColumn, const SplitTarget& target,
                                          const RowVisited& rowVisited, SplitState& state);

}  // namespace quorvel
