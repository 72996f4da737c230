// Which code page the system's text is in, and where its double-byte
// characters begin: the platform tells, the core's CodePage holds it.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace quorvel {

struct CodePageTable {
    int number = 0;
    // Inclusive ranges of lead bytes, as GetCPInfo reports them; none for
    // a single-byte code page.
    std::vector<std::pair<uint8_t, uint8_t>> leadRanges;
};

// The code page of the running system: the ANSI code page of the user's
// locale on Windows, the configured one elsewhere. (Platform layer.)
CodePageTable SystemCodePageTable();

// A code page by its number; nullopt when the platform does not know it
// or it is no code page of one- and two-byte characters. (Platform layer.)
std::optional<CodePageTable> CodePageTableByNumber(int number);

}  // namespace quorvel
