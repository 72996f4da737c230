// The folder and base name of the running executable, found the way the
// help commands need them: a "\" or ":" that is the second byte of a
// character (表 is 0x95 0x5C) never cuts the path.
#pragma once

#include <string>
#include <string_view>

#include "core/text/codepage.h"

namespace quorvel::ui {

// The folder of the executable without a trailing separator, except at a
// drive root (C:\Tools\Quorvel.exe gives C:\Tools, C:\Quorvel.exe C:\).
std::string AppDirOf(std::string_view exePath, const CodePage& codePage);

// The executable's name without its last extension (a.b.exe gives a.b).
std::string ExeBaseNameOf(std::string_view exePath, const CodePage& codePage);

// The user's guide beside the executable: AppDir then "/Readme.txt".
std::string GuidePath(std::string_view appDir);

// The information page for the executable's base name, unescaped.
std::string InfoPageAddress(std::string_view baseName);

}  // namespace quorvel::ui
