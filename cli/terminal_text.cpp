#include "cli/terminal_text.h"

#ifdef _WIN32
#include <windows.h>

#include "app/system_services.h"
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace quorvel {

#ifdef _WIN32

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

std::string PathToUtf8(std::string_view path) { return ToUtf8(path, SystemCodePage()); }

std::string ForTerminal(std::string_view text, const CodePage&) { return std::string(text); }

std::string FromTerminal(std::string_view text, const CodePage&) { return std::string(text); }

#else

namespace {

std::string IconvName(int number)
{
    if (number == 20127) return "ASCII";
    if (number >= 28591 && number <= 28606) return "ISO-8859-" + std::to_string(number - 28590);
    return "CP" + std::to_string(number);
}

}  // namespace

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

std::string PathToUtf8(std::string_view path) { return std::string(path); }

std::string ForTerminal(std::string_view text, const CodePage& codePage) { return ToUtf8(text, codePage); }

std::string FromTerminal(std::string_view text, const CodePage& codePage)
{
    iconv_t cd = iconv_open(IconvName(codePage.Number()).c_str(), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
    std::string input(text);
    std::string out(input.size() * 2 + 4, '\0');
    char* in = input.data();
    size_t inLeft = input.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return std::string(text);
    out.resize(out.size() - outLeft);
    return out;
}

#endif

}  // namespace quorvel
