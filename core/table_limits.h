// The table's limits, defined once for the readers, the table, the split,
// the messages and both front ends.
#pragma once

#include <cstdint>

namespace quorvel {

// Rows the table holds, the header row among them.
constexpr int32_t MaxTableRows = 1048560;
// Columns a table can be given.
constexpr int32_t MaxTableColumns = 255;

}  // namespace quorvel
