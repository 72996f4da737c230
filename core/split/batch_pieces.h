// The pieces of one batch of a split, built in memory before they are
// saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/table/cell_table.h"
#include "core/split/row_line.h"
#include "core/interface/byte_buffer.h"

namespace quorvel {

// Room beyond the estimate, for lines longer than the sampled ones.
inline constexpr double kLineGrowth = 1.125;

// Bytes for one batch's pieces, handed from a saved batch to the next one
// that fits in it: fresh memory costs the system a page fault and a page
// cleared per page, more than building the lines in it.
struct BatchArena {
    ByteBuffer bytes;
    size_t size = 0;
};

// Each group's lines in a stretch of one buffer sized from the estimate,
// so that building them costs no allocation per piece. A group that
// outgrows its stretch goes on in a string of its own.
class BatchPieces {
public:
    // Groups [batch.first, batch.second), of `rowCount[g]` rows each with
    // lines of about `lineBytes`; each piece begins with `header`. Takes
    // `spare` when it is large enough.
    BatchPieces(const std::vector<size_t>& rowCount, std::pair<size_t, size_t> batch, double lineBytes,
                const std::string& header, BatchArena spare);

    // Builds the row's line, with its CR LF, at the end of the group's piece.
    void AppendLine(size_t group, const CellTable& table, int32_t row, RowLineBuilder& lines);

    // The bytes, for the next batch once these pieces are saved.
    BatchArena TakeArena() { return std::move(arena_); }

    size_t First() const { return first_; }
    size_t Count() const { return stretches_.size(); }

    std::string_view Piece(size_t group) const;

    // The piece's last line, without its CR LF.
    std::string_view LastLine(size_t group) const;

private:
    static constexpr size_t kSlack = 64;

    struct Stretch {
        size_t begin = 0;
        size_t capacity = 0;
        size_t used = 0;
        size_t lastLine = 0;
        bool overflowed = false;
        std::string overflow;
    };

    size_t first_;
    std::vector<Stretch> stretches_;
    BatchArena arena_;
};

}  // namespace quorvel
