#include "core/text/text_encoding.h"

#include <algorithm>

#include "core/text/code_page_characters.h"
#include "core/text/utf8.h"

namespace quorvel {

namespace {

bool StartsWith(const char* bytes, size_t size, std::string_view prefix)
{
    return size >= prefix.size() && std::string_view(bytes, prefix.size()) == prefix;
}

// Fewer bytes than `prefix` has, all matching it.
bool MayStartWith(const char* bytes, size_t size, std::string_view prefix)
{
    return size < prefix.size() && std::string_view(bytes, size) == prefix.substr(0, size);
}

}  // namespace

EncodingDetector::Verdict EncodingDetector::Feed(const char* bytes, size_t size, bool whole)
{
    if (StartsWith(bytes, size, kUtf8ByteOrderMark)) return Verdict::kUtf8WithMark;
    if (StartsWith(bytes, size, "\xFF\xFE") || StartsWith(bytes, size, "\xFE\xFF")) return Verdict::kUtf16;
    if (!whole && (MayStartWith(bytes, size, kUtf8ByteOrderMark) || MayStartWith(bytes, size, "\xFF\xFE") ||
                   MayStartWith(bytes, size, "\xFE\xFF")))
        return Verdict::kUndecided;
    const auto* p = reinterpret_cast<const uint8_t*>(bytes);
    if (firstHigh_ == SIZE_MAX) {
        for (; scanned_ < size; ++scanned_) {
            if (p[scanned_] == 0) return Verdict::kFallback;  // the text ends here, all ASCII
            if (p[scanned_] > 0x7F) break;
        }
        if (scanned_ == size) return whole ? Verdict::kFallback : Verdict::kUndecided;
        firstHigh_ = scanned_;
    }
    // The window: 64 KiB from the first high byte, or to the end of the
    // text; a character that begins in it is read whole.
    const size_t windowEnd = firstHigh_ + kDetectionBytes;
    if (!whole && size < windowEnd + 3) return Verdict::kUndecided;
    for (size_t i = firstHigh_; i < std::min(size, windowEnd);) {
        if (p[i] == 0) break;  // the text ends here
        char32_t code;
        const size_t length = Utf8CharLength(p + i, size - i, code);
        if (length == 0) return Verdict::kFallback;
        i += length;
    }
    return Verdict::kUtf8;
}

EncodingDetector::Verdict DetectEncoding(std::string_view text)
{
    EncodingDetector detector;
    return detector.Feed(text.data(), text.size(), true);
}

FileEncoding EncodingOf(EncodingDetector::Verdict verdict, const EncodingChoice& choice, const std::string& path)
{
    using Verdict = EncodingDetector::Verdict;
    FileEncoding encoding{choice.fallback};
    if (!choice.detect) {
        // UTF-8 asked for: its mark still belongs to no cell.
        encoding.byteOrderMark = choice.fallback.IsUtf8() && verdict == Verdict::kUtf8WithMark;
        return encoding;
    }
    switch (verdict) {
    case Verdict::kUtf16: throw Utf16FileError(path);
    case Verdict::kUtf8WithMark: encoding.byteOrderMark = true; [[fallthrough]];
    case Verdict::kUtf8: encoding.codePage = CodePage::Utf8(); break;
    default: break;
    }
    return encoding;
}

uint64_t LineOfOffset(std::string_view text, size_t offset)
{
    uint64_t line = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
        } else if (text[i] == '\r') {
            ++line;
            if (i + 1 < offset && text[i + 1] == '\n') ++i;
        }
    }
    return line;
}

namespace {

void AppendUnconvertible(std::string& out, uint8_t byte, Unconvertible unconvertible)
{
    static const char kHex[] = "0123456789ABCDEF";
    switch (unconvertible) {
    case Unconvertible::kPercentHex:
        out.push_back('%');
        out.push_back(kHex[byte >> 4]);
        out.push_back(kHex[byte & 15]);
        break;
    case Unconvertible::kQuestionMark: out.push_back('?'); break;
    case Unconvertible::kReplacement: AppendUtf8(out, 0xFFFD); break;
    }
}

}  // namespace

std::string TextToUtf8(std::string_view text, const CodePage& codePage, Unconvertible unconvertible)
{
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    if (codePage.IsUtf8()) {
        for (size_t i = 0; i < n;) {
            char32_t code;
            const size_t length = Utf8CharLength(p + i, n - i, code);
            if (length == 0) {
                AppendUnconvertible(out, p[i++], unconvertible);
                continue;
            }
            out.append(text.substr(i, length));
            i += length;
        }
        return out;
    }
    const CodePageCharacters& characters = CodePageCharacters::Of(codePage);
    for (size_t i = 0; i < n;) {
        const bool pair = codePage.IsLeadByte(p[i]) && i + 1 < n;
        const uint16_t code = static_cast<uint16_t>(pair ? p[i] << 8 | p[i + 1] : p[i]);
        const char32_t c = characters.Decode(code);
        if (c == CodePageCharacters::kNone) {
            AppendUnconvertible(out, p[i], unconvertible);
            if (pair) AppendUnconvertible(out, p[i + 1], unconvertible);
        } else {
            AppendUtf8(out, c);
        }
        i += pair ? 2 : 1;
    }
    return out;
}

std::string Utf8ToText(std::string_view utf8, const CodePage& codePage, char substitute)
{
    if (codePage.IsUtf8()) return std::string(utf8);
    const CodePageCharacters& characters = CodePageCharacters::Of(codePage);
    std::string out;
    const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c;
        size_t length = Utf8CharLength(p + i, utf8.size() - i, c);
        const std::optional<uint16_t> code = length ? characters.Encode(c) : std::nullopt;
        if (length == 0) length = 1;
        if (!code) {
            if (substitute != 0) out.push_back(substitute);
            else out.append(utf8.substr(i, length));
        } else if (*code > 0xFF) {
            out.push_back(static_cast<char>(*code >> 8));
            out.push_back(static_cast<char>(*code & 0xFF));
        } else {
            out.push_back(static_cast<char>(*code));
        }
        i += length;
    }
    return out;
}

}  // namespace quorvel
