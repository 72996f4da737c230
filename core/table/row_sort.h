// Sorting the data rows of the table by one key column, ascending, header
// row in place. Not stable: rows with equal keys come out in the order
// that the partition scheme of `SortEntries` gives, exactly reproducibly.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "core/table/cell_table.h"
#include "core/interface/collation.h"

namespace quorvel {

// Three-way comparison of the keys of two entries.
using EntryCompare = std::function<int(uint32_t, uint32_t)>;

// Sorts entries[left..right] in place: a quicksort whose partition pass
// follows its middle pivot entry through the exchanges, the left part
// taken first. Ranges go on an explicit stack, and a range that lies
// deeper than 2 log2(n) + 16 partitions is heap-sorted instead, so that
// no input costs quadratic time or deep recursion.
// `compare` is any three-way comparison of two entries (EntryCompare or a
// plain function object, which the compiler can inline).
namespace detail {

struct Range {
    int64_t left;
    int64_t right;
    int depth;
};

template <typename Entries, typename Compare>
void SiftDown(Entries& e, int64_t base, int64_t root, int64_t count, const Compare& compare)
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

template <typename Entries, typename Compare>
void HeapSort(Entries& e, int64_t left, int64_t right, const Compare& compare)
{
    const int64_t count = right - left + 1;
    for (int64_t i = count / 2 - 1; i >= 0; --i) SiftDown(e, left, i, count, compare);
    for (int64_t end = count - 1; end > 0; --end) {
        std::swap(e[left], e[left + end]);
        SiftDown(e, left, 0, end, compare);
    }
}

}  // namespace detail

template <typename Entries, typename Compare>
void SortEntries(Entries& e, int64_t left, int64_t right, const Compare& compare)
{
    if (right <= left) return;
    const int depthLimit = 2 * static_cast<int>(std::log2(static_cast<double>(right - left + 1))) + 16;
    std::vector<detail::Range> pending{{left, right, 0}};
    while (!pending.empty()) {
        int64_t L = pending.back().left;
        const int64_t R = pending.back().right;
        int depth = pending.back().depth;
        pending.pop_back();
        while (L < R) {
            if (depth > depthLimit) {
                detail::HeapSort(e, L, R, compare);
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

// Reorders rows 1 .. RowCount - 1 by their cells in `keyColumn`; every
// stored cell of a row travels with it. Ends by making row 1 the current
// row, which raises TableIndexError when the table has no data row.
void SortDataRows(CellTable& table, int32_t keyColumn, const Collation& collation);

}  // namespace quorvel
