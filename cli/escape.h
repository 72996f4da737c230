// How the command-line tool prints bytes: printable ASCII stands for
// itself, every other byte (and "\" and ",") as \xHH.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::cli {

inline void AppendEscaped(std::string& out, std::string_view bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x21 && b <= 0x7E && b != '\\' && b != ',') {
            out.push_back(c);
        } else {
            out.append("\\x");
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 0x0F]);
        }
    }
}

}  // namespace quorvel::cli
