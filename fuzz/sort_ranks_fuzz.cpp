// The sort by ranks of the distinct keys gives exactly the row order of the
// plain partition scheme comparing the key texts through the collation.
#include "core/table/cell_table.h"
#include "core/text/portable_collation.h"
#include "core/table/row_sort.h"
#include "fuzz_support.h"
#include "reference/plain_sort.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quorvel;
    if (size < 1) return 0;
    const CodePage codePage = fuzz::ChosenCodePage(data[0]);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::vector<std::string> keys = fuzz::ReadTokens(bytes, codePage).ToStrings();
    if (keys.size() < 2) return 0;
    CellTable table;
    reference::LayOutKeys(table, keys);
    const PortableCollation collation(codePage);
    SortDataRows(table, 0, collation);
    if (reference::RowIndexes(table) != reference::PlainRowOrder(keys, collation))
        fuzz::Fail("the order differs from the plain comparison sort");
    return 0;
}
