#include "core/row_sort.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <string>
#include <string_view>
#include <utility>

#include "core/errors.h"

namespace quorvel {

namespace {

// Each data row's rank of its key in the collation order (rows 1 .. n as
// 0 .. n - 1); nullopt when the collation cannot make sort keys.
std::optional<std::vector<uint32_t>> CollationRanks(const CellTable& table, int32_t keyColumn,
                                                    const Collation& collation)
{
    const int32_t n = table.RowCount() - 1;
    // The distinct key texts, each row pointing at its own.
    std::vector<std::string_view> distinct;
    std::unordered_map<std::string_view, uint32_t> indexOfKey;
    std::vector<uint32_t> keyOfRow(static_cast<size_t>(std::max(n, 0)));
    for (int32_t j = 0; j < n; ++j) {
        const std::string_view key = table.ReadCell(keyColumn, j + 1);
        auto [it, added] = indexOfKey.try_emplace(key, static_cast<uint32_t>(distinct.size()));
        if (added) distinct.push_back(key);
        keyOfRow[static_cast<size_t>(j)] = it->second;
    }
    // One sort key per distinct text, all in one buffer.
    std::string keys;
    std::vector<size_t> keyStart(distinct.size() + 1);
    for (size_t d = 0; d < distinct.size(); ++d) {
        keyStart[d] = keys.size();
        if (!collation.AppendSortKey(distinct[d], keys)) return std::nullopt;
    }
    keyStart[distinct.size()] = keys.size();
    const std::string_view all(keys);
    auto sortKey = [&](uint32_t d) { return all.substr(keyStart[d], keyStart[d + 1] - keyStart[d]); };
    // Texts in collation order; texts that collate equal share a rank.
    std::vector<uint32_t> order(distinct.size());
    for (uint32_t d = 0; d < order.size(); ++d) order[d] = d;
    std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return CompareSortKeys(sortKey(a), sortKey(b)) < 0; });
    std::vector<uint32_t> rankOfKey(distinct.size());
    uint32_t rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && CompareSortKeys(sortKey(order[i - 1]), sortKey(order[i])) != 0) ++rank;
        rankOfKey[order[i]] = rank;
    }
    for (uint32_t& key : keyOfRow) key = rankOfKey[key];
    return keyOfRow;
}

}  // namespace

void SortDataRows(CellTable& table, int32_t keyColumn, const Collation& collation)
{
    const int32_t n = table.RowCount() - 1;
    if (n >= 2) {
        std::vector<uint32_t> entries(static_cast<size_t>(n));
        for (uint32_t j = 0; j < static_cast<uint32_t>(n); ++j) entries[j] = j;

        // Each distinct key is collated once; the partition scheme then
        // compares integer ranks, which give every comparison the sign the
        // collation gives it, so equal keys come out in the same order.
        if (const std::optional<std::vector<uint32_t>> ranks = CollationRanks(table, keyColumn, collation)) {
            const uint32_t* rank = ranks->data();
            SortEntries(entries, 0, n - 1, [rank](uint32_t a, uint32_t b) {
                return rank[a] < rank[b] ? -1 : (rank[a] > rank[b] ? 1 : 0);
            });
        } else {
            // Keys that cannot be made: the collation compares the texts.
            SortEntries(entries, 0, n - 1, [&](uint32_t a, uint32_t b) {
                return collation.CompareKeys(table.ReadCell(keyColumn, static_cast<int32_t>(a) + 1),
                                             table.ReadCell(keyColumn, static_cast<int32_t>(b) + 1));
            });
        }
        table.PermuteDataRows(entries);
    }
    table.SelectRow(1);
}

}  // namespace quorvel
