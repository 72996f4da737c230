// The core's code page and collation bound to the running system's: what
// the window program, the command-line tool and the tests start from.
#pragma once

#include <memory>
#include <optional>

#include "core/codepage.h"
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
std::unique_ptr<Collation> CollationFor(const CodePage& codePage);

}  // namespace quorvel
