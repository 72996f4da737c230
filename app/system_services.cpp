#include "app/system_services.h"

#include "core/interface/code_page_table.h"
#include "core/portable_collation.h"

namespace quorvel {

const CodePage& SystemCodePage()
{
    static const CodePage codePage(SystemCodePageTable());
    return codePage;
}

std::optional<CodePage> CodePageByNumber(int number)
{
    if (const std::optional<CodePageTable> table = CodePageTableByNumber(number)) return CodePage(*table);
    return std::nullopt;
}

std::unique_ptr<Collation> CollationFor(const CodePage& codePage)
{
    if (std::unique_ptr<Collation> system = SystemCollation()) return system;
    return std::make_unique<PortableCollation>(codePage);
}

const Collation& NativeCollation()
{
    static const std::unique_ptr<Collation> collation = CollationFor(SystemCodePage());
    return *collation;
}

}  // namespace quorvel
