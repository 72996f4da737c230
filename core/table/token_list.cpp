#include "core/table/token_list.h"

namespace quorvel {

TokenList TokenList::FromStrings(const std::vector<std::string>& tokens)
{
    TokenList list;
    for (const std::string& token : tokens) list.Append(std::string_view(token));
    return list;
}

std::vector<std::string> TokenList::ToStrings() const
{
    std::vector<std::string> out;
    out.reserve(size());
    for (size_t i = 0; i < size(); ++i) out.emplace_back((*this)[i]);
    return out;
}

}  // namespace quorvel
