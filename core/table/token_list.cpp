#include "core/table/token_list.h"

namespace quorvel {

TokenList TokenList::FromStrings(const std::vector<std::string>& tokens)
{
    TokenList list;
    for (const std::string& token : tokens) list.Append(std::string_view(token));
    return list;
}

void TokenList::PadRecords(const uint32_t* widths, size_t records, uint32_t columns)
{
    ChunkedArray<TextRef> padded;
    size_t next = 0;
    for (size_t r = 0; r < records; ++r) {
        for (uint32_t f = 0; f < widths[r]; ++f) padded.push_back(refs_[next++]);
        for (uint32_t f = widths[r]; f < columns; ++f) padded.push_back(TextRef());
    }
    refs_ = std::move(padded);
}

std::vector<std::string> TokenList::ToStrings() const
{
    std::vector<std::string> out;
    out.reserve(size());
    for (size_t i = 0; i < size(); ++i) out.emplace_back((*this)[i]);
    return out;
}

}  // namespace quorvel
