#include "core/split_writer.h"

#include <array>
#include <cstring>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/errors.h"

namespace quorvel {

namespace {

// What each byte means to the quoting of a cell, for one code page.
class CellQuoting {
public:
    explicit CellQuoting(const CodePage& codePage)
    {
        for (int b = 0; b < 256; ++b) {
            uint8_t c = 0;
            if (codePage.IsLeadByte(static_cast<uint8_t>(b))) c = kLead;
            else if (b == ',' || b == '"' || (b >= 0x01 && b <= 0x20)) c = kTearing;
            class_[static_cast<size_t>(b)] = c;
        }
    }

    void AppendCell(std::string& line, std::string_view cell) const
    {
        if (!NeedsQuotes(cell)) {
            line.append(cell);
            return;
        }
        line.push_back('"');
        for (size_t i = 0; i < cell.size(); ++i) {
            const char c = cell[i];
            line.push_back(c);
            if (class_[static_cast<uint8_t>(c)] == kLead && i + 1 < cell.size()) {
                line.push_back(cell[++i]);
            } else if (c == '"') {
                line.push_back('"');
            }
        }
        line.push_back('"');
    }

private:
    static constexpr uint8_t kLead = 1;
    static constexpr uint8_t kTearing = 2;

    // Every byte that can tear a cell lies below 0x2D: a cell without such
    // bytes, the common case, is passed eight bytes at a time.
    static bool HasByteBelow0x2D(std::string_view cell)
    {
        constexpr uint64_t kOnes = 0x0101010101010101ull;
        constexpr uint64_t kHigh = 0x8080808080808080ull;
        size_t i = 0;
        for (; i + 8 <= cell.size(); i += 8) {
            uint64_t word;
            std::memcpy(&word, cell.data() + i, 8);
            if (((word - kOnes * 0x2D) & ~word & kHigh) != 0) return true;
        }
        for (; i < cell.size(); ++i)
            if (static_cast<uint8_t>(cell[i]) < 0x2D) return true;
        return false;
    }

    // Only bytes that begin a character count: a second byte never splits
    // a cell on reading. A quote byte inside a cell (not at its start)
    // reads back unquoted too, so a cell whose last character is a lead
    // byte with a CR as its second byte, which no quoted value can hold
    // (a CR between quotes always reads back with its LF), stays unquoted
    // when quote bytes are all that would quote it.
    bool NeedsQuotes(std::string_view cell) const
    {
        if (!HasByteBelow0x2D(cell)) return false;
        bool quote = false;
        bool endsInLeadCr = false;
        for (size_t i = 0; i < cell.size(); ++i) {
            const uint8_t c = class_[static_cast<uint8_t>(cell[i])];
            if (c == kLead) {
                endsInLeadCr = i + 2 == cell.size() && cell[i + 1] == '\r';
                ++i;
            } else if (c == kTearing) {
                if (cell[i] != '"' || i == 0) return true;
                quote = true;
            }
        }
        return quote && !endsInLeadCr;
    }

    std::array<uint8_t, 256> class_;
};

void AppendRowLine(const CellTable& table, int32_t row, const CellQuoting& quoting, std::vector<std::string_view>& cells,
                   std::string& line)
{
    const int32_t columns = table.ColCount();
    cells.resize(static_cast<size_t>(columns));
    table.ReadRow(row, columns, cells.data());
    for (int32_t c = 0; c < columns; ++c) {
        if (c > 0) line.push_back(',');
        quoting.AppendCell(line, cells[static_cast<size_t>(c)]);
    }
}

// The pieces one split has written, by file identity, so that a later
// key whose name lands on one of them (list_A.csv and list_a.csv on a file
// system that ignores case) appends to it instead of replacing it.
class PieceRegistry {
public:
    PieceRegistry(const std::string& inputPath, FileSystem& files)
        : files_(files), input_(files.IdentityOf(inputPath))
    {
    }

    // Creates the piece, or truncates a file of that name that this split
    // has not written, and writes `bytes` in one request.
    void SavePiece(const std::string& path, const std::string& bytes)
    {
        std::unique_ptr<PieceFile> file = files_.OpenPiece(path);
        if (!file) throw FileCreateError(path);
        const FileIdentity identity = file->Identity();
        // However the name came about, the input file is never replaced.
        if (input_ && identity == *input_) throw FileCreateError(path);
        const bool append = written_.count({identity.volume, identity.index}) != 0;
        if (!(append ? file->SeekToEnd() : file->Truncate())) throw FileCreateError(path);
        written_.insert({identity.volume, identity.index});
        if (!bytes.empty() && file->Write(bytes.data(), bytes.size()) < bytes.size()) throw FileWriteError();
    }

private:
    FileSystem& files_;
    std::optional<FileIdentity> input_;
    std::set<std::pair<uint64_t, uint64_t>> written_;
};

}  // namespace

void BuildRowLine(const CellTable& table, int32_t row, const CodePage& codePage, std::string& line)
{
    std::vector<std::string_view> cells;
    line.clear();
    AppendRowLine(table, row, CellQuoting(codePage), cells, line);
}

std::vector<std::string> WriteSplitPieces(const CellTable& table, int32_t keyColumn, const SplitTarget& target,
                                          const RowVisited& rowVisited, SplitState& state)
{
    if (keyColumn < 0 || keyColumn >= table.ColCount()) throw TableIndexError();
    state.GroupKey.clear();
    state.LineText.clear();
    state.PieceBuffer.clear();
    std::vector<std::string> written;
    const int32_t rows = table.RowCount();
    if (rows < 2) return written;

    // Group the rows by key, in the order in which the keys first appear.
    // Keys are views into the table, which does not change while the split
    // runs.
    std::vector<std::string_view> groupKeys;
    std::unordered_map<std::string_view, uint32_t> groupOfKey;
    std::vector<uint32_t> groupOfRow(static_cast<size_t>(rows));
    for (int32_t j = 1; j < rows; ++j) {
        if (rowVisited) rowVisited(j);
        const std::string_view key = table.ReadCell(keyColumn, j);
        auto [it, added] = groupOfKey.try_emplace(key, static_cast<uint32_t>(groupKeys.size()));
        if (added) groupKeys.push_back(key);
        groupOfRow[static_cast<size_t>(j)] = it->second;
    }
    std::vector<size_t> groupRows(groupKeys.size(), 0);
    for (int32_t j = 1; j < rows; ++j) ++groupRows[groupOfRow[static_cast<size_t>(j)]];

    // The pieces are built in batches of consecutive groups, each batch in
    // one pass down the table: the rows are read in table order, at memory
    // speed, and a batch holds about batchBytes of lines however large the
    // table. A line's size is estimated from the first rows.
    PieceRegistry pieces(target.inputPath, target.files);
    const CellQuoting quoting(target.codePage);
    std::vector<std::string_view> cells;
    std::string sample;
    int32_t sampled = 0;
    for (int32_t j = 1; j < rows && sampled < 1024; ++j, ++sampled) {
        AppendRowLine(table, j, quoting, cells, sample);
        sample.append("\r\n");
    }
    const double lineBytes = static_cast<double>(sample.size()) / sampled;
    const double batchBytes = static_cast<double>(target.batchBytes);

    std::vector<std::string> buffers;
    std::vector<size_t> lastLine;
    for (size_t first = 0; first < groupKeys.size();) {
        size_t end = first + 1;
        double bytes = static_cast<double>(groupRows[first]) * lineBytes;
        while (end < groupKeys.size() && bytes + static_cast<double>(groupRows[end]) * lineBytes <= batchBytes)
            bytes += static_cast<double>(groupRows[end++]) * lineBytes;
        buffers.assign(end - first, std::string());
        lastLine.assign(end - first, 0);
        for (size_t g = first; g < end; ++g)
            buffers[g - first].reserve(static_cast<size_t>(static_cast<double>(groupRows[g]) * lineBytes * 1.125) + 64);
        for (int32_t j = 1; j < rows; ++j) {
            const size_t g = groupOfRow[static_cast<size_t>(j)];
            if (g < first || g >= end) continue;
            std::string& buffer = buffers[g - first];
            lastLine[g - first] = buffer.size();
            AppendRowLine(table, j, quoting, cells, buffer);
            buffer.append("\r\n");
        }
        for (size_t g = first; g < end; ++g) {
            state.GroupKey.assign(groupKeys[g]);
            state.PieceBuffer.swap(buffers[g - first]);
            buffers[g - first] = std::string();  // each piece's memory goes once it is written
            const size_t lineStart = lastLine[g - first];
            state.LineText.assign(state.PieceBuffer, lineStart, state.PieceBuffer.size() - lineStart - 2);
            std::string path = PieceFileName(target.inputPath, groupKeys[g], target.codePage, target.pathStyle);
            pieces.SavePiece(path, state.PieceBuffer);
            written.push_back(std::move(path));
        }
        first = end;
    }
    return written;
}

}  // namespace quorvel
