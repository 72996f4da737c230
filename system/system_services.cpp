#include "system/system_services.h"

#include "core/interface/code_page_table.h"
#include "core/text/portable_collation.h"
#include "core/text/text_encoding.h"

namespace quorvel {

const CodePage& SystemCodePage()
{
    static const CodePage codePage(SystemCodePageTable());
    return codePage;
}

std::optional<CodePage> CodePageByNumber(int number)
{
    if (number == CodePage::kUtf8Number) return CodePage::Utf8();
    if (const std::optional<CodePageTable> table = CodePageTableByNumber(number)) return CodePage(*table);
    return std::nullopt;
}

std::unique_ptr<Collation> CollationFor(const CodePage& codePage)
{
    if (std::unique_ptr<Collation> system = codePage.IsUtf8() ? SystemUtf8Collation() : SystemCollation())
        return system;
    return std::make_unique<PortableCollation>(codePage);
}

const Collation& NativeCollation()
{
    static const std::unique_ptr<Collation> collation = CollationFor(SystemCodePage());
    return *collation;
}

}  // namespace quorvel

namespace quorvel {

std::string PathFromSystem(std::string_view path)
{
#ifdef _WIN32
    return TextToUtf8(path, SystemCodePage(), Unconvertible::kQuestionMark);
#else
    return std::string(path);
#endif
}

std::string PathToSystem(std::string_view path)
{
#ifdef _WIN32
    return Utf8ToText(path, SystemCodePage(), '?');
#else
    return std::string(path);
#endif
}

}  // namespace quorvel
