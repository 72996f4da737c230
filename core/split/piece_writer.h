// The writing side of the streaming split: the piece files, a bounded set
// of them open at a time, and the spool files that hold lines that must
// wait (a piece that shares an earlier piece's file goes after all of
// it; a piece to be sorted is sorted once it is whole).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/split/piece_registry.h"
#include "core/split/split_observer.h"
#include "core/split/split_target.h"
#include "core/interface/collation.h"
#include "core/interface/file_system.h"

namespace quorvel {

// A growing run of bytes without the zero fill of std::string's resize.
class ByteRun {
public:
    // Room for `count` more bytes at the end; Commit says how many were used.
    char* Reserve(size_t count);
    void Commit(size_t count) { size_ += count; }
    void Append(std::string_view bytes);
    std::string_view View() const { return {bytes_.get(), size_}; }
    size_t Size() const { return size_; }
    size_t Capacity() const { return capacity_; }
    // Empty, keeping its memory for the next lines.
    void Clear() { size_ = 0; }

private:
    std::unique_ptr<char[]> bytes_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// Lines for the pieces, gathered in file order while the file is read and
// then written as one batch: grouped by piece, each piece's lines in one
// request, pieces in piece order. Its memory does not depend on the number
// of pieces.
struct PieceBatch {
    std::vector<std::string> newPaths;  // pieces first met in this batch, numbered on from the last
    ByteRun lines;
    struct Line {
        uint32_t piece;
        size_t length;
    };
    std::vector<Line> rows;  // each line's piece and length, in file order
};

// With a sort, each row goes to the spool as a frame: the sort cell's
// length (4 bytes, little-endian) and bytes, then the line's.
size_t SortFrameBytes(std::string_view sortCell, std::string_view line);
// Writes the frame at `out`, which has room for SortFrameBytes; returns them.
size_t WriteSortFrame(char* out, std::string_view sortCell, std::string_view line);

// Raised by the writer when the split is asked to stop while it makes the
// files of new pieces.
struct SplitStopped {};

class PieceWriter {
public:
    // `header`: what each piece begins with (the byte order mark, the
    // header line). `sortCollation`: the pieces are spooled as frames and
    // sorted by their sort cells at the end.
    // `observer`, if given, is told of each new piece's file and asked
    // before every 64th whether to stop: a split with few pieces writes all
    // the rows read before a stop.
    PieceWriter(const SplitTarget& target, std::string header, const Collation* sortCollation, size_t openFiles,
                SplitObserver* observer = nullptr);
    ~PieceWriter();
    PieceWriter(const PieceWriter&) = delete;
    PieceWriter& operator=(const PieceWriter&) = delete;

    // Writes a batch. A piece's first lines decide its file. Raises
    // FileCreateError or FileWriteError, or SplitStopped when asked to stop
    // (the pieces begun hold whole rows).
    void Write(PieceBatch& batch);

    // How many pieces have their files: the first ones, in piece order.
    size_t StartedPieces() const { return started_; }
    // The most bytes a batch's lines may take beside the grouped copy.
    size_t GroupedBytes() const { return grouped_.Capacity(); }

    // Closes the files and writes what waits in spools: pieces that share
    // a file, appended in piece order; with a sort, every piece, sorted and
    // saved in `sortedOrder`. Raises as Write does, and PieceRowLimitError.
    void Finish(const std::vector<uint32_t>& sortedOrder);

private:
    struct Piece {
        std::string path;
        bool started = false;
        std::string spoolPath;  // the lines wait there when not empty
        size_t sharesWith = 0;  // the earlier piece whose file it shares
        std::unique_ptr<PieceFile> file;
        uint64_t lastUse = 0;
    };
    void Start(Piece& piece);
    PieceFile& FileOf(Piece& piece);
    void CloseLeastRecentlyUsed();
    std::string NewSpoolPath(const std::string& beside);
    void AppendSpool(const Piece& piece);
    void SortAndSave(const Piece& piece);
    void RemoveSpools() noexcept;

    const SplitTarget& target_;
    std::string header_;
    const Collation* sortCollation_;
    size_t openFiles_;
    PieceRegistry registry_;
    SplitObserver* observer_;
    size_t started_ = 0;
    std::vector<Piece> pieces_;
    std::vector<size_t> open_;  // pieces whose file is open
    uint64_t clock_ = 0;
    ByteRun grouped_;                    // a batch's lines by piece
    std::vector<uint64_t> startOfPiece_;  // in `grouped_`, by piece while a batch is grouped
    uint64_t spoolTag_ = 0;
    uint64_t spoolCount_ = 0;
};

}  // namespace quorvel
