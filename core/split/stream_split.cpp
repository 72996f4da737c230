#include "core/split/stream_split.h"

#include <algorithm>
#include <future>
#include <system_error>

#include "core/table/distinct_keys.h"
#include "core/split/piece_writer.h"
#include "core/split/row_line.h"
#include "core/text/text_encoding.h"

namespace quorvel {

namespace {

constexpr uint64_t kRowsBetweenReports = 16384;

// What each piece begins with: the byte order mark, the header line.
std::string PieceHeader(const std::vector<std::string>& header, const RowLineBuilder& lines, const SplitOptions& options)
{
    std::string bytes;
    if (options.byteOrderMark) bytes.assign(kUtf8ByteOrderMark);
    if (options.headerLine) {
        const std::vector<std::string_view> cells(header.begin(), header.end());
        lines.AppendCells(cells.data(), cells.size(), bytes);
        bytes.append("\r\n");
    }
    return bytes;
}

// The reading and cutting side, shared by the split and its plan: each
// row's piece, numbered in the order first met, and its line.
class RowCutter {
public:
    RowCutter(RowStream& rows, const SplitTarget& target, const StreamSplitSpec& spec, SplitObserver* observer)
        : rows_(rows), target_(target), spec_(spec), observer_(observer), lines_(target.codePage)
    {
    }

    // Calls `onRow(piece, cells)` for each data row; `onNewPiece(path)`
    // first for each piece met. False when stopped on request.
    template <typename OnNewPiece, typename OnRow>
    bool Run(OnNewPiece&& onNewPiece, OnRow&& onRow)
    {
        std::vector<std::string_view> cells;
        uint64_t row = 0;
        uint32_t pieces = 0;
        while (rows_.NextRow(cells)) {
            uint32_t piece = 0;
            if (spec_.chunkRows > 0) {
                piece = static_cast<uint32_t>(row / spec_.chunkRows);
                if (piece == pieces) onNewPiece(ChunkPath(target_, uint64_t{piece} + 1));
            } else {
                const auto [number, added] = keys_.Intern(cells[static_cast<size_t>(spec_.keyColumn)]);
                piece = number;
                if (added) onNewPiece(PiecePath(target_, keys_.Key(number)));
            }
            pieces = std::max(pieces, piece + 1);
            if (spec_.sortColumn) NoteSortCell(piece, cells[static_cast<size_t>(*spec_.sortColumn)]);
            onRow(piece, cells);
            if (++row % kRowsBetweenReports == 0 && observer_) {
                observer_->Progress({rows_.BytesDone(), rows_.FileSize(), row, pieces});
                if (observer_->StopRequested()) return false;
            }
        }
        if (observer_) observer_->Progress({rows_.BytesDone(), rows_.FileSize(), row, pieces});
        return true;
    }

    const RowLineBuilder& Lines() const { return lines_; }

    // The pieces in the order the table's split writes them after the
    // table's sort: by where each piece's first row lands, which is its
    // least sort cell (pieces whose least cells tie, in file order). In
    // file order when nothing is sorted.
    std::vector<uint32_t> PieceOrder() const
    {
        std::vector<uint32_t> order(leastSortCell_.size());
        for (uint32_t p = 0; p < order.size(); ++p) order[p] = p;
        std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
            return spec_.collation->CompareKeys(leastSortCell_[a], leastSortCell_[b]) < 0;
        });
        return order;
    }

private:
    void NoteSortCell(uint32_t piece, std::string_view cell)
    {
        if (piece == leastSortCell_.size()) leastSortCell_.emplace_back(cell);
        else if (spec_.collation->CompareKeys(cell, leastSortCell_[piece]) < 0) leastSortCell_[piece].assign(cell);
    }

    std::vector<std::string> leastSortCell_;  // by piece, with a sort
    RowStream& rows_;
    const SplitTarget& target_;
    const StreamSplitSpec& spec_;
    SplitObserver* observer_;
    RowLineBuilder lines_;
    DistinctKeys keys_{true};
};

// Lines gathered in file order until a batch is full, then written on
// another thread while the next batch is gathered.
class BatchPipeline {
public:
    BatchPipeline(PieceWriter& writer, size_t batchBytes)
        : writer_(writer), batchBytes_(batchBytes), batch_(std::make_shared<PieceBatch>()),
          spare_(std::make_shared<PieceBatch>())
    {
    }
    ~BatchPipeline()
    {
        if (writing_.valid()) writing_.wait();  // a failure is being reported already
    }

    void NewPiece(std::string path) { batch_->newPaths.push_back(std::move(path)); }

    // Room for a line of up to `most` bytes; Added says what it took.
    char* Reserve(size_t most) { return batch_->lines.Reserve(most); }
    void Added(uint32_t piece, size_t bytes)
    {
        batch_->lines.Commit(bytes);
        batch_->rows.push_back({piece, static_cast<uint32_t>(bytes)});
        if (batch_->lines.Size() >= batchBytes_) Flush();
    }

    // Hands the gathered lines to the writer; waits for the batch before,
    // whose memory the next batch takes.
    void Flush()
    {
        std::shared_ptr<PieceBatch> batch = std::move(batch_);
        if (writing_.valid()) spare_ = writing_.get();  // a failed batch ends the split here
        batch_ = std::move(spare_);
        batch_->newPaths.clear();
        batch_->lines.Clear();
        batch_->rows.clear();
        try {
            writing_ = std::async(std::launch::async, [this, batch] {
                writer_.Write(*batch);
                return batch;
            });
        } catch (const std::system_error&) {
            writer_.Write(*batch);  // no thread to be had: written here
            spare_ = batch;
        }
    }

    void Finish(const std::vector<uint32_t>& order)
    {
        Flush();
        if (writing_.valid()) writing_.get();
        writer_.Finish(order);
    }

private:
    PieceWriter& writer_;
    size_t batchBytes_;
    std::shared_ptr<PieceBatch> batch_;
    std::shared_ptr<PieceBatch> spare_;
    std::future<std::shared_ptr<PieceBatch>> writing_;
};

}  // namespace

StreamSplitResult StreamSplit(RowStream& rows, const std::vector<std::string>& header, const SplitTarget& target,
                              const StreamSplitSpec& spec, SplitObserver* observer)
{
    RowCutter cutter(rows, target, spec, observer);
    const Collation* sortCollation = spec.sortColumn ? spec.collation : nullptr;
    PieceWriter writer(target, PieceHeader(header, cutter.Lines(), spec.options), sortCollation, spec.openFiles,
                       observer);
    BatchPipeline pipeline(writer, spec.options.batchBytes / 2);
    StreamSplitResult result;
    const RowLineBuilder& lines = cutter.Lines();
    std::string line;
    try {
        result.stopped = !cutter.Run(
            [&](std::string path) {
                result.written.push_back(path);
                pipeline.NewPiece(std::move(path));
            },
            [&](uint32_t piece, const std::vector<std::string_view>& cells) {
                if (sortCollation) {
                    line.clear();
                    lines.AppendCells(cells.data(), cells.size(), line);
                    line.append("\r\n");
                    const std::string_view sortCell = cells[static_cast<size_t>(*spec.sortColumn)];
                    char* out = pipeline.Reserve(SortFrameBytes(sortCell, line));
                    pipeline.Added(piece, WriteSortFrame(out, sortCell, line));
                } else {
                    char* out = pipeline.Reserve(RowLineBuilder::MaxLineBytes(cells.data(), cells.size()) + 2);
                    size_t used = lines.WriteCells(cells.data(), cells.size(), out);
                    out[used++] = '\r';
                    out[used++] = '\n';
                    pipeline.Added(piece, used);
                }
            });
        if (sortCollation) {
            const std::vector<uint32_t> order = cutter.PieceOrder();
            pipeline.Finish(order);
            std::vector<std::string> inOrder;
            for (const uint32_t piece : order) inOrder.push_back(std::move(result.written[piece]));
            result.written.swap(inOrder);
        } else {
            pipeline.Finish({});
        }
    } catch (const SplitStopped&) {
        // Stopped while making new pieces' files: those begun stay, with
        // whole rows; what waited in spools is dropped.
        result.stopped = true;
        result.written.resize(writer.StartedPieces());
    }
    return result;
}

std::vector<PiecePlan> PlanStreamSplit(RowStream& rows, const std::vector<std::string>& header,
                                       const SplitTarget& target, const StreamSplitSpec& spec, SplitObserver* observer)
{
    RowCutter cutter(rows, target, spec, observer);
    const uint64_t headerBytes = PieceHeader(header, cutter.Lines(), spec.options).size();
    std::vector<PiecePlan> plans;
    std::string line;
    cutter.Run(
        [&](std::string path) {
            plans.emplace_back();
            plans.back().path = std::move(path);
            plans.back().bytes = headerBytes;
        },
        [&](uint32_t piece, const std::vector<std::string_view>& cells) {
            line.clear();
            cutter.Lines().AppendCells(cells.data(), cells.size(), line);
            ++plans[piece].rows;
            plans[piece].bytes += line.size() + 2;
        });
    if (spec.sortColumn) {
        std::vector<PiecePlan> inOrder;
        for (const uint32_t piece : cutter.PieceOrder()) inOrder.push_back(std::move(plans[piece]));
        plans.swap(inOrder);
    }
    MarkPlans(plans, target);
    return plans;
}

}  // namespace quorvel
