// Naming the piece files of a split: the input's folder, its base name,
// "_", the key and ".csv".
#pragma once

#include <string>
#include <string_view>

#include "core/text/codepage.h"
#include "core/text/path_parts.h"

namespace quorvel {

// The key as it may appear in a file name: every byte that begins a
// character and is one of \ / : * ? " < > | or a control byte 0x01-0x1F
// becomes "_", as does a lead byte that ends the key without its second
// byte (it would take the "." of ".csv" as its own).
std::string FileNameSafeKey(std::string_view key, const CodePage& codePage);

// The full path of the piece for `key`: the stem of P, "_", the safe key
// and ".csv". It always lies in the folder of P.
std::string PieceFileName(std::string_view path, std::string_view key, const CodePage& codePage, PathStyle style);

// The safe key (as FileNameSafeKey makes it under the text's code page) as
// characters in UTF-8, for a file system whose names are characters: a
// byte sequence that stands for no character becomes "%XX" per byte, so
// the name stays readable and never holds a byte the system would refuse.
std::string Utf8NameOfKey(std::string_view key, const CodePage& codePage);

// PieceFileName for a path in UTF-8 and a key in `codePage`: the stem of
// P, "_", the key's UTF-8 name and ".csv".
std::string Utf8PieceFileName(std::string_view path, std::string_view key, const CodePage& codePage,
                              PathStyle style);

}  // namespace quorvel
