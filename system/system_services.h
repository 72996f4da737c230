// The core's code page and collation bound to the running system's: what
// the window program, the command-line tool and the tests start from.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/text/codepage.h"
#include "core/interface/collation.h"

namespace quorvel {

// The code page of the system's text (Windows: the user locale's ANSI
// code page; elsewhere the configured one, 932 unless the build says).
const CodePage& SystemCodePage();

// A code page by its number; nullopt when the system does not know it.
std::optional<CodePage> CodePageByNumber(int number);

// The collation of the system's text: the user locale's with case ignored
// on Windows, the portable order for its code page elsewhere.
const Collation& NativeCollation();

// The collation for text in `codePage`: on Windows the user locale's,
// whatever the code page; elsewhere the portable one for that code page.
// On Windows the user locale's (over the characters, for UTF-8 text).
std::unique_ptr<Collation> CollationFor(const CodePage& codePage);

// Paths in the core are UTF-8, so that a piece's name can hold any
// character of its key. A path as the system gives it (Windows: in the ANSI
// code page; POSIX: bytes, taken as UTF-8) in UTF-8, and back for showing
// it where only the ANSI code page shows (a character it lacks as "?").
std::string PathFromSystem(std::string_view path);
std::string PathToSystem(std::string_view path);

}  // namespace quorvel
