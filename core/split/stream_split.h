// Split-save of a file of any size as a stream: the rows are read, cut
// and written in one pass, with memory bounded by a budget whatever the
// file's size or its number of keys. The pieces, their names and bytes
// are those the split of the table gives: one piece per key value, in the
// order in which the keys first appear, each row a line of its cells
// joined by "," and ended by CR LF. Or the rows are cut into chunks of N
// rows in file order, named STEM_1.csv, STEM_2.csv, ...
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/read/row_stream.h"
#include "core/split/split_observer.h"
#include "core/split/split_target.h"
#include "core/interface/collation.h"

namespace quorvel {

struct StreamSplitSpec {
    // The piece of a row: by its cell in `keyColumn`, or with `chunkRows`
    // above 0 by its place, that many data rows to a piece.
    int32_t keyColumn = 0;
    uint64_t chunkRows = 0;
    // Each piece's rows sorted by this column under `collation`, rows with
    // equal keys in file order. A piece must then fit in a table.
    std::optional<int32_t> sortColumn;
    const Collation* collation = nullptr;
    // The header line and the byte order mark as for the table's split;
    // `batchBytes`: the lines held before they are written, twice (one
    // batch is built while the one before is written).
    SplitOptions options = {size_t{12} << 20};
    // The most piece files open at once; the others are reopened, at
    // their end, when their turn comes.
    size_t openFiles = 128;
};

struct StreamSplitResult {
    std::vector<std::string> written;  // each piece's path, in the order its rows first came
    bool stopped = false;              // stopped when asked: the pieces hold whole rows read until then
};

// Splits the rows after the header row, which the caller has read from
// `rows` (it names the columns) and gives as `header`. Raises
// FileCreateError, FileWriteError, PieceRowLimitError and what the stream
// raises; pieces written before a failure stay, holding the whole rows
// written until then.
StreamSplitResult StreamSplit(RowStream& rows, const std::vector<std::string>& header, const SplitTarget& target,
                              const StreamSplitSpec& spec, SplitObserver* observer = nullptr);

// What StreamSplit would write, without writing anything: the same pass
// over the rows, the pieces decided as the split decides them.
std::vector<PiecePlan> PlanStreamSplit(RowStream& rows, const std::vector<std::string>& header,
                                       const SplitTarget& target, const StreamSplitSpec& spec,
                                       SplitObserver* observer = nullptr);

}  // namespace quorvel
