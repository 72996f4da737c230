// Which encoding a CSV file is in, decided once for both front ends, and
// the conversions of its text to and from UTF-8 for names and display.
//
// A file that begins with EF BB BF is UTF-8. Otherwise ASCII reads the
// same either way, so the decision falls at the first byte above 0x7F:
// when the bytes from there on (64 KiB of them, or to the end of the
// text) are well-formed UTF-8, the file is UTF-8; else it is in the
// system's code page (Shift_JIS on Japanese Windows). A file that begins
// with FF FE or FE FF is UTF-16, which is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text/codepage.h"
#include "core/errors.h"

namespace quorvel {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// How a file's text was read.
struct FileEncoding {
    CodePage codePage;           // the system's (or the one asked for), or UTF-8's
    bool byteOrderMark = false;  // began with EF BB BF, which belongs to no cell
    // UTF-8: the line of the first byte sequence that is not UTF-8 (its
    // bytes are kept as they are); 0 when there is none.
    uint64_t firstInvalidLine = 0;

    bool IsUtf8() const { return codePage.IsUtf8(); }
    // Where the text begins: after the byte order mark.
    size_t TextStart() const { return byteOrderMark ? kUtf8ByteOrderMark.size() : 0; }
};

// How the encoding is chosen: detected, with `fallback` for a file that is
// not UTF-8, or `fallback` whatever the file holds.
struct EncodingChoice {
    CodePage fallback;
    bool detect = true;

    EncodingChoice(const CodePage& codePage, bool detectIt) : fallback(codePage), detect(detectIt) {}
    // A code page alone: that one, whatever the file holds.
    EncodingChoice(const CodePage& codePage) : EncodingChoice(codePage, false) {}  // NOLINT: implicit on purpose

    static EncodingChoice Detect(const CodePage& system) { return {system, true}; }
    static EncodingChoice Forced(const CodePage& codePage) { return {codePage, false}; }
};

// How much of a file the decision reads past the first byte above 0x7F.
inline constexpr size_t kDetectionBytes = size_t{64} << 10;

// Decides the encoding from the first bytes of a text, fed as they
// arrive. Each call gives the bytes readable so far from the start.
class EncodingDetector {
public:
    enum class Verdict { kUndecided, kFallback, kUtf8, kUtf8WithMark, kUtf16 };

    // `whole`: the text ends after `size` bytes. A 0x00 ends it too.
    Verdict Feed(const char* bytes, size_t size, bool whole);

private:
    size_t scanned_ = 0;           // bytes known to be ASCII before the first high one
    size_t firstHigh_ = SIZE_MAX;  // where the first byte above 0x7F stands
};

// The whole decision on a text that is all there.
EncodingDetector::Verdict DetectEncoding(std::string_view text);

// The encoding for a verdict under a choice; raises Utf16FileError
// (naming `path`) for UTF-16.
FileEncoding EncodingOf(EncodingDetector::Verdict verdict, const EncodingChoice& choice, const std::string& path);

// The line (from 1) on which byte `offset` of the text stands: CR LF, a
// lone CR and a lone LF each end a line.
uint64_t LineOfOffset(std::string_view text, size_t offset);

// What becomes of a byte sequence that is no character when text is
// converted to UTF-8.
enum class Unconvertible {
    kPercentHex,   // "%XX" per byte: readable and safe in a file name
    kQuestionMark, // "?" per byte, as a terminal shows it
    kReplacement,  // U+FFFD per byte
};

// Text of `encoding` (its code page) as UTF-8.
std::string TextToUtf8(std::string_view text, const CodePage& codePage, Unconvertible unconvertible);

// UTF-8 text in `codePage`; characters it lacks become `substitute`, or
// stay as the UTF-8 bytes they were (which match no text of that code
// page) when it is 0.
std::string Utf8ToText(std::string_view utf8, const CodePage& codePage, char substitute = 0);

}  // namespace quorvel
