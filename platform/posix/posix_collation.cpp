#include "platform/portable_collation.h"
#include "platform/system_codepage.h"

namespace quorvel {

const Collation& NativeCollation()
{
    static const PortableCollation collation(SystemCodePage());
    return collation;
}

std::unique_ptr<Collation> CollationFor(const CodePage& codePage)
{
    return std::make_unique<PortableCollation>(codePage);
}

}  // namespace quorvel
