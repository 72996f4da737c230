#include "core/table/row_sort.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <string>
#include <string_view>
#include <utility>

#include "core/table/distinct_keys.h"
#include "core/errors.h"

namespace quorvel {

namespace {

// The distinct key texts of the data rows, each with one sort key, and
// each row's distinct text (rows 1 .. n as 0 .. n - 1).
struct CollatedKeys {
    LargeVector<uint32_t> keyOfRow;
    std::string sortKeys;          // all in one buffer
    std::vector<size_t> keyStart;  // by distinct text, and one past the last
    std::string_view SortKey(uint32_t d) const
    {
        return std::string_view(sortKeys).substr(keyStart[d], keyStart[d + 1] - keyStart[d]);
    }
    size_t Count() const { return keyStart.size() - 1; }
};

// nullopt when the collation cannot make sort keys.
std::optional<CollatedKeys> CollateDistinctKeys(const CellTable& table, int32_t keyColumn, const Collation& collation)
{
    const int32_t n = table.RowCount() - 1;
    CollatedKeys keys;
    DistinctKeys distinct(false);
    keys.keyOfRow.resize(static_cast<size_t>(std::max(n, 0)));
    for (int32_t j = 0; j < n; ++j) keys.keyOfRow[static_cast<size_t>(j)] = distinct.Intern(table.ReadCell(keyColumn, j + 1)).first;
    keys.keyStart.resize(distinct.Count() + 1);
    for (uint32_t d = 0; d < distinct.Count(); ++d) {
        keys.keyStart[d] = keys.sortKeys.size();
        if (!collation.AppendSortKey(distinct.Key(d), keys.sortKeys)) return std::nullopt;
    }
    keys.keyStart[distinct.Count()] = keys.sortKeys.size();
    return keys;
}

// Each row's rank of its key in the collation order: the distinct texts
// sorted once, texts that collate equal sharing a rank.
LargeVector<uint32_t> RanksOfRows(const CollatedKeys& keys)
{
    std::vector<uint32_t> order(keys.Count());
    for (uint32_t d = 0; d < order.size(); ++d) order[d] = d;
    std::sort(order.begin(), order.end(),
              [&](uint32_t a, uint32_t b) { return CompareSortKeys(keys.SortKey(a), keys.SortKey(b)) < 0; });
    std::vector<uint32_t> rankOfKey(keys.Count());
    uint32_t rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && CompareSortKeys(keys.SortKey(order[i - 1]), keys.SortKey(order[i])) != 0) ++rank;
        rankOfKey[order[i]] = rank;
    }
    LargeVector<uint32_t> ranks(keys.keyOfRow.size());
    for (size_t j = 0; j < ranks.size(); ++j) ranks[j] = rankOfKey[keys.keyOfRow[j]];
    return ranks;
}

// True when the first rows repeat their keys enough for ranking to pay.
bool FewDistinctKeys(const CellTable& table, int32_t keyColumn)
{
    const int32_t sample = std::min<int32_t>(table.RowCount() - 1, 4096);
    std::unordered_map<std::string_view, char> seen;
    for (int32_t j = 1; j <= sample; ++j) seen.emplace(table.ReadCell(keyColumn, j), 0);
    return seen.size() * 4 <= static_cast<size_t>(sample);
}

// One sort key per data row, all in one buffer; nullopt when the
// collation cannot make them.
struct RowSortKeys {
    LargeVector<char> sortKeys;
    LargeVector<size_t> keyStart;  // by row from 0, and one past the last
    std::string_view SortKey(uint32_t j) const
    {
        return std::string_view(sortKeys.data() + keyStart[j], keyStart[j + 1] - keyStart[j]);
    }
};

std::optional<RowSortKeys> CollateRows(const CellTable& table, int32_t keyColumn, const Collation& collation)
{
    const int32_t n = table.RowCount() - 1;
    RowSortKeys keys;
    keys.keyStart.resize(static_cast<size_t>(n) + 1);
    std::string key;
    for (int32_t j = 0; j < n; ++j) {
        keys.keyStart[static_cast<size_t>(j)] = keys.sortKeys.size();
        key.clear();
        if (!collation.AppendSortKey(table.ReadCell(keyColumn, j + 1), key)) return std::nullopt;
        keys.sortKeys.insert(keys.sortKeys.end(), key.begin(), key.end());
    }
    keys.keyStart[static_cast<size_t>(n)] = keys.sortKeys.size();
    return keys;
}

}  // namespace

void SortDataRows(CellTable& table, int32_t keyColumn, const Collation& collation)
{
    const int32_t n = table.RowCount() - 1;
    if (n >= 2) {
        // Arrays of a row each, laid out for large pages: fresh memory's
        // page faults cost more than the sort itself.
        LargeVector<uint32_t> entries(static_cast<size_t>(n));
        for (uint32_t j = 0; j < static_cast<uint32_t>(n); ++j) entries[j] = j;

        // Few distinct keys (as the first rows tell): each distinct key is
        // collated once, and the partition scheme compares integer ranks,
        // which give every comparison the sign the collation gives it, so
        // equal keys come out in the same order. Mostly distinct keys: one
        // sort key per row, compared directly.
        std::optional<LargeVector<uint32_t>> ranks;
        std::optional<RowSortKeys> rowKeys;
        if (FewDistinctKeys(table, keyColumn)) {
            if (const std::optional<CollatedKeys> keys = CollateDistinctKeys(table, keyColumn, collation))
                ranks = RanksOfRows(*keys);
        } else {
            rowKeys = CollateRows(table, keyColumn, collation);
        }
        if (ranks) {
            const uint32_t* rank = ranks->data();
            SortEntries(entries, 0, n - 1, [rank](uint32_t a, uint32_t b) {
                return rank[a] < rank[b] ? -1 : (rank[a] > rank[b] ? 1 : 0);
            });
        } else if (rowKeys) {
            SortEntries(entries, 0, n - 1, [&keys = *rowKeys](uint32_t a, uint32_t b) {
                return CompareSortKeys(keys.SortKey(a), keys.SortKey(b));
            });
        } else {
            // Keys that cannot be made: the collation compares the texts.
            SortEntries(entries, 0, n - 1, [&](uint32_t a, uint32_t b) {
                return collation.CompareKeys(table.ReadCell(keyColumn, static_cast<int32_t>(a) + 1),
                                             table.ReadCell(keyColumn, static_cast<int32_t>(b) + 1));
            });
        }
        table.PermuteDataRows(entries.data(), entries.size());
    }
    table.SelectRow(1);
}

}  // namespace quorvel
