// Code pages as Windows reports them.
#include <windows.h>

#include <cstdlib>

#include "platform/system_codepage.h"

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

std::optional<CodePage> CodePageByNumber(int number)
{
    CPINFO info;
    if (number <= 0 || !GetCPInfo(static_cast<UINT>(number), &info)) return std::nullopt;
    if (info.MaxCharSize > 2) return std::nullopt;  // UTF-8 and the like are neither
    CodePage codePage(number);
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
        codePage.MarkLeadRange(info.LeadByte[i], info.LeadByte[i + 1]);
    return codePage;
}

const CodePage& SystemCodePage()
{
    static const CodePage codePage = CodePageByNumber(UserAnsiCodePage()).value_or(CodePage(0));
    return codePage;
}

std::string ToUtf8(std::string_view text, const CodePage& codePage)
{
    if (text.empty()) return {};
    const UINT cp = static_cast<UINT>(codePage.Number());
    const int wide = MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (wide <= 0) return std::string(text);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(cp, 0, text.data(), static_cast<int>(text.size()), w.data(), wide);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, out.data(), bytes, nullptr, nullptr);
    return out;
}

}  // namespace quorvel

namespace quorvel {

std::string PathToUtf8(std::string_view path) { return ToUtf8(path, SystemCodePage()); }

}  // namespace quorvel
