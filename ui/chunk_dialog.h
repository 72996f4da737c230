// The chunk command's dialog: how many data rows go into each piece, and
// whether each piece begins with the header row.
#pragma once

#include <cstdint>
#include <optional>

namespace quorvel::ui {

struct ChunkChoice {
    uint64_t rows = 0;
    bool headerLine = true;
};

// Shows the dialog modally: 1,000,000 rows and the header checked at
// first. Nothing when cancelled; OK with a row count that is no whole
// number from 1 on says so and keeps the dialog.
std::optional<ChunkChoice> AskChunkRows();

extern const char* const kChunkDialogClass;

}  // namespace quorvel::ui
