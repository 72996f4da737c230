// The steps of UTF-8 text: how long a character is, whether a byte
// sequence is one, and how a code point is written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

// The length (1-4) of the well-formed UTF-8 character at `p`, of which
// `left` bytes can be read; 0 when the bytes there are no character
// (a stray continuation byte, an overlong form, a surrogate, a code point
// past U+10FFFF, or a sequence cut short). `code` receives its code point.
size_t Utf8CharLength(const uint8_t* p, size_t left, char32_t& code);

// True when the `left` bytes at `p` (fewer than the character needs) are
// well formed as far as they go: a character whose rest is not read yet.
bool IsUtf8Prefix(const uint8_t* p, size_t left);

// Writes a code point as UTF-8.
void AppendUtf8(std::string& out, char32_t code);

// The offset of the first byte that is not part of a well-formed UTF-8
// character, or npos when the whole text is UTF-8.
size_t FirstInvalidUtf8(std::string_view text);

// The number of UTF-16 units the UTF-8 text takes (a character past
// U+FFFF takes two); each byte that is no UTF-8 counts as one.
size_t Utf16Length(std::string_view utf8);

}  // namespace quorvel
