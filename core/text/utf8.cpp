#include "core/text/utf8.h"

#include <cstring>

namespace quorvel {

namespace {

// The bytes that may follow a first byte: the second byte's range is
// narrower for E0, ED, F0 and F4, which rules out overlong forms,
// surrogates and code points past U+10FFFF.
struct LeadRule {
    uint8_t length;
    uint8_t secondLow;
    uint8_t secondHigh;
};

LeadRule RuleOf(uint8_t b)
{
    if (b < 0x80) return {1, 0, 0};
    if (b < 0xC2) return {0, 0, 0};
    if (b < 0xE0) return {2, 0x80, 0xBF};
    if (b == 0xE0) return {3, 0xA0, 0xBF};
    if (b == 0xED) return {3, 0x80, 0x9F};
    if (b < 0xF0) return {3, 0x80, 0xBF};
    if (b == 0xF0) return {4, 0x90, 0xBF};
    if (b < 0xF4) return {4, 0x80, 0xBF};
    if (b == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

}  // namespace

size_t Utf8CharLength(const uint8_t* p, size_t left, char32_t& code)
{
    if (left == 0) return 0;
    const LeadRule rule = RuleOf(p[0]);
    if (rule.length == 0 || left < rule.length) return 0;
    if (rule.length == 1) {
        code = p[0];
        return 1;
    }
    if (p[1] < rule.secondLow || p[1] > rule.secondHigh) return 0;
    char32_t value = p[0] & (0x7F >> rule.length);
    for (size_t k = 1; k < rule.length; ++k) {
        if (!IsContinuation(p[k])) return 0;
        value = value << 6 | (p[k] & 0x3F);
    }
    code = value;
    return rule.length;
}

bool IsUtf8Prefix(const uint8_t* p, size_t left)
{
    if (left == 0) return true;
    const LeadRule rule = RuleOf(p[0]);
    if (rule.length <= 1 || left >= rule.length) return false;
    if (left >= 2 && (p[1] < rule.secondLow || p[1] > rule.secondHigh)) return false;
    for (size_t k = 2; k < left; ++k)
        if (!IsContinuation(p[k])) return false;
    return true;
}

void AppendUtf8(std::string& out, char32_t code)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | code >> 6));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | code >> 12));
        out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | code >> 18));
        out.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

size_t FirstInvalidUtf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        // Runs of ASCII, the common case, eight bytes at a time.
        while (i + 8 <= n) {
            uint64_t word;
            std::memcpy(&word, p + i, sizeof word);
            if (word & 0x8080808080808080ull) break;
            i += 8;
        }
        if (i >= n) break;
        char32_t code;
        const size_t length = Utf8CharLength(p + i, n - i, code);
        if (length == 0) return i;
        i += length;
    }
    return std::string_view::npos;
}

size_t Utf16Length(std::string_view utf8)
{
    const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
    size_t units = 0;
    for (size_t i = 0; i < utf8.size();) {
        char32_t code;
        const size_t length = Utf8CharLength(p + i, utf8.size() - i, code);
        units += length != 0 && code >= 0x10000 ? 2 : 1;
        i += length != 0 ? length : 1;
    }
    return units;
}

}  // namespace quorvel
