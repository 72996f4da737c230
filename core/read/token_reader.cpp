#include "core/read/token_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "core/read/csv_scanner.h"
#include "core/read/token_stream.h"
#include "core/text/utf8.h"

namespace quorvel {

namespace {

// The scanner's output: tokens appended to the list, views into its pool.
class ListSink {
public:
    ListSink(TokenList& tokens, uint64_t base, PrefaultedBuffers* refChunks, size_t textBytes)
        : tokens_(tokens), base_(base), refChunks_(refChunks), textBytes_(textBytes)
    {
    }
    void Source(const uint8_t*, size_t from, size_t to) { tokens_.Append(tokens_.Pool().RefAt(base_ + from, to - from)); }
    void Text(std::string_view text) { tokens_.Append(text); }
    void SourceWithCr(const uint8_t* s, size_t from, size_t to)
    {
        TextRef ref;
        char* out = tokens_.Pool().Extend(to - from + 1, ref);
        std::memcpy(out, s + from, to - from);
        out[to - from] = '\r';
        tokens_.Append(ref);
    }
    size_t Count() const { return tokens_.size(); }
    void Truncate(size_t) {}  // a whole text has no token cut short
    void Progress(size_t p)
    {
        ForeseeChunks(p);
        if (progress_ && *progress_) (*progress_)({p, textBytes_, tokens_.size()});
    }
    void SetProgress(const ReadProgressFunction* progress) { progress_ = progress; }

private:
    // The tokens to come, from those of the text so far, in chunks.
    void ForeseeChunks(size_t p)
    {
        constexpr double kChunkTokens = static_cast<double>(TokenList::kRefChunkBytes / sizeof(TextRef));
        if (!refChunks_ || p == 0) return;
        const double tokens = static_cast<double>(tokens_.size());
        const double rest = tokens / static_cast<double>(p) * static_cast<double>(textBytes_ > p ? textBytes_ - p : 0);
        const double room = kChunkTokens - std::fmod(tokens, kChunkTokens);
        // A little more than foreseen: a chunk too few only costs its faults here.
        const double more = (rest * 1.05 + 1024 - room) / kChunkTokens;
        refChunks_->ForeseeTakes(more > 0 ? static_cast<size_t>(std::ceil(more)) : 0);
    }

    TokenList& tokens_;
    uint64_t base_;
    PrefaultedBuffers* refChunks_;
    size_t textBytes_;
    const ReadProgressFunction* progress_ = nullptr;
};

}  // namespace

TokenList SplitCsvText(LoadedFile text, const CodePage& codePage, size_t start)
{
    TokenList tokens;
    const char* bytes = text.bytes.get();
    const size_t size = text.size;
    const uint64_t base = tokens.Pool().AdoptBuffer(std::move(text.bytes), size);
    ListSink sink(tokens, base, nullptr, 0);
    scan::CsvScanner<ListSink>(bytes, size, std::min(start, size), codePage, sink).Run();
    return tokens;
}

namespace {

constexpr size_t kPrefaultFrom = size_t{16} << 20;

// Waits for as many bytes as the decision on the encoding needs.
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

// UTF-8 that is not: the line of its first byte sequence, or 0.
uint64_t FirstInvalidUtf8Line(const char* bytes, size_t size, size_t start)
{
    const std::string_view text(bytes, size);
    const size_t end = text.find('\0', start);
    const std::string_view body = text.substr(0, end);
    const size_t bad = FirstInvalidUtf8(body.substr(start));
    return bad == std::string_view::npos ? 0 : LineOfOffset(body.substr(start), bad);
}

}  // namespace

TokenList ReadFirstCsvTokens(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                             size_t tokenLimit, const ReadProgressFunction& progress, size_t partBytes)
{
    CsvTokenStream stream(path, choice, files, partBytes);
    TokenList tokens;
    std::vector<std::string_view> part;
    bool more = false;
    while (stream.Next(part)) {
        const size_t room = tokenLimit - tokens.size();
        if (room == 0 && !part.empty()) {
            more = true;
            break;
        }
        const size_t take = std::min(part.size(), room);
        for (size_t i = 0; i < take; ++i) tokens.Append(part[i]);
        if (take < part.size()) {
            more = true;
            break;
        }
        if (progress) progress({stream.BytesDone(), stream.FileSize(), tokens.size()});
    }
    tokens.SetCutShort(more);
    tokens.SetSourcePath(path);
    tokens.SetEncoding(stream.Encoding());
    return tokens;
}

TokenList ReadCsvTokens(const std::string& path, const EncodingChoice& choice, FileSystem& files, size_t tokenLimit,
                        const ReadProgressFunction& progress)
{
    if (tokenLimit != ~size_t{0}) {
        constexpr uint64_t kWholeTextLimit = uint64_t{1} << 30;
        uint64_t size = 0;
        const std::unique_ptr<InputFile> file = files.OpenForReading(path);
        const bool big = file && file->QuerySize(size) && size > kWholeTextLimit;
        if (big) return ReadFirstCsvTokens(path, choice, files, tokenLimit, progress);
    }
    // The tokens are found while the file is still being read; the list
    // owns the buffer from the start, and outlives the stream that fills it.
    TokenList tokens;
    FileTextStream stream(path, files);
    const char* bytes = stream.Bytes();
    // The code page only matters from the first byte above 0x7F on; up to
    // there (or 64 KiB past it) the reading waits for the decision.
    FileEncoding encoding = DecideEncoding(stream, choice, path);
    const uint64_t base = tokens.Pool().AdoptBuffer(stream.TakeBuffer(), stream.Capacity());
    // A large file's references fill chunks that another thread has
    // readied, up to two ahead and no more than the rest of the text wants.
    std::optional<PrefaultedBuffers> refChunks;
    if (stream.Capacity() >= kPrefaultFrom) {
        refChunks.emplace(TokenList::kRefChunkBytes, 2);
        tokens.SetRefSupply(&*refChunks);
    }
    ListSink sink(tokens, base, refChunks ? &*refChunks : nullptr, stream.Capacity());
    sink.SetProgress(&progress);
    scan::CsvScanner<ListSink> scanner(stream, encoding.TextStart(), encoding.codePage, sink);
    scanner.StopAfter(tokenLimit);
    const size_t stop = scanner.Run();
    tokens.SetRefSupply(nullptr);
    size_t size = 0;
    if (bytes[stop] != 0) {
        // Stopped at the limit with more to come: the rest is not read.
        stream.StopReading();
        tokens.SetCutShort(true);
        size = stop;
    } else {
        // The text may end at a 0x00 before the file does; a read failing
        // after it still fails the load.
        size = stream.WaitForAll() - 1;
    }
    if (encoding.IsUtf8()) encoding.firstInvalidLine = FirstInvalidUtf8Line(bytes, size, encoding.TextStart());
    tokens.SetSourcePath(path);
    tokens.SetEncoding(encoding);
    return tokens;
}

}  // namespace quorvel
