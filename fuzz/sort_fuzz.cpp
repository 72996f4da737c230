// The sort gives a permutation of the data rows in the collation's order,
// with the header row untouched and every cell of a row kept together.
#include <algorithm>

#include "core/table/cell_table.h"
#include "core/table/row_sort.h"
#include "fuzz_support.h"
#include "reference/plain_sort.h"
#include "core/text/portable_collation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quorvel;
    if (size < 1) return 0;
    const CodePage codePage = fuzz::ChosenCodePage(data[0]);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::vector<std::string> keys = fuzz::ReadTokens(bytes, codePage).ToStrings();
    if (keys.size() < 2) return 0;

    // Column 0 the key, column 1 the row's number before the sort.
    CellTable table;
    reference::LayOutKeys(table, keys);
    const PortableCollation collation(codePage);
    SortDataRows(table, 0, collation);

    if (table.ReadCell(0, 0) != "key" || table.ReadCell(1, 0) != "row") fuzz::Fail("the header row moved");
    std::vector<bool> seen(keys.size(), false);
    for (int32_t r = 1; r < table.RowCount(); ++r) {
        const size_t original = std::stoul(std::string(table.ReadCell(1, r)));
        if (original >= keys.size() || seen[original]) fuzz::Fail("not a permutation of the rows");
        seen[original] = true;
        if (table.ReadCell(0, r) != keys[original]) fuzz::Fail("a row's cells came apart");
        if (r > 1 && collation.CompareKeys(table.ReadCell(0, r - 1), table.ReadCell(0, r)) > 0)
            fuzz::Fail("rows out of order");
    }
    return 0;
}
