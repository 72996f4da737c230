#include "ui/list_type_ahead.h"

namespace quorvel::ui {

namespace {

// Where each character of `text` begins, under the code page's lead bytes.
std::vector<size_t> CharacterStarts(std::string_view text, const CodePage& codePage)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size();) {
        starts.push_back(i);
        i += (codePage.IsLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size()) ? 2 : 1;
    }
    return starts;
}

}  // namespace

void ListTypeAhead::Reset()
{
    text_.clear();
    pendingLead_ = -1;
    typedBefore_ = false;
}

bool ListTypeAhead::Type(uint8_t byte, uint32_t timeMs)
{
    if (pendingLead_ >= 0) {
        // The second byte of the character whose lead byte came before:
        // one keystroke, so no pause is measured between them.
        text_.push_back(static_cast<char>(pendingLead_));
        text_.push_back(static_cast<char>(byte));
        pendingLead_ = -1;
        return true;
    }
    if (byte == kBackspace) {
        const std::vector<size_t> starts = CharacterStarts(text_, codePage_);
        if (!starts.empty()) text_.resize(starts.back());
        lastTime_ = timeMs;
        typedBefore_ = true;
        return true;
    }
    if (byte < 0x20) return false;
    // Unsigned difference: right across the wrap of the message clock.
    if (!typedBefore_ || timeMs - lastTime_ >= kPauseMs) text_.clear();
    lastTime_ = timeMs;
    typedBefore_ = true;
    if (codePage_.IsLeadByte(byte)) {
        pendingLead_ = byte;
        return false;
    }
    text_.push_back(static_cast<char>(byte));
    return true;
}

int FindEntryStartingWith(const std::vector<std::string>& entries, std::string_view text, const CodePage& codePage,
                          const Collation& collation)
{
    if (text.empty()) return -1;
    const size_t wanted = CharacterStarts(text, codePage).size();
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        const std::vector<size_t> starts = CharacterStarts(entry, codePage);
        if (starts.size() < wanted) continue;
        const size_t prefixEnd = wanted < starts.size() ? starts[wanted] : entry.size();
        if (collation.CompareKeys(std::string_view(entry).substr(0, prefixEnd), text) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

}  // namespace quorvel::ui
