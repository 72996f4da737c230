// A row written as a piece line reads back, with our own reader, as the
// row's cells; only an empty last cell is lost, by the reader's rule on an
// empty last field.
#include "core/table/cell_table.h"
#include "core/split/split_writer.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quorvel;
    if (size < 1) return 0;
    const CodePage codePage = fuzz::ChosenCodePage(data[0]);
    // The cells are whatever the reader makes of the rest: the cells a
    // loaded table can hold.
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::string> cells = fuzz::ReadTokens(bytes, codePage).ToStrings();
    if (cells.empty() || cells.size() > 255) return 0;

    CellTable table;
    table.ChangeColCount(static_cast<int32_t>(cells.size()));
    std::vector<std::string> tokens(cells.size(), "h");
    tokens.insert(tokens.end(), cells.begin(), cells.end());
    table.LayOutTokens(TokenList::FromStrings(tokens));

    std::string line;
    BuildRowLine(table, 1, codePage, line);
    line += "\r\n";
    std::vector<std::string> expected = cells;
    if (expected.back().empty()) expected.pop_back();
    if (fuzz::ReadTokens(line, codePage).ToStrings() != expected) fuzz::Fail("the line reads back as other cells");
    return 0;
}
