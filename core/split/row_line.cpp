#include "core/split/row_line.h"

#include <cstring>

namespace quorvel {

namespace {

constexpr uint8_t kLead = 1;
constexpr uint8_t kTearing = 2;  // a comma, a quote byte or a blank

// Every byte that can tear a cell lies below 0x2D: a cell without such
// bytes, the common case, is passed eight bytes at a time.
bool HasByteBelow0x2D(std::string_view cell)
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

// Copies a cell that has no byte below 0x2D (the common cell, which needs
// no quotes) while it checks it, eight bytes at a step; false, with the
// bytes at `out` undefined, for any other cell.
inline bool CopyIfPlain(char* out, std::string_view cell)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHigh = 0x8080808080808080ull;
    const char* in = cell.data();
    const size_t n = cell.size();
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, in + i, 8);
        if (((word - kOnes * 0x2D) & ~word & kHigh) != 0) return false;
        std::memcpy(out + i, &word, 8);
    }
    for (; i < n; ++i) {
        if (static_cast<uint8_t>(in[i]) < 0x2D) return false;
        out[i] = in[i];
    }
    return true;
}

// Cells are short: a call to memcpy per cell costs more than the copy.
inline void CopyCell(char* out, const char* in, size_t n)
{
    if (n >= 16) {
        std::memcpy(out, in, n);
    } else if (n >= 8) {
        uint64_t head, tail;
        std::memcpy(&head, in, 8);
        std::memcpy(&tail, in + n - 8, 8);
        std::memcpy(out, &head, 8);
        std::memcpy(out + n - 8, &tail, 8);
    } else if (n >= 4) {
        uint32_t head, tail;
        std::memcpy(&head, in, 4);
        std::memcpy(&tail, in + n - 4, 4);
        std::memcpy(out, &head, 4);
        std::memcpy(out + n - 4, &tail, 4);
    } else {
        for (size_t i = 0; i < n; ++i) out[i] = in[i];
    }
}

}  // namespace

RowLineBuilder::RowLineBuilder(const CodePage& codePage)
{
    for (int b = 0; b < 256; ++b) {
        uint8_t c = 0;
        if (codePage.IsLeadByte(static_cast<uint8_t>(b))) c = kLead;
        else if (b == ',' || b == '"' || (b >= 0x01 && b <= 0x20)) c = kTearing;
        class_[static_cast<size_t>(b)] = c;
    }
}

void RowLineBuilder::Append(const CellTable& table, int32_t row, std::string& line)
{
    const int32_t columns = table.ColCount();
    cells_.resize(static_cast<size_t>(columns));
    table.ReadRow(row, columns, cells_.data());
    AppendCells(cells_.data(), cells_.size(), line);
}

void RowLineBuilder::AppendCells(const std::string_view* cells, size_t count, std::string& line) const
{
    const size_t start = line.size();
    line.resize(start + MaxLineBytes(cells, count));
    line.resize(start + WriteCells(cells, count, line.data() + start));
}

size_t RowLineBuilder::MaxLineBytes(const std::string_view* cells, size_t count)
{
    size_t longest = 0;
    for (size_t c = 0; c < count; ++c) longest += 2 * cells[c].size() + 3;
    return longest;
}

size_t RowLineBuilder::WriteCells(const std::string_view* cells, size_t count, char* out) const
{
    size_t used = 0;
    for (size_t c = 0; c < count; ++c) {
        if (c > 0) out[used++] = ',';
        used += WriteCell(out + used, cells[c]);
    }
    return used;
}

size_t RowLineBuilder::AppendTo(const CellTable& table, int32_t row, char* out, size_t room)
{
    const int32_t columns = table.ColCount();
    cells_.resize(static_cast<size_t>(columns));
    table.ReadRow(row, columns, cells_.data());
    size_t used = 0;
    for (int32_t c = 0; c < columns; ++c) {
        const std::string_view cell = cells_[static_cast<size_t>(c)];
        // A quoted cell takes at most twice its bytes and two quotes.
        if (room - used < 2 * cell.size() + 3) return kNoRoom;
        if (c > 0) out[used++] = ',';
        used += WriteCell(out + used, cell);
    }
    return used;
}

size_t RowLineBuilder::WriteCell(char* out, std::string_view cell) const
{
    if (CopyIfPlain(out, cell)) return cell.size();
    if (!NeedsQuotes(cell)) {
        CopyCell(out, cell.data(), cell.size());
        return cell.size();
    }
    size_t n = 0;
    out[n++] = '"';
    for (size_t i = 0; i < cell.size(); ++i) {
        const char c = cell[i];
        out[n++] = c;
        if (class_[static_cast<uint8_t>(c)] == kLead && i + 1 < cell.size()) {
            out[n++] = cell[++i];
        } else if (c == '"') {
            out[n++] = '"';
        }
    }
    out[n++] = '"';
    return n;
}

// Only bytes that begin a character count: a second byte never splits a
// cell on reading. A quote byte inside a cell (not at its start) reads
// back unquoted too, so a cell whose last character is a lead byte with a
// CR as its second byte, which no quoted value can hold (a CR between
// quotes always reads back with its LF), stays unquoted when quote bytes
// are all that would quote it.
bool RowLineBuilder::NeedsQuotes(std::string_view cell) const
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

void BuildRowLine(const CellTable& table, int32_t row, const CodePage& codePage, std::string& line)
{
    line.clear();
    RowLineBuilder(codePage).Append(table, row, line);
}

}  // namespace quorvel
