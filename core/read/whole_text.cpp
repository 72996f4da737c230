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

bool TakesTheStream(const std::string& path, FileSystem& files, size_t limit)
{
    constexpr uint64_t kWholeTextLimit = uint64_t{1} << 30;
    if (limit == ~size_t{0}) return false;
    uint64_t size = 0;
    const std::unique_ptr<InputFile> file = files.OpenForReading(path);
    return file && file->QuerySize(size) && size > kWholeTextLimit;
}

AdoptedText::AdoptedText(TokenList& tokens, const std::string& path, const EncodingChoice& choice, FileSystem& files,
                         const ReadProgressFunction& progress)
    : tokens_(tokens), stream_(path, files), bytes_(stream_.Bytes()),
      // The code page only matters from the first byte above 0x7F on; up
      // to there (or 64 KiB past it) the reading waits for the decision.
      encoding_(DecideEncoding(stream_, choice, path)),
      base_(tokens.Pool().AdoptBuffer(stream_.TakeBuffer(), stream_.Capacity())),
      sink_(tokens, base_, nullptr, stream_.Capacity())
{
    // A large file's references fill chunks that another thread has
    // readied, up to two ahead and no more than the rest of the text wants.
    if (stream_.Capacity() >= kPrefaultFrom) {
        refChunks_.emplace(TokenList::kRefChunkBytes, 2);
        tokens.SetRefSupply(&*refChunks_);
        sink_.SetRefChunks(&*refChunks_);
    }
    sink_.SetProgress(&progress);
}

void AdoptedText::Finish(size_t stop, const std::string& path)
{
    tokens_.SetRefSupply(nullptr);
    size_t size = 0;
    if (bytes_[stop] != 0) {
        stream_.StopReading();
        tokens_.SetCutShort(true);
        size = stop;
    } else {
        // The text may end at a 0x00 before the file does.
        size = stream_.WaitForAll() - 1;
    }
    if (encoding_.IsUtf8()) encoding_.firstInvalidLine = FirstInvalidUtf8Line(bytes_, size, encoding_.TextStart());
    tokens_.SetSourcePath(path);
    tokens_.SetEncoding(encoding_);
}

}  // namespace quorvel::whole
