// A file's text a part at a time, for the readers that stream: each part
// is scanned to the end of its last whole token or record, and the next
// part takes up after what the scan used. Memory does not grow with the
// file, only with the longest token.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/read/read_ahead.h"
#include "core/text/text_encoding.h"
#include "core/interface/byte_buffer.h"
#include "core/interface/file_system.h"

namespace quorvel {

// How much of the file one part holds; a token longer than that makes the
// part grow to hold it.
inline constexpr size_t kStreamPartBytes = size_t{4} << 20;

class TextParts {
public:
    // Opens the file, takes its size, reads the first part and decides the
    // encoding as the whole-file readers do. Raises FileOpenError or
    // Utf16FileError.
    TextParts(const std::string& path, const EncodingChoice& choice, FileSystem& files,
              size_t partBytes = kStreamPartBytes);

    // The part: bytes [Start(), Size()) of Bytes() to scan, followed by a
    // 0x00 byte. Partial(): the text goes on after it.
    const char* Bytes() const { return buffer_.get(); }
    size_t Size() const { return filled_; }
    size_t Start() const { return start_; }
    bool Partial() const { return !endOfFile_; }

    // The scan of the part used its bytes up to `stop`. Once the text has
    // ended (the file's end or its first 0x00) the file is read to its end,
    // so that a read failing after the text still fails. Raises
    // FileOpenError.
    void Used(size_t stop);
    bool Ended() const { return ended_; }

    // The next part: the used bytes dropped, more read after the rest (and
    // the part grown when the scan could use none of it).
    void Advance();

    // Its first line that is not UTF-8 is known once the text has ended.
    const FileEncoding& Encoding() const { return encoding_; }
    uint64_t FileSize() const { return fileSize_; }
    // How many bytes of the file the scans have used.
    uint64_t BytesDone() const { return partOffset_ + start_; }

private:
    void Fill();
    void Grow();
    void DecideEncoding(const EncodingChoice& choice);
    void NoteInvalidUtf8(std::string_view text, uint64_t offset);
    uint64_t LineOfFileOffset(uint64_t offset);
    void ReadToTheEnd();

    std::string path_;
    FileSystem& files_;
    std::unique_ptr<InputFile> file_;
    std::unique_ptr<ReadAhead> readAhead_;  // declared after the file, which it reads: gone first
    uint64_t fileSize_ = 0;
    uint64_t readTotal_ = 0;
    bool endOfFile_ = false;

    ByteBuffer buffer_;
    size_t capacity_ = 0;
    size_t filled_ = 0;
    uint64_t partOffset_ = 0;  // where the buffer's first byte stands in the file
    size_t start_ = 0;         // where the next scan takes up
    bool ended_ = false;

    FileEncoding encoding_;
    uint64_t firstInvalidOffset_ = UINT64_MAX;
};

// Counts lines over a text given in pieces, as LineOfOffset does: CR LF, a
// lone CR and a lone LF each end a line.
class LineCounter {
public:
    void Feed(std::string_view bytes);
    uint64_t Line() const { return line_; }

private:
    uint64_t line_ = 1;
    bool afterCr_ = false;
};

}  // namespace quorvel
