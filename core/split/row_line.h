// A table row as one line of a piece: its cells joined by ",", each cell
// quoted where it would otherwise not read back as one cell.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/table/cell_table.h"
#include "core/text/codepage.h"

namespace quorvel {

// Builds row lines for one code page; keeps its scratch space between rows.
class RowLineBuilder {
public:
    explicit RowLineBuilder(const CodePage& codePage);

    // Appends the row's cells 0 .. ColCount - 1 joined by ",", without a
    // line end.
    void Append(const CellTable& table, int32_t row, std::string& line);

    // The same line written at `out`; returns its length, or kNoRoom
    // (with the bytes at `out` undefined) when it needs more than `room`.
    static constexpr size_t kNoRoom = ~size_t{0};
    size_t AppendTo(const CellTable& table, int32_t row, char* out, size_t room);

    // The same line of cells that are not the table's.
    void AppendCells(const std::string_view* cells, size_t count, std::string& line) const;
    // The most bytes that line can take: every byte a doubled quote, each
    // cell quoted, a comma between cells.
    static size_t MaxLineBytes(const std::string_view* cells, size_t count);
    // Writes that line at `out`, which has room for MaxLineBytes; returns
    // its length.
    size_t WriteCells(const std::string_view* cells, size_t count, char* out) const;

private:
    size_t WriteCell(char* out, std::string_view cell) const;
    bool NeedsQuotes(std::string_view cell) const;

    std::array<uint8_t, 256> class_{};
    std::vector<std::string_view> cells_;
};

// The row's cells 0 .. ColCount - 1 joined by ",", without a line end. A
// cell holding a comma, a quote byte or a byte 0x01-0x20 at the start of a
// character is written between quote bytes with its quote bytes doubled,
// so that it reads back as one cell.
void BuildRowLine(const CellTable& table, int32_t row, const CodePage& codePage, std::string& line);

}  // namespace quorvel
