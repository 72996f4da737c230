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
    // Each group's rows side by side, in table order (a counting sort).
    std::vector<size_t> groupStart(groupKeys.size() + 1, 0);
    for (int32_t j = 1; j < rows; ++j) ++groupStart[groupOfRow[static_cast<size_t>(j)] + 1];
    for (size_t g = 1; g < groupStart.size(); ++g) groupStart[g] += groupStart[g - 1];
    std::vector<int32_t> rowsByGroup(static_cast<size_t>(rows - 1));
    {
        std::vector<size_t> fill(groupStart.begin(), groupStart.end() - 1);
        for (int32_t j = 1; j < rows; ++j) rowsByGroup[fill[groupOfRow[static_cast<size_t>(j)]]++] = j;
    }

    PieceRegistry pieces(target.inputPath, target.files);
    const CellQuoting quoting(target.codePage);
    std::vector<std::string_view> cells;
    // The rows of one key lie scattered through the table: fetch the cell
    // references of the row 16 ahead and the text of the row 8 ahead.
    constexpr size_t kRefsAhead = 48, kTextAhead = 24;
    for (size_t g = 0; g < groupKeys.size(); ++g) {
        state.GroupKey.assign(groupKeys[g]);
        state.PieceBuffer.clear();
        const size_t first = groupStart[g], end = groupStart[g + 1];
        size_t lineStart = 0;
        for (size_t i = first; i < end; ++i) {
            if (i + kRefsAhead < end) table.PrefetchRowRefs(rowsByGroup[i + kRefsAhead]);
            if (i + kTextAhead < end) table.PrefetchRowText(rowsByGroup[i + kTextAhead]);
            lineStart = state.PieceBuffer.size();
            AppendRowLine(table, rowsByGroup[i], quoting, cells, state.PieceBuffer);
            state.PieceBuffer.append("\r\n");
        }
        // Lines are built straight into the piece; LineText keeps the last.
        state.LineText.assign(state.PieceBuffer, lineStart, state.PieceBuffer.size() - lineStart - 2);
        std::string path = PieceFileName(target.inputPath, groupKeys[g], target.codePage, target.pathStyle);
        pieces.SavePiece(path, state.PieceBuffer);
        written.push_back(std::move(path));
    }
    return written;
}

}  // namespace quorvel
