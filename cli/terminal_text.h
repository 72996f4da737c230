// Text of the file's code page for a terminal, and the command line's text
// for the file.
#pragma once

#include <string>
#include <string_view>

#include "core/text/codepage.h"

namespace quorvel {

// Text in the given code page as UTF-8. Bytes that do not convert are
// shown as "?".
std::string ToUtf8(std::string_view text, const CodePage& codePage);

// A cell as the terminal shows text: UTF-8 text as it is; other text as it
// is on Windows (the console shows the ANSI code page), converted to UTF-8
// elsewhere.
std::string ForTerminal(std::string_view text, const CodePage& codePage);

// Text from the command line in the file's code page: the command line is
// in the ANSI code page on Windows and UTF-8 elsewhere; what does not
// convert stays as it is.
std::string FromTerminal(std::string_view text, const CodePage& codePage);

// A path from the command line as UTF-8, the core's path text.
std::string PathToUtf8(std::string_view path);

// A path of the core (UTF-8) as the terminal shows paths: in the ANSI code
// page on Windows, as it is elsewhere.
std::string PathForTerminal(std::string_view path);

}  // namespace quorvel
