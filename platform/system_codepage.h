// Where the code page comes from: on Windows the ANSI code page of the
// user's locale; elsewhere a configured one (932 unless the build says
// otherwise).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/codepage.h"

namespace quorvel {

// The lead-byte table of a code page by its number; nullopt when the
// platform does not know the code page.
std::optional<CodePage> CodePageByNumber(int number);

const CodePage& SystemCodePage();

// Text in the given code page as UTF-8, for a terminal. Bytes that do not
// convert are shown as "?".
std::string ToUtf8(std::string_view text, const CodePage& codePage);

}  // namespace quorvel

namespace quorvel {

// A file path as UTF-8: on Windows paths are in the ANSI code page, on
// POSIX they are passed through as the terminal gave them.
std::string PathToUtf8(std::string_view path);

}  // namespace quorvel
