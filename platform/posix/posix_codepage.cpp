// Code pages without an operating system that knows them: a table of the
// double-byte code pages and the single-byte ones we accept.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/system_codepage.h"

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

std::string IconvName(int number)
{
    if (number == 20127) return "ASCII";
    if (number >= 28591 && number <= 28606) return "ISO-8859-" + std::to_string(number - 28590);
    return "CP" + std::to_string(number);
}

}  // namespace

std::optional<CodePage> CodePageByNumber(int number)
{
    switch (number) {
    case 932: return CodePage::ShiftJis();
    case 936:
    case 949:
    case 950: return CodePage(number, {{0x81, 0xFE}});
    default: break;
    }
    if (IsKnownSingleByte(number)) return CodePage(number);
    return std::nullopt;
}

const CodePage& SystemCodePage()
{
    static const CodePage codePage = CodePageByNumber(QUORVEL_POSIX_CODEPAGE).value_or(CodePage::ShiftJis());
    return codePage;
}

std::string ToUtf8(std::string_view text, const CodePage& codePage)
{
    iconv_t cd = iconv_open("UTF-8", IconvName(codePage.Number()).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    std::string out;
    std::string input(text);
    char* in = input.data();
    size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out.push_back('?');
            ++in;
            --inLeft;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace quorvel

namespace quorvel {

std::string PathToUtf8(std::string_view path) { return std::string(path); }

}  // namespace quorvel
