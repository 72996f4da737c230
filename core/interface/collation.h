// The order in which the sort puts key texts: the user locale's order
// with case ignored on Windows, a portable order elsewhere.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace quorvel {

class Collation {
public:
    virtual ~Collation() = default;

    // Negative when a sorts before b, 0 when they are equal, positive
    // after. A comparison that fails gives -2, which counts as less.
    virtual int CompareKeys(std::string_view a, std::string_view b) const = 0;

    // Appends a sort key of `text`: comparing two keys bytewise (a key
    // that is a prefix of the other first) gives the sign of CompareKeys.
    // False when no key can be made; the sort then compares the texts.
    virtual bool AppendSortKey(std::string_view text, std::string& key) const = 0;
};

// Three-way bytewise comparison of two sort keys.
inline int CompareSortKeys(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    const int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// The system's own collation of byte strings in its ANSI code page, the
// user locale's with case ignored; nullptr where the system has none for
// byte strings (POSIX). (Platform layer.)
std::unique_ptr<Collation> SystemCollation();

// The same order for UTF-8 text: the user locale's over its characters,
// which for every character of the ANSI code page is the order that text
// saved in that code page gets; nullptr where the system has none (POSIX).
// (Platform layer.)
std::unique_ptr<Collation> SystemUtf8Collation();

}  // namespace quorvel
