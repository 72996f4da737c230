#include "core/split_writer.h"

#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "core/errors.h"

namespace quorvel {

namespace {

bool NeedsQuotes(std::string_view cell, const CodePage& codePage)
{
    for (size_t i = 0; i < cell.size(); ++i) {
        const auto b = static_cast<uint8_t>(cell[i]);
        if (codePage.IsLeadByte(b)) {
            ++i;  // a second byte never splits a cell on reading
            continue;
        }
        if (b == ',' || b == '"' || (b >= 0x01 && b <= 0x20)) return true;
    }
    return false;
}

void AppendCell(std::string& line, std::string_view cell, const CodePage& codePage)
{
    if (!NeedsQuotes(cell, codePage)) {
        line.append(cell);
        return;
    }
    line.push_back('"');
    for (size_t i = 0; i < cell.size(); ++i) {
        const char c = cell[i];
        line.push_back(c);
        if (codePage.IsLeadByte(static_cast<uint8_t>(c)) && i + 1 < cell.size()) {
            line.push_back(cell[++i]);
        } else if (c == '"') {
            line.push_back('"');
        }
    }
    line.push_back('"');
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
    line.clear();
    for (int32_t c = 0; c < table.ColCount(); ++c) {
        if (c > 0) line.push_back(',');
        AppendCell(line, table.ReadCell(c, row), codePage);
    }
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

    // Group the rows by key, keeping each group's rows in table order as a
    // chain through `nextRow`. Keys are views into the table, which does
    // not change while the split runs.
    struct Group {
        std::string_view key;
        int32_t first;
        int32_t last;
    };
    std::vector<Group> groups;
    std::unordered_map<std::string_view, size_t> groupOfKey;
    std::vector<int32_t> nextRow(static_cast<size_t>(rows), 0);
    for (int32_t j = 1; j < rows; ++j) {
        if (rowVisited) rowVisited(j);
        const std::string_view key = table.ReadCell(keyColumn, j);
        auto [it, added] = groupOfKey.try_emplace(key, groups.size());
        if (added) {
            groups.push_back({key, j, j});
        } else {
            Group& group = groups[it->second];
            nextRow[static_cast<size_t>(group.last)] = j;
            group.last = j;
        }
    }

    PieceRegistry pieces(target.inputPath, target.files);
    for (const Group& group : groups) {
        state.GroupKey.assign(group.key);
        state.PieceBuffer.clear();
        for (int32_t j = group.first; j != 0; j = nextRow[static_cast<size_t>(j)]) {
            BuildRowLine(table, j, target.codePage, state.LineText);
            state.PieceBuffer.append(state.LineText).append("\r\n");
        }
        std::string path = PieceFileName(target.inputPath, group.key, target.codePage, target.pathStyle);
        pieces.SavePiece(path, state.PieceBuffer);
        written.push_back(std::move(path));
    }
    return written;
}

}  // namespace quorvel
