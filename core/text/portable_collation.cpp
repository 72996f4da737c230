#include "core/text/portable_collation.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "core/text/code_page_characters.h"
#include "core/text/utf8.h"

namespace quorvel {

namespace {

enum WeightClass : uint8_t {
    kSymbol = 1,
    kDigit = 2,
    kLatin = 3,
    kOtherAlphabet = 4,
    kKana = 5,
    kKanji = 6,
    kOther = 7,
    // Characters that Shift_JIS lacks (UTF-8 text only): after all others,
    // by code point, the class byte taking the code point's plane.
    kBeyond = 8,
};

// Secondary weights.
enum Variant : uint8_t { kPlain = 0, kFullWidth = 1, kKatakana = 1, kHalfWidthKana = 2 };

struct Weight {
    uint8_t cls;
    uint16_t value;
    uint8_t variant;
};

// Half-width katakana 0xA6-0xDD as indexes of the kana syllabary (the
// position of the same kana among the full-width katakana 0x8340-0x8396).
// 0xB0 is the prolonged sound mark, a symbol; it is handled apart.
constexpr int kNoKana = -1;
constexpr int kHalfWidthToKana[0xDE - 0xA6] = {
    // ｦ ｧ ｨ ｩ ｪ ｫ ｬ ｭ ｮ ｯ
    81, 0, 2, 4, 6, 8, 66, 68, 70, 34,
    // ｰ
    kNoKana,
    // ｱ ｲ ｳ ｴ ｵ
    1, 3, 5, 7, 9,
    // ｶ ｷ ｸ ｹ ｺ ｻ ｼ ｽ ｾ ｿ
    10, 12, 14, 16, 18, 20, 22, 24, 26, 28,
    // ﾀ ﾁ ﾂ ﾃ ﾄ
    30, 32, 35, 37, 39,
    // ﾅ ﾆ ﾇ ﾈ ﾉ
    41, 42, 43, 44, 45,
    // ﾊ ﾋ ﾌ ﾍ ﾎ
    46, 49, 52, 55, 58,
    // ﾏ ﾐ ﾑ ﾒ ﾓ
    61, 62, 63, 64, 65,
    // ﾔ ﾕ ﾖ
    67, 69, 71,
    // ﾗ ﾘ ﾙ ﾚ ﾛ
    72, 73, 74, 75, 76,
    // ﾜ ﾝ
    78, 82,
};
constexpr int kKanaVu = 83;  // ヴ

// Only the plain kana that a half-width character can stand for reach
// these: ｶ-ﾄ (but ｯ), ﾊ-ﾎ and ｳ take the voiced mark, ﾊ-ﾎ the semi-voiced.
bool HasVoiced(int kana) { return (kana >= 10 && kana <= 39 && kana != 34) || (kana >= 46 && kana <= 58) || kana == 5; }
bool HasSemiVoiced(int kana) { return kana >= 46 && kana <= 58; }

Weight SingleByteWeight(uint8_t b)
{
    if (b >= '0' && b <= '9') return {kDigit, static_cast<uint16_t>(b - '0'), kPlain};
    if (b >= 'a' && b <= 'z') return {kLatin, static_cast<uint16_t>(b - 'a'), kPlain};
    if (b >= 'A' && b <= 'Z') return {kLatin, static_cast<uint16_t>(b - 'A'), kPlain};
    if (b < 0x80) return {kSymbol, b, kPlain};
    return {kOther, b, kPlain};
}

// A double-byte character of code page 932.
Weight ShiftJisWeight(uint16_t code)
{
    if (code >= 0x824F && code <= 0x8258) return {kDigit, static_cast<uint16_t>(code - 0x824F), kFullWidth};
    if (code >= 0x8260 && code <= 0x8279) return {kLatin, static_cast<uint16_t>(code - 0x8260), kFullWidth};
    if (code >= 0x8281 && code <= 0x829A) return {kLatin, static_cast<uint16_t>(code - 0x8281), kFullWidth};
    if (code >= 0x829F && code <= 0x82F1) return {kKana, static_cast<uint16_t>(code - 0x829F), kPlain};
    if (code >= 0x8340 && code <= 0x8396 && code != 0x837F)
        return {kKana, static_cast<uint16_t>(code < 0x837F ? code - 0x8340 : code - 0x8341), kKatakana};
    if (code >= 0x8140 && code <= 0x81FC) return {kSymbol, code, kPlain};
    if (code >= 0x839F && code <= 0x8491) return {kOtherAlphabet, code, kPlain};
    if (code >= 0x849F && code <= 0x87FC) return {kSymbol, code, kPlain};  // box drawing, NEC specials
    if (code >= 0x889F && code <= 0xFCFC) return {kKanji, code, kPlain};
    return {kOther, code, kPlain};
}

// Escapes in UTF-8 text transcoded to Shift_JIS: bytes that no Shift_JIS
// character written by the transcoding begins with.
constexpr uint8_t kBeyondEscape = 0xFF;   // then the code point, 3 bytes
constexpr uint8_t kInvalidEscape = 0xFE;  // then a byte that is no UTF-8

bool IsPlainSingleByte(uint16_t code) { return code < 0x80 || (code >= 0xA1 && code <= 0xDF); }

// UTF-8 text as the Shift_JIS bytes of its characters, so that it orders
// as the same text saved in Shift_JIS; characters that Shift_JIS lacks
// and bytes that are no UTF-8 are escaped.
void TranscodeToShiftJis(std::string_view text, std::string& out)
{
    static const CodePageCharacters& shiftJis = CodePageCharacters::Of(CodePage::ShiftJis());
    out.clear();
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t i = 0; i < text.size();) {
        char32_t c;
        const size_t length = Utf8CharLength(p + i, text.size() - i, c);
        if (length == 0) {
            out.push_back(static_cast<char>(kInvalidEscape));
            out.push_back(static_cast<char>(p[i++]));
            continue;
        }
        i += length;
        const std::optional<uint16_t> code = shiftJis.Encode(c);
        if (code && *code > 0xFF) {
            out.push_back(static_cast<char>(*code >> 8));
            out.push_back(static_cast<char>(*code & 0xFF));
        } else if (code && IsPlainSingleByte(*code)) {
            out.push_back(static_cast<char>(*code));
        } else {
            out.push_back(static_cast<char>(kBeyondEscape));
            out.push_back(static_cast<char>(c >> 16));
            out.push_back(static_cast<char>(c >> 8 & 0xFF));
            out.push_back(static_cast<char>(c & 0xFF));
        }
    }
}

}  // namespace

bool PortableCollation::AppendSortKey(std::string_view text, std::string& key) const
{
    if (!codePage_.IsUtf8()) return AppendKeyOf(text, key, false);
    thread_local std::string transcoded;
    TranscodeToShiftJis(text, transcoded);
    return AppendKeyOf(transcoded, key, true);
}

bool PortableCollation::AppendKeyOf(std::string_view text, std::string& key, bool escaped) const
{
    static const CodePage kShiftJis = CodePage::ShiftJis();
    const CodePage& codePage = escaped ? kShiftJis : codePage_;
    const bool shiftJis = escaped || codePage_.Number() == 932;
    const size_t start = key.size();
    std::string variants;
    auto put = [&](const Weight& w) {
        key.push_back(static_cast<char>(w.cls));
        key.push_back(static_cast<char>(w.value >> 8));
        key.push_back(static_cast<char>(w.value & 0xFF));
        variants.push_back(static_cast<char>(w.variant));
    };
    key.reserve(start + text.size() * 4 + 1);
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<uint8_t>(text[i]);
        if (escaped && b == kBeyondEscape && i + 3 < text.size()) {
            const auto at = [&](size_t k) { return static_cast<uint8_t>(text[i + k]); };
            put({static_cast<uint8_t>(kBeyond + at(1)), static_cast<uint16_t>(at(2) << 8 | at(3)), kPlain});
            i += 4;
            continue;
        }
        if (escaped && b == kInvalidEscape && i + 1 < text.size()) {
            put({kOther, static_cast<uint8_t>(text[i + 1]), kPlain});
            i += 2;
            continue;
        }
        if (codePage.IsLeadByte(b)) {
            if (i + 1 >= text.size()) {
                put({kOther, b, kPlain});  // a lead byte with nothing after it
                ++i;
                continue;
            }
            const uint16_t code = static_cast<uint16_t>((b << 8) | static_cast<uint8_t>(text[i + 1]));
            put(shiftJis ? ShiftJisWeight(code) : Weight{kOther, code, kPlain});
            i += 2;
            continue;
        }
        if (shiftJis && b >= 0xA1 && b <= 0xDF) {
            if (b == 0xB0) {
                put({kSymbol, 0x815B, kHalfWidthKana});  // ｰ beside ー
            } else if (b >= 0xA6 && b <= 0xDD) {
                int kana = kHalfWidthToKana[b - 0xA6];
                const uint8_t next = i + 1 < text.size() ? static_cast<uint8_t>(text[i + 1]) : 0;
                if (next == 0xDE && HasVoiced(kana)) {
                    kana = kana == 5 ? kKanaVu : kana + 1;
                    ++i;
                } else if (next == 0xDF && HasSemiVoiced(kana)) {
                    kana += 2;
                    ++i;
                }
                put({kKana, static_cast<uint16_t>(kana), kHalfWidthKana});
            } else {
                put({kSymbol, b, kHalfWidthKana});  // ｡｢｣､･ﾞﾟ
            }
            ++i;
            continue;
        }
        put(SingleByteWeight(b));
        ++i;
    }
    // Below every class byte, so that a text that is a prefix of another
    // sorts first; the secondary weights decide between equal primaries.
    key.push_back('\0');
    key += variants;
    return true;
}

int PortableCollation::CompareKeys(std::string_view a, std::string_view b) const
{
    std::string keyA, keyB;
    AppendSortKey(a, keyA);
    AppendSortKey(b, keyB);
    return CompareSortKeys(keyA, keyB);
}

}  // namespace quorvel
