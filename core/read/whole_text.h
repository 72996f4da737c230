// What the readers of a whole file share: the decision on the encoding
// while the text arrives, the line of its first bytes that are not UTF-8,
// and the sink that keeps fields and tokens as references into the text,
// which the list's pool has adopted. Internal to the readers.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/read/file_text.h"
#include "core/read/token_reader.h"
#include "core/table/token_list.h"
#include "core/text/text_encoding.h"

namespace quorvel::whole {

// Waits for as many bytes as the decision on the encoding needs.
FileEncoding DecideEncoding(FileTextStream& stream, const EncodingChoice& choice, const std::string& path);

// UTF-8 that is not: the line of its first byte sequence, or 0.
uint64_t FirstInvalidUtf8Line(const char* bytes, size_t size, size_t start);

// Where the references of a large file's list come from: chunks that
// another thread readies, as many as the text so far foretells.
constexpr size_t kPrefaultFrom = size_t{16} << 20;

// Texts appended to the list: references into its pool where they are the
// text's own bytes, copies where the scan rewrote them.
class ListSink {
public:
    ListSink(TokenList& tokens, uint64_t base, PrefaultedBuffers* refChunks, size_t textBytes)
        : tokens_(tokens), base_(base), refChunks_(refChunks), textBytes_(textBytes)
    {
    }
    void Source(const uint8_t*, size_t from, size_t to) { tokens_.Append(tokens_.Pool().RefAt(base_ + from, to - from)); }
    void Text(std::string_view text) { tokens_.Append(text); }
    // A view that may lie in the text (at `text`) or elsewhere.
    void View(const char* text, std::string_view view)
    {
        const auto offset = static_cast<size_t>(view.data() - text);
        if (view.data() >= text && offset < textBytes_) tokens_.Append(tokens_.Pool().RefAt(base_ + offset, view.size()));
        else tokens_.Append(view);
    }
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
    void Progress(size_t p, size_t records = 0)
    {
        ForeseeChunks(p);
        if (progress_ && *progress_) (*progress_)({p, textBytes_, tokens_.size(), records});
    }
    void SetProgress(const ReadProgressFunction* progress) { progress_ = progress; }
    void SetRefChunks(PrefaultedBuffers* refChunks) { refChunks_ = refChunks; }

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

// A file of more than a gigabyte read with a limit goes by the stream
// readers instead, so that the text of the rest is never held.
bool TakesTheStream(const std::string& path, FileSystem& files, size_t limit);

// A file's text, adopted by a list from the start of its reading, so that
// the scan finds the list's texts while the file is still arriving: the
// stream, the encoding decided on its first bytes, and the sink into the
// list. The list outlives it.
class AdoptedText {
public:
    AdoptedText(TokenList& tokens, const std::string& path, const EncodingChoice& choice, FileSystem& files,
                const ReadProgressFunction& progress);
    ~AdoptedText() { tokens_.SetRefSupply(nullptr); }
    AdoptedText(const AdoptedText&) = delete;
    AdoptedText& operator=(const AdoptedText&) = delete;

    FileTextStream& Stream() { return stream_; }
    const char* Bytes() const { return bytes_; }
    const FileEncoding& Encoding() const { return encoding_; }
    ListSink& Sink() { return sink_; }

    // The scan stopped at `stop`: with more to come (a limit reached) the
    // rest is not read and the list is cut short; else the file is read to
    // its end (a read failing after the text still fails). The list then
    // tells the file's path and encoding.
    void Finish(size_t stop, const std::string& path);

private:
    TokenList& tokens_;
    FileTextStream stream_;
    const char* bytes_;
    FileEncoding encoding_;
    uint64_t base_;
    std::optional<PrefaultedBuffers> refChunks_;
    ListSink sink_;
};

}  // namespace quorvel::whole
