#include "core/split/split_writer.h"

#include <algorithm>
#include <future>
#include <memory>
#include <new>
#include <system_error>
#include <string_view>
#include <utility>

#include "core/split/batch_pieces.h"
#include "core/table/distinct_keys.h"
#include "core/errors.h"
#include "core/split/piece_registry.h"
#include "core/split/row_line.h"
#include "core/text/text_encoding.h"
#include "core/text/utf8.h"

namespace quorvel {

namespace {

// The data rows grouped by their key cell, groups in the order in which
// their keys first appear. Keys are views into the table, which does not
// change while the split runs.
struct RowGroups {
    std::vector<std::string_view> keys;
    std::vector<uint32_t> groupOfRow;  // by table row; row 0 unused
    std::vector<size_t> rowCount;      // by group
};

RowGroups GroupRowsByKey(const CellTable& table, int32_t keyColumn, const RowVisited& rowVisited)
{
    const int32_t rows = table.RowCount();
    RowGroups groups;
    DistinctKeys distinct(false);
    groups.groupOfRow.resize(static_cast<size_t>(rows));
    for (int32_t j = 1; j < rows; ++j) {
        if (rowVisited) rowVisited(j);
        const auto [group, added] = distinct.Intern(table.ReadCell(keyColumn, j));
        if (added) groups.keys.push_back(distinct.Key(group));
        groups.groupOfRow[static_cast<size_t>(j)] = group;
    }
    groups.rowCount.assign(groups.keys.size(), 0);
    for (int32_t j = 1; j < rows; ++j) ++groups.rowCount[groups.groupOfRow[static_cast<size_t>(j)]];
    return groups;
}

// The mean size of a line with its CR LF, from the first rows.
double EstimateLineBytes(const CellTable& table, RowLineBuilder& lines)
{
    std::string sample;
    int32_t sampled = 0;
    for (int32_t j = 1; j < table.RowCount() && sampled < 1024; ++j, ++sampled) {
        lines.Append(table, j, sample);
        sample.append("\r\n");
    }
    return static_cast<double>(sample.size()) / sampled;
}

// Consecutive groups [first, end) whose lines come to about `batchBytes`;
// every batch holds at least one group.
std::vector<std::pair<size_t, size_t>> PlanBatches(const RowGroups& groups, double lineBytes, double batchBytes)
{
    std::vector<std::pair<size_t, size_t>> batches;
    for (size_t first = 0; first < groups.keys.size();) {
        size_t end = first + 1;
        double bytes = static_cast<double>(groups.rowCount[first]) * lineBytes;
        while (end < groups.keys.size() && bytes + static_cast<double>(groups.rowCount[end]) * lineBytes <= batchBytes)
            bytes += static_cast<double>(groups.rowCount[end++]) * lineBytes;
        batches.emplace_back(first, end);
        first = end;
    }
    return batches;
}


// Builds the pieces of one batch in one pass down the table.
std::unique_ptr<BatchPieces> BuildBatch(const CellTable& table, const RowGroups& groups,
                                        std::pair<size_t, size_t> batch, double lineBytes, RowLineBuilder& lines,
                                        const std::string& header, BatchArena spare)
{
    const auto [first, end] = batch;
    auto built = std::make_unique<BatchPieces>(groups.rowCount, batch, lineBytes, header, std::move(spare));
    // The batch's rows skip through the table: fetch each row's references
    // and then its text some rows ahead, or the walk waits on memory.
    std::vector<int32_t> rows;
    size_t batchRows = 0;
    for (size_t g = first; g < end; ++g) batchRows += groups.rowCount[g];
    rows.reserve(batchRows);
    for (int32_t j = 1; j < table.RowCount(); ++j) {
        const size_t g = groups.groupOfRow[static_cast<size_t>(j)];
        if (g >= first && g < end) rows.push_back(j);
    }
    constexpr size_t kRefsAhead = 16, kTextAhead = 8;
    for (size_t k = 0; k < rows.size(); ++k) {
        if (k + kRefsAhead < rows.size()) table.PrefetchRow(rows[k + kRefsAhead], false);
        if (k + kTextAhead < rows.size()) table.PrefetchRow(rows[k + kTextAhead], true);
        const int32_t j = rows[k];
        built->AppendLine(groups.groupOfRow[static_cast<size_t>(j)], table, j, lines);
    }
    return built;
}

// Saves a built batch's pieces in group order; the first that fails stops
// the split, so no later piece is written. The state names each piece as
// it is saved.
void SaveBatch(BatchPieces& built, const RowGroups& groups, const std::string& header,
               const SplitTarget& target, PieceRegistry& pieces, SplitState& state, std::vector<std::string>& written)
{
    for (size_t g = built.First(); g < built.First() + built.Count(); ++g) {
        state.GroupKey.assign(groups.keys[g]);
        state.LineText.assign(built.LastLine(g));
        std::string path = PiecePath(target, groups.keys[g]);
        pieces.SavePiece(path, built.Piece(g), header.size());
        written.push_back(std::move(path));
    }
}

}  // namespace

namespace {

// What each piece begins with: the byte order mark, the header row.
std::string PieceHeader(const CellTable& table, RowLineBuilder& lines, const SplitOptions& options)
{
    std::string header;
    if (options.byteOrderMark) header.assign(kUtf8ByteOrderMark);
    if (options.headerLine) {
        lines.Append(table, 0, header);
        header.append("\r\n");
    }
    return header;
}

}  // namespace

std::vector<PiecePlan> PlanSplitPieces(const CellTable& table, int32_t keyColumn, const SplitTarget& target,
                                       const SplitOptions& options)
{
    if (keyColumn < 0 || keyColumn >= table.ColCount()) throw TableIndexError();
    std::vector<PiecePlan> plans;
    if (table.RowCount() < 2) return plans;
    const RowGroups groups = GroupRowsByKey(table, keyColumn, nullptr);
    RowLineBuilder lines(target.codePage);
    std::string line;
    const uint64_t header = PieceHeader(table, lines, options).size();
    plans.resize(groups.keys.size());
    for (size_t g = 0; g < groups.keys.size(); ++g) {
        plans[g].path = PiecePath(target, groups.keys[g]);
        plans[g].rows = groups.rowCount[g];
        plans[g].bytes = header;
    }
    for (int32_t j = 1; j < table.RowCount(); ++j) {
        line.clear();
        lines.Append(table, j, line);
        plans[groups.groupOfRow[static_cast<size_t>(j)]].bytes += line.size() + 2;
    }
    MarkPlans(plans, target);
    return plans;
}

std::vector<std::string> WriteSplitPieces(const CellTable& table, int32_t keyColumn, const SplitTarget& target,
                                          const RowVisited& rowVisited, SplitState& state, const SplitOptions& options)
{
    if (keyColumn < 0 || keyColumn >= table.ColCount()) throw TableIndexError();
    state.GroupKey.clear();
    state.LineText.clear();
    std::vector<std::string> written;
    if (table.RowCount() < 2) return written;

    const RowGroups groups = GroupRowsByKey(table, keyColumn, rowVisited);
    RowLineBuilder lines(target.codePage);
    const double lineBytes = EstimateLineBytes(table, lines);
    const std::string header = PieceHeader(table, lines, options);
    PieceRegistry pieces(target);
    // While one batch is being saved, the next is built on this thread: the
    // two share what the batch size leaves beside the split's own arrays
    // (the row groups, a batch's row list, the last piece's copy).
    const double ownBytes = 8.0 * table.RowCount() + static_cast<double>(size_t{2} << 20);
    const double batchBytes = static_cast<double>(options.batchBytes);
    const double arenaBytes = std::max(batchBytes - ownBytes, batchBytes / 4) / 2;
    const auto batches = PlanBatches(groups, lineBytes, arenaBytes / kLineGrowth);
    std::future<BatchArena> saving;
    BatchArena spare;
    for (size_t b = 0; b < batches.size(); ++b) {
        std::shared_ptr<BatchPieces> built =
            BuildBatch(table, groups, batches[b], lineBytes, lines, header, std::move(spare));
        // A failed save ends the split here, before the next batch starts.
        if (saving.valid()) spare = saving.get();
        const auto save = [&, built] {
            SaveBatch(*built, groups, header, target, pieces, state, written);
            return built->TakeArena();
        };
        try {
            saving = std::async(std::launch::async, save);
        } catch (const std::system_error&) {
            spare = save();  // no thread to be had: save it here, as it was built
        }
    }
    if (saving.valid()) saving.get();
    return written;
}

}  // namespace quorvel
