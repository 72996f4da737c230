// UTF-8 text (the core's paths and UTF-8 cells) as UTF-16 for the wide
// functions; a byte sequence that is no UTF-8 becomes U+FFFD.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quorvel {

inline std::wstring WideFromUtf8(std::string_view utf8)
{
    if (utf8.empty()) return {};
    const int length = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), units);
    return wide;
}

}  // namespace quorvel
