#include "core/split/piece_name.h"

#include "core/text/text_encoding.h"

namespace quorvel {

namespace {

bool IsForbiddenInName(uint8_t b)
{
    switch (b) {
    case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|': return true;
    default: return b >= 0x01 && b <= 0x1F;
    }
}

}  // namespace

std::string FileNameSafeKey(std::string_view key, const CodePage& codePage)
{
    std::string safe(key);
    for (size_t i = 0; i < safe.size();) {
        const auto b = static_cast<uint8_t>(safe[i]);
        if (codePage.IsLeadByte(b)) {
            if (i + 1 == safe.size()) safe[i] = '_';
            i += 2;
            continue;
        }
        if (IsForbiddenInName(b)) safe[i] = '_';
        ++i;
    }
    return safe;
}

std::string PieceFileName(std::string_view path, std::string_view key, const CodePage& codePage, PathStyle style)
{
    // The stem keeps the folder: only the file name part can lose an
    // extension, since a dot in a folder name has a separator after it.
    const std::string_view stem = StemPart(path, codePage, style);
    std::string piece;
    piece.reserve(stem.size() + key.size() + 5);
    piece.append(stem).append("_").append(FileNameSafeKey(key, codePage)).append(".csv");
    return piece;
}

std::string Utf8NameOfKey(std::string_view key, const CodePage& codePage)
{
    return TextToUtf8(FileNameSafeKey(key, codePage), codePage, Unconvertible::kPercentHex);
}

std::string Utf8PieceFileName(std::string_view path, std::string_view key, const CodePage& codePage,
                              PathStyle style)
{
    const std::string_view stem = StemPart(path, CodePage::Utf8(), style);
    std::string piece(stem);
    piece.append("_").append(Utf8NameOfKey(key, codePage)).append(".csv");
    return piece;
}

}  // namespace quorvel
