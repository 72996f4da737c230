// The column list's type-ahead search, without the window: characters typed
// less than 500 ms after the one before extend the search text, a longer
// pause starts it anew, a double-byte character counts whole (its two bytes
// arrive as two characters), Backspace takes off the last character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/codepage.h"
#include "core/interface/collation.h"

namespace quorvel::ui {

class ListTypeAhead {
public:
    static constexpr uint32_t kPauseMs = 500;
    static constexpr uint8_t kBackspace = 0x08;

    explicit ListTypeAhead(const CodePage& codePage) : codePage_(codePage) {}

    // One typed byte at `timeMs` (the message time, which wraps around).
    // True when the search text changed and the list should search again;
    // false for a lead byte still waiting for its second byte and for
    // control bytes, which are no part of a search.
    bool Type(uint8_t byte, uint32_t timeMs);

    const std::string& SearchText() const { return text_; }
    void Reset();

private:
    const CodePage& codePage_;
    std::string text_;
    int pendingLead_ = -1;
    uint32_t lastTime_ = 0;
    bool typedBefore_ = false;
};

// The index of the first entry that begins with `text`: the entry's first
// characters, as many as `text` has, compare equal to it by `collation`
// (the user locale's, case ignored). -1 when none does or `text` is empty.
int FindEntryStartingWith(const std::vector<std::string>& entries, std::string_view text, const CodePage& codePage,
                          const Collation& collation);

}  // namespace quorvel::ui
