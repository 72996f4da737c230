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
#include "core/row_line.h"
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
    // Where the pieces go instead of beside the input, with the same names;
    // empty: beside the input.
    std::string outputFolder = {};
    // The paths are UTF-8 and a key names its piece by its characters (see
    // Utf8PieceFileName); otherwise paths are in `codePage` and the key's
    // bytes stand in the name as they are.
    bool namesInUtf8 = false;
};

struct SplitOptions {
    // About how many bytes of pieces are built before they are written:
    // what a split needs beyond the table.
    size_t batchBytes = size_t{32} << 20;
    // Each piece begins with the header row (row 0), in the line format of
    // the data rows; a piece appended to another one's file adds none.
    bool headerLine = false;
    // Each piece begins with the UTF-8 byte order mark, before the header
    // row, as the input did.
    bool byteOrderMark = false;
};

// What a split would write, piece by piece in the order it would write
// them, without writing anything.
struct PiecePlan {
    enum class Mark { kNew, kReplaces, kShares, kCannot };
    std::string path;
    size_t rows = 0;
    uint64_t bytes = 0;
    Mark mark = Mark::kNew;
    std::string note;  // kShares: the earlier piece's path; kCannot: why
};
std::vector<PiecePlan> PlanSplitPieces(const CellTable& table, int32_t keyColumn, const SplitTarget& target,
                                       const SplitOptions& options = {});

// The full path of the piece for `key` under the target.
std::string PiecePath(const SplitTarget& target, std::string_view key);

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
