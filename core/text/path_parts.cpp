#include "core/text/path_parts.h"

namespace quorvel {

namespace {

// Position of the last byte of `path` for which `wanted` holds and that is
// no second byte of a character, or npos.
template <typename Predicate>
size_t FindLast(std::string_view path, const CodePage& codePage, Predicate wanted)
{
    for (size_t i = path.size(); i-- > 0;) {
        if (wanted(path[i]) && !codePage.IsSecondByte(path, i)) return i;
    }
    return std::string_view::npos;
}

}  // namespace

size_t LastSeparator(std::string_view path, const CodePage& codePage, PathStyle style)
{
    return FindLast(path, codePage, [&](char c) { return style.IsSeparator(c); });
}

std::string_view FolderPart(std::string_view path, const CodePage& codePage, PathStyle style)
{
    const size_t last = LastSeparator(path, codePage, style);
    return last == std::string_view::npos ? std::string_view() : path.substr(0, last + 1);
}

std::string_view StemPart(std::string_view path, const CodePage& codePage, PathStyle style)
{
    const size_t last = FindLast(path, codePage, [&](char c) { return c == '.' || style.IsSeparator(c); });
    if (last != std::string_view::npos && path[last] == '.') return path.substr(0, last);
    return path;
}

}  // namespace quorvel
