#include "reference/plain_sort.h"

namespace quorvel::reference {

void PlainSortEntries(std::vector<uint32_t>& e, int64_t L, int64_t R, const EntryCompare& compare)
{
    for (;;) {
        int64_t I = L, J = R, P = (L + R) / 2;
        do {
            while (compare(e[I], e[P]) < 0) ++I;
            while (compare(e[J], e[P]) > 0) --J;
            if (I <= J) {
                std::swap(e[I], e[J]);
                if (P == I) P = J;
                else if (P == J) P = I;
                ++I;
                --J;
            }
        } while (I <= J);
        if (L < J) PlainSortEntries(e, L, J, compare);
        L = I;
        if (!(I < R)) return;
    }
}

void LayOutKeys(CellTable& table, const std::vector<std::string>& keys)
{
    std::vector<std::string> tokens = {"key", "row"};
    for (size_t i = 0; i < keys.size(); ++i) {
        tokens.push_back(keys[i]);
        tokens.push_back(std::to_string(i));
    }
    table.ChangeColCount(2);
    table.LayOutTokens(TokenList::FromStrings(tokens));
}

std::vector<uint32_t> RowIndexes(const CellTable& table)
{
    std::vector<uint32_t> rows;
    for (int32_t r = 1; r < table.RowCount(); ++r)
        rows.push_back(static_cast<uint32_t>(std::stoul(std::string(table.ReadCell(1, r)))));
    return rows;
}

std::vector<uint32_t> PlainRowOrder(const std::vector<std::string>& keys, const Collation& collation)
{
    std::vector<uint32_t> e(keys.size());
    for (size_t i = 0; i < e.size(); ++i) e[i] = static_cast<uint32_t>(i);
    if (e.size() >= 2)
        PlainSortEntries(e, 0, static_cast<int64_t>(e.size()) - 1,
                         [&](uint32_t a, uint32_t b) { return collation.CompareKeys(keys[a], keys[b]); });
    return e;
}

}  // namespace quorvel::reference
