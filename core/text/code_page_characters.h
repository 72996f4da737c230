// Which Unicode character each code of a code page stands for, and back:
// a table built once per code page from the platform's decoder, so that
// names and collation keys convert without a system call per character.
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "core/text/codepage.h"

namespace quorvel {

class CodePageCharacters {
public:
    static constexpr char32_t kNone = 0xFFFFFFFF;

    // The table of a code page of one- and two-byte characters; built on
    // first use, shared and never changed after.
    static const CodePageCharacters& Of(const CodePage& codePage);

    // The character of a code: a single byte, or lead << 8 | trail.
    char32_t Decode(uint16_t code) const { return toUnicode_[code]; }

    // The code of a character, if the code page has it. Where several
    // codes stand for one character (NEC and IBM extensions of 932), the
    // one Windows writes: the lowest, NEC-selected IBM codes last.
    std::optional<uint16_t> Encode(char32_t character) const;

    explicit CodePageCharacters(const CodePage& codePage);

private:
    std::vector<char32_t> toUnicode_;
    std::unordered_map<char32_t, uint16_t> fromUnicode_;
};

}  // namespace quorvel
