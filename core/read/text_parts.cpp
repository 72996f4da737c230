#include "core/read/text_parts.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/errors.h"
#include "core/text/utf8.h"

namespace quorvel {

void LineCounter::Feed(std::string_view bytes)
{
    if (bytes.empty()) return;
    // A CR LF split between two pieces is one line end.
    if (afterCr_ && bytes.front() == '\n') bytes.remove_prefix(1);
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p))))) {
        ++line_;
        ++p;
    }
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) ++line_;
    afterCr_ = bytes.back() == '\r';
}

TextParts::TextParts(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                               size_t partBytes)
    : path_(path), files_(files), file_(files.OpenForReading(path)), encoding_{choice.fallback}
{
    if (!file_ || !file_->QuerySize(fileSize_)) throw FileOpenError(path);
    readAhead_ = std::make_unique<ReadAhead>(*file_, fileSize_);
    capacity_ = std::max<size_t>(partBytes, 64);
    buffer_ = AllocateBuffer(capacity_ + 1);
    Fill();
    DecideEncoding(choice);
    start_ = encoding_.TextStart();
}

// Reads until the buffer is full or the file, as its size said, is read.
void TextParts::Fill()
{
    while (!endOfFile_ && filled_ < capacity_) {
        const uint64_t left = fileSize_ - readTotal_;
        const size_t request = static_cast<size_t>(std::min<uint64_t>(capacity_ - filled_, left));
        size_t got = 0;
        if (request > 0 && !readAhead_->Read(buffer_.get() + filled_, request, got)) throw FileOpenError(path_);
        filled_ += got;
        readTotal_ += got;
        // A file that shrank gives the bytes that came.
        if (got == 0 || readTotal_ == fileSize_) endOfFile_ = true;
    }
    buffer_[filled_] = '\0';
}

void TextParts::Grow()
{
    ByteBuffer larger = AllocateBuffer(2 * capacity_ + 1);
    std::memcpy(larger.get(), buffer_.get(), filled_);
    buffer_ = std::move(larger);
    capacity_ *= 2;
}

// The decision needs the bytes up to 64 KiB past the first one above 0x7F,
// which may lie beyond the first part.
void TextParts::DecideEncoding(const EncodingChoice& choice)
{
    EncodingDetector detector;
    for (;;) {
        const auto verdict = detector.Feed(buffer_.get(), filled_, endOfFile_);
        if (verdict != EncodingDetector::Verdict::kUndecided || endOfFile_) {
            encoding_ = EncodingOf(verdict, choice, path_);
            return;
        }
        Grow();
        Fill();
    }
}

void TextParts::Advance()
{
    std::memmove(buffer_.get(), buffer_.get() + start_, filled_ - start_);
    filled_ -= start_;
    partOffset_ += start_;
    start_ = 0;
    if (filled_ == capacity_) Grow();  // one token longer than the part
    Fill();
}

void TextParts::Used(size_t stop)
{
    // A scan never stops at a 0x00 but where the text ends.
    ended_ = !Partial() || (stop < filled_ && buffer_[stop] == '\0');
    if (encoding_.IsUtf8()) NoteInvalidUtf8(std::string_view(buffer_.get() + start_, stop - start_), partOffset_ + start_);
    start_ = stop;
    if (!ended_) return;
    ReadToTheEnd();
    if (firstInvalidOffset_ != UINT64_MAX) encoding_.firstInvalidLine = LineOfFileOffset(firstInvalidOffset_);
}

void TextParts::NoteInvalidUtf8(std::string_view text, uint64_t offset)
{
    if (firstInvalidOffset_ != UINT64_MAX) return;
    const size_t bad = FirstInvalidUtf8(text);
    if (bad != std::string_view::npos) firstInvalidOffset_ = offset + bad;
}

// The line of a byte of the text, by one more pass over the file: only
// for a UTF-8 file that holds bytes that are not.
uint64_t TextParts::LineOfFileOffset(uint64_t offset)
{
    std::unique_ptr<InputFile> file = files_.OpenForReading(path_);
    if (!file) throw FileOpenError(path_);
    std::vector<char> block(size_t{1} << 20);
    LineCounter lines;
    uint64_t at = 0;
    const uint64_t textStart = encoding_.TextStart();
    while (at < offset) {
        size_t got = 0;
        if (!file->Read(block.data(), block.size(), got)) throw FileOpenError(path_);
        if (got == 0) break;
        const uint64_t from = std::max(at, textStart), to = std::min(at + got, offset);
        if (from < to) lines.Feed(std::string_view(block.data() + (from - at), static_cast<size_t>(to - from)));
        at += got;
    }
    return lines.Line();
}

// The text may end at a 0x00 before the file does; a read failing after
// it still fails the reading, as it does for a whole file.
void TextParts::ReadToTheEnd()
{
    std::vector<char> block(endOfFile_ ? 0 : size_t{64} << 10);
    while (!endOfFile_) {
        size_t got = 0;
        const size_t request = static_cast<size_t>(std::min<uint64_t>(block.size(), fileSize_ - readTotal_));
        if (!readAhead_->Read(block.data(), request, got)) throw FileOpenError(path_);
        readTotal_ += got;
        if (got == 0 || readTotal_ == fileSize_) endOfFile_ = true;
    }
    // Done: every byte of the file counts as used.
    partOffset_ = readTotal_;
    start_ = 0;
}

}  // namespace quorvel
