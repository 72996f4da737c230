// What the core needs to know of a code page's characters: which Unicode
// character a byte sequence stands for. The core builds its tables from
// it once per code page; text is converted only to show it or to name a
// file.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// Decodes `text`, in code page `codePage`, into Unicode code points.
// False when any byte sequence of it is invalid or stands for no
// character; `out` is then unspecified. (Platform layer.)
bool DecodeCodePageText(int codePage, std::string_view text, std::u32string& out);

}  // namespace quorvel
