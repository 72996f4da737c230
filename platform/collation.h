// The order in which the sort puts key texts: the user locale's order
// with case ignored on Windows, a portable order elsewhere.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "core/codepage.h"

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
int CompareSortKeys(std::string_view a, std::string_view b);

// The collation of the running system for its code page.
const Collation& NativeCollation();

// The collation for text in `codePage`: on Windows the user locale's,
// whatever the code page; elsewhere the portable one for that code page.
std::unique_ptr<Collation> CollationFor(const CodePage& codePage);

}  // namespace quorvel
