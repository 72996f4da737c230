#include "core/read/whole_text.h"

#include <algorithm>

#include "core/text/utf8.h"

namespace quorvel::whole {

FileEncoding DecideEncoding(FileTextStream& stream, const EncodingChoice& choice, const std::string& path)
{
    EncodingDetector detector;
    size_t want = std::min<size_t>(stream.Capacity() + 1, size_t{1} << 16);
    for (;;) {
        const size_t readable = stream.WaitFor(want);
        const bool whole = stream.IsWhole();
        const auto verdict = detector.Feed(stream.Bytes(), whole ? readable - 1 : readable, whole);
        if (verdict != EncodingDetector::Verdict::kUndecided || whole) return EncodingOf(verdict, choice, path);
        want = std::min(stream.Capacity() + 1, readable + (size_t{1} << 20));
    }
}

uint64_t FirstInvalidUtf8Line(const char* bytes, size_t size, size_t start)
{
    const std::string_view text(bytes, size);
    const size_t end = text.find('\0', start);
    const std::string_view body = text.substr(0, end);
    const size_t bad = FirstInvalidUtf8(body.substr(start));
    return bad == std::string_view::npos ? 0 : LineOfOffset(body.substr(start), bad);
}

}  // namespace quorvel::whole
