#include "reference/csv_steps.h"

namespace quorvel::reference {

namespace {

constexpr char kDelimiter = ',';
constexpr char kQuote = '"';

bool IsBlank(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x01 && b <= 0x20;
}

// `text` is 0x00-terminated (a std::string's c_str()).
std::string ExtractQuotedValue(const char* text, const CodePage& codePage, size_t& p)
{
    const size_t c = p + 1;
    size_t scan = c;
    std::string value;
    for (;;) {
        size_t q = scan;
        // The first quote byte at or after the scan point that begins a
        // character, decided by counting lead bytes back to the scan point.
        while (text[q] != 0) {
            if (text[q] == kQuote && !codePage.IsSecondByte(std::string_view(text, q + 1), q, scan)) break;
            ++q;
        }
        if (text[q] == 0) {
            value.append(text + scan, q - scan);
            p = q;
            return value;
        }
        if (text[q + 1] == kQuote) {
            value.append(text + scan, q + 1 - scan);
            scan = q + 2;
            continue;
        }
        value.append(text + scan, q - scan);
        p = q + 1;
        return value;
    }
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    const std::string owned(text);
    const char* s = owned.c_str();
    size_t p = 0;
    while (s[p] != 0) {
        const size_t mark = p;
        while (s[p] != 0 && s[p] != '\n' && s[p] != '\r') ++p;
        lines.emplace_back(s + mark, p - mark);
        if (s[p] == '\r') ++p;
        if (s[p] == '\n') ++p;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    size_t length = 0;
    for (const std::string& line : lines) length += line.size() + 2;
    std::string text;
    text.reserve(length);
    for (const std::string& line : lines) text.append(line).append("\r\n");
    return text;
}

std::vector<std::string> SplitCommaText(const std::string& joined, const CodePage& codePage)
{
    std::vector<std::string> tokens;
    const char* text = joined.c_str();
    size_t p = 0;
    auto skipBlanks = [&] {
        while (IsBlank(text[p])) p = codePage.NextChar(text, p);
    };
    skipBlanks();
    while (text[p] != 0) {
        if (text[p] == kQuote) {
            tokens.push_back(ExtractQuotedValue(text, codePage, p));
        } else {
            const size_t start = p;
            while (static_cast<unsigned char>(text[p]) > 0x20 && text[p] != kDelimiter)
                p = codePage.NextChar(text, p);
            tokens.emplace_back(text + start, p - start);
        }
        skipBlanks();
        if (text[p] == kDelimiter) {
            if (text[codePage.NextChar(text, p)] == 0) tokens.emplace_back();
            p = codePage.NextChar(text, p);
            skipBlanks();
        }
    }
    return tokens;
}

std::vector<std::string> ReadTokens(std::string_view fileBytes, const CodePage& codePage)
{
    return SplitCommaText(JoinLines(SplitLines(fileBytes)), codePage);
}

}  // namespace quorvel::reference
