// Naming the piece files of a split: the input's folder, its base name,
// "_", the key and ".csv".
#pragma once

#include <string>
#include <string_view>

#include "core/codepage.h"
#include "core/path_parts.h"

namespace quorvel {

// The key as it may appear in a file name: every byte that begins a
// character and is one of \ / : * ? " < > | or a control byte 0x01-0x1F
// becomes "_", as does a lead byte that ends the key without its second
// byte (it would take the "." of ".csv" as its own).
std::string FileNameSafeKey(std::string_view key, const CodePage& codePage);

// The full path of the piece for `key`: the stem of P, "_", the safe key
// and ".csv". It always lies in the folder of P.
std::string PieceFileName(std::string_view path, std::string_view key, const CodePage& codePage, PathStyle style);

}  // namespace quorvel
