// Naming the piece files of a split: the input's folder, its base name,
// "_", the key and ".csv".
#pragma once

#include <string>
#include <string_view>

#include "core/codepage.h"

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

// The folder part of P, its last separator included; empty when P has
// none. A byte that is the second byte of a character never separates.
std::string_view FolderPart(std::string_view path, const CodePage& codePage, PathStyle style);

// P without its extension: without the last "." that stands after every
// separator, and everything after it.
std::string_view StemPart(std::string_view path, const CodePage& codePage, PathStyle style);

// The key as it may appear in a file name: every byte that begins a
// character and is one of \ / : * ? " < > | or a control byte 0x01-0x1F
// becomes "_", as does a lead byte that ends the key without its second
// byte (it would take the "." of ".csv" as its own).
std::string FileNameSafeKey(std::string_view key, const CodePage& codePage);

// The full path of the piece for `key`: the stem of P, "_", the safe key
// and ".csv". It always lies in the folder of P.
std::string PieceFileName(std::string_view path, std::string_view key, const CodePage& codePage, PathStyle style);

}  // namespace quorvel
