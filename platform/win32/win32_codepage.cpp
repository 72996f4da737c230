// Code pages as Windows reports them.
#include <windows.h>

#include <cstdlib>

#include "code_page_table.h"

namespace quorvel {

namespace {

// The ANSI code page of the user's locale.
int UserAnsiCodePage()
{
    char number[8] = {};
    if (GetLocaleInfoA(GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, number, sizeof number) > 0) {
        const int value = std::atoi(number);
        if (value > 0) return value;
    }
    return static_cast<int>(GetACP());
}

}  // namespace

std::optional<CodePageTable> CodePageTableByNumber(int number)
{
    CPINFO info;
    if (number <= 0 || !GetCPInfo(static_cast<UINT>(number), &info)) return std::nullopt;
    if (info.MaxCharSize > 2) return std::nullopt;  // UTF-8 and the like are neither
    CodePageTable table{number, {}};
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
        table.leadRanges.emplace_back(info.LeadByte[i], info.LeadByte[i + 1]);
    return table;
}

CodePageTable SystemCodePageTable()
{
    return CodePageTableByNumber(UserAnsiCodePage()).value_or(CodePageTable{});
}

}  // namespace quorvel
