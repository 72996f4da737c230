// Reads one CSV file into its flat token list. The whole file is one
// comma-separated sequence: line breaks separate tokens as commas do, and
// rows only come into being when the table lays the tokens out.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/text/codepage.h"
#include "core/table/token_list.h"
#include "core/read/file_text.h"
#include "core/text/text_encoding.h"

namespace quorvel {

// Splits a loaded text into tokens as if its lines had been cut at every
// line break and joined again with CR LF after each, the text ending at
// its first 0x00 byte. One pass over the buffer; the buffer becomes the
// list's storage and unchanged tokens are views into it.
// The text begins at byte `start` (after a byte order mark).
TokenList SplitCsvText(LoadedFile text, const CodePage& codePage, size_t start = 0);

// Reads the file's tokens in the encoding that `choice` decides (see
// text_encoding.h); the list tells which. Raises FileOpenError or
// Utf16FileError. With `tokenLimit`, the reading stops once it holds that
// many tokens, and the list tells whether the file goes on after them.
// `progress`, if given, is told every megabyte or so of the text.
struct ReadProgress {
    uint64_t bytesDone = 0;
    uint64_t fileSize = 0;
    size_t tokens = 0;
    size_t records = 0;  // read by records: how many so far
};
using ReadProgressFunction = std::function<void(const ReadProgress&)>;
// A file of more than a gigabyte read with a limit goes the way of
// ReadFirstCsvTokens, so that the text of the rest is never held.
// With `lineColumns`, the list tells from which line of the file rows of
// that many tokens no longer follow its lines (see line_check.h).
TokenList ReadCsvTokens(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                        size_t tokenLimit = ~size_t{0}, const ReadProgressFunction& progress = nullptr,
                        uint32_t lineColumns = 0);

// The same tokens, up to the limit, read as a stream a part at a time and
// copied: memory for the tokens taken, whatever the file's size.
TokenList ReadFirstCsvTokens(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                             size_t tokenLimit, const ReadProgressFunction& progress = nullptr,
                             size_t partBytes = size_t{4} << 20, uint32_t lineColumns = 0);

}  // namespace quorvel
