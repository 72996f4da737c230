#include "core/read/token_stream.h"

#include <algorithm>
#include <cstring>

#include "core/read/csv_scanner.h"

namespace quorvel {

// One part's tokens: spans of the buffer, or of scratch space for the few
// that the scan rewrites.
struct CsvTokenStream::PartTokens {
    static constexpr size_t kInScratch = size_t{1} << (8 * sizeof(size_t) - 1);
    struct Span {
        size_t offset;  // kInScratch set: in `scratch`
        size_t length;
    };
    std::vector<Span> spans;
    std::string scratch;

    void Source(const uint8_t*, size_t from, size_t to) { spans.push_back({from, to - from}); }
    void Text(std::string_view text)
    {
        spans.push_back({kInScratch | scratch.size(), text.size()});
        scratch.append(text);
    }
    void SourceWithCr(const uint8_t* s, size_t from, size_t to)
    {
        spans.push_back({kInScratch | scratch.size(), to - from + 1});
        scratch.append(reinterpret_cast<const char*>(s) + from, to - from);
        scratch.push_back('\r');
    }
    size_t Count() const { return spans.size(); }
    void Truncate(size_t count) { spans.resize(count); }
    void Progress(size_t) {}

    void Views(const char* text, std::vector<std::string_view>& tokens) const
    {
        tokens.clear();
        tokens.reserve(spans.size());
        for (const Span& span : spans) {
            const char* base = (span.offset & kInScratch) ? scratch.data() + (span.offset & ~kInScratch) : text + span.offset;
            tokens.emplace_back(base, span.length);
        }
    }
};

CsvTokenStream::CsvTokenStream(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                               size_t partBytes, uint32_t lineColumns)
    : parts_(path, choice, files, partBytes), lines_(lineColumns), tokens_(std::make_unique<PartTokens>())
{
}

CsvTokenStream::~CsvTokenStream() = default;

bool CsvTokenStream::Next(std::vector<std::string_view>& tokens)
{
    tokens.clear();
    while (!parts_.Ended()) {
        if (scanned_) parts_.Advance();
        scanned_ = true;
        tokens_->spans.clear();
        tokens_->scratch.clear();
        const bool partial = parts_.Partial();
        scan::CsvScanner<PartTokens> scanner(parts_.Bytes(), parts_.Size(), parts_.Start(), parts_.Encoding().codePage,
                                             *tokens_, partial);
        if (lines_.On()) scanner.CheckLines(&lines_);
        const size_t stop = scanner.Run();
        // The views first: once the text has ended, Used reads on past it.
        tokens_->Views(parts_.Bytes(), tokens);
        parts_.Used(stop);
        // A text that ends at a 0x00 before the file does ends in a part
        // scanned as partial; the scan of a last part tells its end itself.
        if (parts_.Ended() && partial && lines_.On()) lines_.End(0);
        if (!tokens.empty()) return true;
    }
    return false;
}

}  // namespace quorvel
