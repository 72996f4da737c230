// Reads a CSV file's tokens as a stream, one part of the file at a time,
// with memory that does not grow with the file: the reading for files of
// any size. The tokens are those that ReadCsvTokens gives for the same
// file, in the same order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/read/line_check.h"
#include "core/read/text_parts.h"

namespace quorvel {

class CsvTokenStream {
public:
    // Raises what TextParts raises.
    // With `lineColumns`, the stream finds from which line of the file rows
    // of that many tokens no longer follow its lines (see line_check.h).
    CsvTokenStream(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                   size_t partBytes = kStreamPartBytes, uint32_t lineColumns = 0);
    ~CsvTokenStream();
    CsvTokenStream(const CsvTokenStream&) = delete;
    CsvTokenStream& operator=(const CsvTokenStream&) = delete;

    // The next tokens in file order, valid until the next call; false once
    // the text has ended and the file has been read to its end. Raises
    // FileOpenError when a read fails.
    bool Next(std::vector<std::string_view>& tokens);

    const FileEncoding& Encoding() const { return parts_.Encoding(); }
    uint64_t FileSize() const { return parts_.FileSize(); }
    uint64_t BytesDone() const { return parts_.BytesDone(); }
    // Known once Next has given false; up to then, of the lines so far.
    uint64_t FirstPartedLine() const { return lines_.FirstPartedLine(); }

private:
    TextParts parts_;
    LineCheck lines_;
    bool scanned_ = false;  // the part has been scanned: take up after it
    struct PartTokens;
    std::unique_ptr<PartTokens> tokens_;
};

}  // namespace quorvel
