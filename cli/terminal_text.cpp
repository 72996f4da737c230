#include "cli/terminal_text.h"

#include "system/system_services.h"
#include "core/text/text_encoding.h"

namespace quorvel {

std::string ToUtf8(std::string_view text, const CodePage& codePage)
{
    return TextToUtf8(text, codePage, Unconvertible::kQuestionMark);
}

std::string PathToUtf8(std::string_view path) { return PathFromSystem(path); }

std::string PathForTerminal(std::string_view path) { return PathToSystem(path); }

#ifdef _WIN32

std::string ForTerminal(std::string_view text, const CodePage&) { return std::string(text); }

std::string FromTerminal(std::string_view text, const CodePage& codePage)
{
    if (codePage.Number() == SystemCodePage().Number()) return std::string(text);
    return Utf8ToText(TextToUtf8(text, SystemCodePage(), Unconvertible::kQuestionMark), codePage);
}

#else

std::string ForTerminal(std::string_view text, const CodePage& codePage)
{
    if (codePage.IsUtf8()) return std::string(text);
    return ToUtf8(text, codePage);
}

std::string FromTerminal(std::string_view text, const CodePage& codePage) { return Utf8ToText(text, codePage); }

#endif

}  // namespace quorvel
