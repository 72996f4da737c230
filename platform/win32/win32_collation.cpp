// The user locale's collation, case ignored: CompareStringA, and sort keys
// from LCMapStringA that order the same way.
#include <windows.h>

#include "collation.h"

namespace quorvel {

namespace {

class Win32Collation final : public Collation {
public:
    int CompareKeys(std::string_view a, std::string_view b) const override
    {
        const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                          b.data(), static_cast<int>(b.size()));
        return result == 0 ? -2 : result - 2;
    }

    bool AppendSortKey(std::string_view text, std::string& key) const override
    {
        if (text.empty()) return true;  // the empty text sorts before every other
        const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
        const int length = static_cast<int>(text.size());
        const int needed = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), length, nullptr, 0);
        if (needed <= 0) return false;
        const size_t at = key.size();
        key.resize(at + static_cast<size_t>(needed));
        const int made = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), length, &key[at], needed);
        if (made <= 0) return false;
        // The key ends in 0x00, which would only tie with a longer key.
        key.resize(at + static_cast<size_t>(made) - (key[at + static_cast<size_t>(made) - 1] == '\0' ? 1 : 0));
        return true;
    }
};

}  // namespace

std::unique_ptr<Collation> SystemCollation() { return std::make_unique<Win32Collation>(); }

}  // namespace quorvel
