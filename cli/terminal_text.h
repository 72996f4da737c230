// Text of the file's code page for a terminal that shows UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "core/codepage.h"

namespace quorvel {

// Text in the given code page as UTF-8. Bytes that do not convert are
// shown as "?".
std::string ToUtf8(std::string_view text, const CodePage& codePage);

// A cell as the terminal shows text: on Windows the console shows the
// ANSI code page as it is; elsewhere it is converted to UTF-8.
std::string ForTerminal(std::string_view text, const CodePage& codePage);

// Text from the command line in the file's code page: on Windows the
// command line comes in the ANSI code page already; elsewhere it is UTF-8
// and is converted (what does not convert stays as it is).
std::string FromTerminal(std::string_view text, const CodePage& codePage);

// A file path as UTF-8: on Windows paths are in the ANSI code page, on
// POSIX they are passed through as the terminal gave them.
std::string PathToUtf8(std::string_view path);

}  // namespace quorvel
