#include "core/row_sort.h"

#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "core/errors.h"

namespace quorvel {

namespace {

struct Range {
    int64_t left;
    int64_t right;
    int depth;
};

void SiftDown(std::vector<uint32_t>& e, int64_t base, int64_t root, int64_t count, const EntryCompare& compare)
{
    for (;;) {
        int64_t child = 2 * root + 1;
        if (child >= count) return;
        if (child + 1 < count && compare(e[base + child], e[base + child + 1]) < 0) ++child;
        if (compare(e[base + root], e[base + child]) >= 0) return;
        std::swap(e[base + root], e[base + child]);
        root = child;
    }
}

void HeapSort(std::vector<uint32_t>& e, int64_t left, int64_t right, const EntryCompare& compare)
{
    const int64_t count = right - left + 1;
    for (int64_t i = count / 2 - 1; i >= 0; --i) SiftDown(e, left, i, count, compare);
    for (int64_t end = count - 1; end > 0; --end) {
        std::swap(e[left], e[left + end]);
        SiftDown(e, left, 0, end, compare);
    }
}

}  // namespace

void SortEntries(std::vector<uint32_t>& e, int64_t left, int64_t right, const EntryCompare& compare)
{
    if (right <= left) return;
    const int depthLimit = 2 * static_cast<int>(std::log2(static_cast<double>(right - left + 1))) + 16;
    std::vector<Range> pending{{left, right, 0}};
    while (!pending.empty()) {
        int64_t L = pending.back().left;
        const int64_t R = pending.back().right;
        int depth = pending.back().depth;
        pending.pop_back();
        while (L < R) {
            if (depth > depthLimit) {
                HeapSort(e, L, R, compare);
                break;
            }
            int64_t I = L;
            int64_t J = R;
            int64_t P = (L + R) / 2;
            do {
                // With a consistent order the pivot entry stops both scans;
                // the bounds keep an inconsistent one inside the range.
                while (I < R && compare(e[I], e[P]) < 0) ++I;
                while (J > L && compare(e[J], e[P]) > 0) --J;
                if (I <= J) {
                    std::swap(e[I], e[J]);
                    if (P == I) P = J;
                    else if (P == J) P = I;
                    ++I;
                    --J;
                }
            } while (I <= J);
            ++depth;
            // The parts are disjoint, so sorting the left one later gives
            // the same result as sorting it first.
            if (L < J) pending.push_back({L, J, depth});
            L = I;
        }
    }
}

void SortDataRows(CellTable& table, int32_t keyColumn, const Collation& collation)
{
    const int32_t n = table.RowCount() - 1;
    if (n >= 2) {
        // One sort key per row, all in one buffer; rows whose keys cannot
        // be made are compared through the collation itself.
        std::string keys;
        std::vector<size_t> keyStart(static_cast<size_t>(n) + 1);
        bool haveKeys = true;
        for (int32_t j = 0; j < n && haveKeys; ++j) {
            keyStart[static_cast<size_t>(j)] = keys.size();
            haveKeys = collation.AppendSortKey(table.ReadCell(keyColumn, j + 1), keys);
        }
        keyStart[static_cast<size_t>(n)] = keys.size();

        std::vector<uint32_t> entries(static_cast<size_t>(n));
        for (uint32_t j = 0; j < static_cast<uint32_t>(n); ++j) entries[j] = j;

        if (haveKeys) {
            const std::string_view all(keys);
            SortEntries(entries, 0, n - 1, [&](uint32_t a, uint32_t b) {
                return CompareSortKeys(all.substr(keyStart[a], keyStart[a + 1] - keyStart[a]),
                                       all.substr(keyStart[b], keyStart[b + 1] - keyStart[b]));
            });
        } else {
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
