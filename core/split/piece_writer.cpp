#include "core/split/piece_writer.h"

#include <algorithm>
#include <cstring>
#include <numeric>

#include "core/errors.h"
#include "core/read/file_text.h"
#include "core/text/path_parts.h"
#include "core/table_limits.h"

namespace quorvel {

char* ByteRun::Reserve(size_t count)
{
    if (capacity_ - size_ < count) {
        const size_t capacity = std::max({size_ + count, 2 * capacity_, size_t{256}});
        std::unique_ptr<char[]> bytes(new char[capacity]);  // not zeroed: every byte is written before it is read
        if (size_ > 0) std::memcpy(bytes.get(), bytes_.get(), size_);
        bytes_ = std::move(bytes);
        capacity_ = capacity;
    }
    return bytes_.get() + size_;
}

void ByteRun::Append(std::string_view bytes)
{
    if (bytes.empty()) return;
    std::memcpy(Reserve(bytes.size()), bytes.data(), bytes.size());
    Commit(bytes.size());
}

namespace {

char* WriteLength(char* out, size_t length)
{
    const auto n = static_cast<uint32_t>(length);
    out[0] = static_cast<char>(n);
    out[1] = static_cast<char>(n >> 8);
    out[2] = static_cast<char>(n >> 16);
    out[3] = static_cast<char>(n >> 24);
    return out + 4;
}

// Reads the length at `p` and moves past it; false when the frame is cut.
bool TakeLength(std::string_view spool, size_t& p, size_t& length)
{
    if (spool.size() - p < 4) return false;
    const auto* b = reinterpret_cast<const uint8_t*>(spool.data() + p);
    length = size_t{b[0]} | size_t{b[1]} << 8 | size_t{b[2]} << 16 | size_t{b[3]} << 24;
    p += 4;
    return spool.size() - p >= length;
}

struct SortFrame {
    std::string_view sortCell;
    std::string_view line;
};

std::vector<SortFrame> ReadSortFrames(std::string_view spool)
{
    std::vector<SortFrame> frames;
    size_t p = 0, length = 0;
    while (p < spool.size()) {
        SortFrame frame;
        if (!TakeLength(spool, p, length)) break;
        frame.sortCell = spool.substr(p, length);
        p += length;
        if (!TakeLength(spool, p, length)) break;
        frame.line = spool.substr(p, length);
        p += length;
        frames.push_back(frame);
    }
    return frames;
}

// The frames' order by their sort cells, equal cells in file order.
std::vector<uint32_t> SortedOrder(const std::vector<SortFrame>& frames, const Collation& collation)
{
    std::vector<uint32_t> order(frames.size());
    std::iota(order.begin(), order.end(), 0);
    std::string keys;
    std::vector<size_t> start;
    start.reserve(frames.size() + 1);
    bool haveKeys = true;
    for (const SortFrame& frame : frames) {
        start.push_back(keys.size());
        if (!collation.AppendSortKey(frame.sortCell, keys)) {
            haveKeys = false;
            break;
        }
    }
    start.push_back(keys.size());
    if (haveKeys) {
        const auto key = [&](uint32_t i) { return std::string_view(keys).substr(start[i], start[i + 1] - start[i]); };
        std::stable_sort(order.begin(), order.end(),
                         [&](uint32_t a, uint32_t b) { return CompareSortKeys(key(a), key(b)) < 0; });
    } else {
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return collation.CompareKeys(frames[a].sortCell, frames[b].sortCell) < 0;
        });
    }
    return order;
}

}  // namespace

size_t SortFrameBytes(std::string_view sortCell, std::string_view line) { return 8 + sortCell.size() + line.size(); }

size_t WriteSortFrame(char* out, std::string_view sortCell, std::string_view line)
{
    char* at = WriteLength(out, sortCell.size());
    at = std::copy(sortCell.begin(), sortCell.end(), at);
    at = WriteLength(at, line.size());
    at = std::copy(line.begin(), line.end(), at);
    return static_cast<size_t>(at - out);
}

PieceWriter::PieceWriter(const SplitTarget& target, std::string header, const Collation* sortCollation,
                         size_t openFiles, SplitObserver* observer)
    : target_(target), header_(std::move(header)), sortCollation_(sortCollation),
      openFiles_(std::max<size_t>(openFiles, 1)), registry_(target), observer_(observer)
{
    spoolTag_ = NewWorkingFileTag();
}

PieceWriter::~PieceWriter() { RemoveSpools(); }

void PieceWriter::Write(PieceBatch& batch)
{
    for (std::string& path : batch.newPaths) {
        pieces_.emplace_back();
        pieces_.back().path = std::move(path);
    }
    // A counting sort of the lines by piece: the pieces' sizes, their
    // places in one buffer, the lines copied there.
    startOfPiece_.resize(pieces_.size() + 1);
    std::vector<uint32_t> touched;
    for (const PieceBatch::Line& row : batch.rows) {
        if (startOfPiece_[row.piece] == 0) touched.push_back(row.piece);
        startOfPiece_[row.piece] += row.length;
    }
    std::sort(touched.begin(), touched.end());
    uint64_t at = 0;
    for (const uint32_t piece : touched) {
        const uint64_t bytes = startOfPiece_[piece];
        startOfPiece_[piece] = at;
        at += bytes;
    }
    grouped_.Clear();
    char* out = grouped_.Reserve(static_cast<size_t>(at));
    const char* in = batch.lines.View().data();
    for (const PieceBatch::Line& row : batch.rows) {
        std::memcpy(out + startOfPiece_[row.piece], in, row.length);
        startOfPiece_[row.piece] += row.length;
        in += row.length;
    }
    grouped_.Commit(static_cast<size_t>(at));
    // Each piece's end is now where the next one starts.
    uint64_t begin = 0;
    for (const uint32_t piece : touched) {
        const uint64_t end = startOfPiece_[piece];
        startOfPiece_[piece] = 0;
        Piece& p = pieces_[piece];
        if (!p.started) {
            constexpr size_t kPiecesBetweenStopChecks = 64;
            if (observer_ && started_ % kPiecesBetweenStopChecks == 0 && started_ > 0 && observer_->StopRequested())
                throw SplitStopped{};
            Start(p);
            if (observer_) observer_->PiecesMade(started_);
        }
        WriteAll(FileOf(p), grouped_.View().substr(static_cast<size_t>(begin), static_cast<size_t>(end - begin)));
        begin = end;
    }
}

// The piece's first lines: its file is decided now, in piece order as
// the table's split decides it, unless it is sorted at the end.
void PieceWriter::Start(Piece& piece)
{
    piece.started = true;
    ++started_;
    if (open_.size() >= openFiles_) CloseLeastRecentlyUsed();
    std::unique_ptr<PieceFile> file;
    if (sortCollation_) {
        piece.spoolPath = NewSpoolPath(piece.path);
    } else {
        const PieceDecision decision = registry_.Decider().Decide(piece.path);
        if (decision.mark == PiecePlan::Mark::kShares) {
            piece.spoolPath = NewSpoolPath(piece.path);
            piece.sharesWith = decision.sharesWith;
        } else {
            bool appending = false;
            file = registry_.OpenAsDecided(piece.path, decision, appending);
            if (!appending) WriteAll(*file, header_);
        }
    }
    if (!file) {
        file = target_.files.CreateNewPiece(piece.spoolPath);
        if (!file) file = target_.files.OpenPiece(piece.spoolPath);
        if (!file || !file->Truncate()) throw FileCreateError(piece.path);
    }
    piece.file = std::move(file);
    piece.lastUse = ++clock_;
    open_.push_back(static_cast<size_t>(&piece - pieces_.data()));
}

PieceFile& PieceWriter::FileOf(Piece& piece)
{
    piece.lastUse = ++clock_;
    if (piece.file) return *piece.file;
    if (open_.size() >= openFiles_) CloseLeastRecentlyUsed();
    if (piece.spoolPath.empty()) {
        piece.file = registry_.Reopen(piece.path);
    } else {
        piece.file = target_.files.OpenPiece(piece.spoolPath);
        if (!piece.file || !piece.file->SeekToEnd()) throw FileCreateError(piece.path);
    }
    open_.push_back(static_cast<size_t>(&piece - pieces_.data()));
    return *piece.file;
}

void PieceWriter::CloseLeastRecentlyUsed()
{
    const auto oldest = std::min_element(open_.begin(), open_.end(), [&](size_t a, size_t b) {
        return pieces_[a].lastUse < pieces_[b].lastUse;
    });
    pieces_[*oldest].file.reset();
    open_.erase(oldest);
}

// Beside the piece, so that it lies on the same volume, under a name no
// piece has.
std::string PieceWriter::NewSpoolPath(const std::string& beside)
{
    return WorkingFilePath(beside, target_, spoolTag_, ++spoolCount_);
}

void PieceWriter::Finish(const std::vector<uint32_t>& sortedOrder)
{
    for (const size_t p : open_) pieces_[p].file.reset();
    open_.clear();
    const auto finish = [&](Piece& piece) {
        if (piece.spoolPath.empty()) return;
        if (sortCollation_) SortAndSave(piece);
        else AppendSpool(piece);
        target_.files.RemoveFile(piece.spoolPath);
        piece.spoolPath.clear();
    };
    if (sortCollation_) {
        for (const uint32_t p : sortedOrder) finish(pieces_[p]);
    } else {
        for (Piece& piece : pieces_) finish(piece);
    }
}

// A piece that shares an earlier piece's file goes after all of it.
void PieceWriter::AppendSpool(const Piece& piece)
{
    const std::unique_ptr<PieceFile> file = registry_.Reopen(pieces_[piece.sharesWith].path);
    const std::unique_ptr<InputFile> spool = target_.files.OpenForReading(piece.spoolPath);
    if (!spool) throw FileOpenError(piece.spoolPath);
    std::vector<char> block(size_t{1} << 20);
    for (;;) {
        size_t got = 0;
        if (!spool->Read(block.data(), block.size(), got)) throw FileOpenError(piece.spoolPath);
        if (got == 0) break;
        WriteAll(*file, std::string_view(block.data(), got));
    }
}

// The piece's rows sorted, then saved as the table's split saves a piece.
void PieceWriter::SortAndSave(const Piece& piece)
{
    const LoadedFile spool = LoadFileText(piece.spoolPath, target_.files);
    const std::vector<SortFrame> frames = ReadSortFrames(std::string_view(spool.bytes.get(), spool.size));
    if (frames.size() > static_cast<size_t>(MaxTableRows - 1)) throw PieceRowLimitError(piece.path);
    const std::vector<uint32_t> order = SortedOrder(frames, *sortCollation_);
    std::string bytes = header_;
    bytes.reserve(header_.size() + spool.size);
    for (const uint32_t i : order) bytes.append(frames[i].line);
    registry_.SavePiece(piece.path, bytes, header_.size());
}

void PieceWriter::RemoveSpools() noexcept
{
    for (Piece& piece : pieces_) {
        piece.file.reset();
        if (!piece.spoolPath.empty()) target_.files.RemoveFile(piece.spoolPath);
    }
    open_.clear();
}

}  // namespace quorvel
