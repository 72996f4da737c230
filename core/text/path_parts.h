// The parts of a path (folder, name, stem) under a code page: a "\" or
// ":" that is the second byte of a character (表 is 0x95 0x5C) never
// separates, and a "." that is one never starts an extension.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/text/codepage.h"

namespace quorvel {

// Which bytes separate the parts of a path.
struct PathStyle {
    bool backslashAndColon;  // Windows: "\" and ":"
    bool slash;              // POSIX: "/"

    static constexpr PathStyle Windows() { return {true, false}; }
    static constexpr PathStyle Posix() { return {false, true}; }
    static constexpr PathStyle Native()
    {
#ifdef _WIN32
        return Windows();
#else
        return Posix();
#endif
    }
    bool IsSeparator(char c) const { return (backslashAndColon && (c == '\\' || c == ':')) || (slash && c == '/'); }
};

// Position of the last separator of `path` that is no second byte of a
// character, or npos.
size_t LastSeparator(std::string_view path, const CodePage& codePage, PathStyle style);

// The folder part of P, its last separator included; empty when P has
// none. A byte that is the second byte of a character never separates.
std::string_view FolderPart(std::string_view path, const CodePage& codePage, PathStyle style);

// P without its extension: without the last "." that stands after every
// separator, and everything after it.
std::string_view StemPart(std::string_view path, const CodePage& codePage, PathStyle style);

}  // namespace quorvel
