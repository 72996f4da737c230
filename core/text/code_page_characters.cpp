#include "core/text/code_page_characters.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "core/interface/text_conversion.h"

namespace quorvel {

namespace {

char32_t DecodeOne(int codePage, const char* bytes, size_t count)
{
    std::u32string decoded;
    if (!DecodeCodePageText(codePage, std::string_view(bytes, count), decoded) || decoded.size() != 1)
        return CodePageCharacters::kNone;
    return decoded[0];
}

// NEC-selected IBM extensions of 932 (leads 0xED, 0xEE) repeat the IBM
// ones (0xFA-0xFC); Windows writes the IBM codes.
bool IsSecondChoiceLead(int codePage, int lead) { return codePage == 932 && (lead == 0xED || lead == 0xEE); }

}  // namespace

CodePageCharacters::CodePageCharacters(const CodePage& codePage) : toUnicode_(0x10000, kNone)
{
    const int number = codePage.Number();
    toUnicode_[0] = 0;
    for (int b = 1; b < 0x100; ++b) {
        if (!codePage.IsLeadByte(static_cast<uint8_t>(b))) {
            const char one = static_cast<char>(b);
            toUnicode_[static_cast<size_t>(b)] = DecodeOne(number, &one, 1);
            continue;
        }
        for (int t = 1; t < 0x100; ++t) {
            const char two[2] = {static_cast<char>(b), static_cast<char>(t)};
            toUnicode_[static_cast<size_t>(b << 8 | t)] = DecodeOne(number, two, 2);
        }
    }
    for (int pass = 0; pass < 2; ++pass)
        for (uint32_t code = 0; code < 0x10000; ++code) {
            const char32_t c = toUnicode_[code];
            if (c == kNone || IsSecondChoiceLead(number, static_cast<int>(code >> 8)) != (pass == 1)) continue;
            fromUnicode_.try_emplace(c, static_cast<uint16_t>(code));
        }
}

std::optional<uint16_t> CodePageCharacters::Encode(char32_t character) const
{
    const auto it = fromUnicode_.find(character);
    if (it == fromUnicode_.end()) return std::nullopt;
    return it->second;
}

const CodePageCharacters& CodePageCharacters::Of(const CodePage& codePage)
{
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<CodePageCharacters>> tables;
    std::lock_guard<std::mutex> lock(mutex);
    std::unique_ptr<CodePageCharacters>& table = tables[codePage.Number()];
    if (!table) table = std::make_unique<CodePageCharacters>(codePage);
    return *table;
}

}  // namespace quorvel
