// Code pages without an operating system that knows them: a table of the
// double-byte code pages and the single-byte ones we accept; the system's
// is the one the build configures.
#include "code_page_table.h"

#ifndef QUORVEL_POSIX_CODEPAGE
#define QUORVEL_POSIX_CODEPAGE 932
#endif

namespace quorvel {

namespace {

bool IsKnownSingleByte(int n)
{
    return n == 437 || n == 720 || n == 737 || n == 775 || (n >= 850 && n <= 869) || n == 874 ||
           (n >= 1250 && n <= 1258) || n == 20127 || (n >= 28591 && n <= 28606);
}

}  // namespace

std::optional<CodePageTable> CodePageTableByNumber(int number)
{
    switch (number) {
    case 932: return CodePageTable{932, {{0x81, 0x9F}, {0xE0, 0xFC}}};  // Shift_JIS
    case 936:
    case 949:
    case 950: return CodePageTable{number, {{0x81, 0xFE}}};
    default: break;
    }
    if (IsKnownSingleByte(number)) return CodePageTable{number, {}};
    return std::nullopt;
}

CodePageTable SystemCodePageTable()
{
    return CodePageTableByNumber(QUORVEL_POSIX_CODEPAGE).value_or(CodePageTable{932, {{0x81, 0x9F}, {0xE0, 0xFC}}});
}

}  // namespace quorvel
