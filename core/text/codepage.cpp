#include "core/text/codepage.h"

#include <algorithm>

namespace quorvel {

CodePage::CodePage(int number) : number_(number) {}

CodePage::CodePage(int number, std::initializer_list<std::pair<uint8_t, uint8_t>> leadRanges)
    : number_(number)
{
    for (const auto& range : leadRanges) MarkLeadRange(range.first, range.second);
}

CodePage::CodePage(const CodePageTable& table) : number_(table.number)
{
    for (const auto& range : table.leadRanges) MarkLeadRange(range.first, range.second);
}

void CodePage::MarkLeadRange(uint8_t first, uint8_t last)
{
    // Lead bytes of real double-byte code pages all lie above 0x7F; a byte
    // below that is never taken as one, so blanks, commas and quotes keep
    // their meaning whatever the table says.
    for (int b = std::max<int>(first, 0x80); b <= last; ++b) {
        lead_[static_cast<size_t>(b)] = true;
        doubleByte_ = true;
    }
}

bool CodePage::IsSecondByte(std::string_view text, size_t position, size_t scanStart) const
{
    if (!doubleByte_ || position > text.size()) return false;
    size_t run = 0;
    for (size_t i = position; i > scanStart && lead_[static_cast<uint8_t>(text[i - 1])]; --i) ++run;
    return (run & 1) != 0;
}

CodePage CodePage::ShiftJis()
{
    return CodePage(932, {{0x81, 0x9F}, {0xE0, 0xFC}});
}

}  // namespace quorvel
