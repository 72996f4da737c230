// Code-page rules: which bytes lead a double-byte character, and how text
// is stepped character by character. No text is ever converted; the code
// page only decides where a character begins.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/interface/code_page_table.h"

namespace quorvel {

class CodePage {
public:
    // A code page with no lead bytes (every single-byte code page).
    explicit CodePage(int number = 0);

    // Marks the lead-byte ranges given as inclusive pairs, as GetCPInfo
    // reports them.
    CodePage(int number, std::initializer_list<std::pair<uint8_t, uint8_t>> leadRanges);

    // The code page as the platform describes it.
    explicit CodePage(const CodePageTable& table);

    int Number() const { return number_; }
    bool IsDoubleByte() const { return doubleByte_; }
    // UTF-8 has no lead bytes in this sense: no byte of a character of
    // several bytes is below 0x80, so it is read byte by byte.
    bool IsUtf8() const { return number_ == kUtf8Number; }
    static constexpr int kUtf8Number = 65001;

    bool IsLeadByte(uint8_t byte) const { return lead_[byte]; }
    void MarkLeadRange(uint8_t first, uint8_t last);

    // The step over one character of a 0x00-terminated text: at the end it
    // stays, a lead byte followed by anything but the end takes that byte
    // as its second byte, every other byte is one character.
    size_t NextChar(const char* text, size_t position) const
    {
        const uint8_t b = static_cast<uint8_t>(text[position]);
        if (b == 0) return position;
        if (lead_[b] && text[position + 1] != 0) return position + 2;
        return position + 1;
    }

    // True when the byte at `position` is the second byte of a double-byte
    // character: the unbroken run of lead bytes directly before it, going
    // back no further than `scanStart`, has odd length.
    bool IsSecondByte(std::string_view text, size_t position, size_t scanStart = 0) const;

    // The 932 (Shift_JIS) table, independent of the platform.
    static CodePage ShiftJis();
    static CodePage Utf8() { return CodePage(kUtf8Number); }

private:
    int number_;
    bool doubleByte_ = false;
    std::array<bool, 256> lead_{};
};

}  // namespace quorvel
