// Code page text decoded by MultiByteToWideChar, which refuses invalid and
// unmapped sequences when asked to.
#include <windows.h>

#include "text_conversion.h"

namespace quorvel {

bool DecodeCodePageText(int codePage, std::string_view text, std::u32string& out)
{
    out.clear();
    if (text.empty()) return true;
    const UINT cp = static_cast<UINT>(codePage);
    const int length = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (wide <= 0) return false;
    std::wstring units(static_cast<size_t>(wide), L'\0');
    if (MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, text.data(), length, units.data(), wide) != wide) return false;
    for (size_t i = 0; i < units.size(); ++i) {
        const char32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((u - 0xD800) << 10) + (static_cast<char32_t>(units[++i]) - 0xDC00));
            continue;
        }
        out.push_back(u);
    }
    return true;
}

}  // namespace quorvel
