#include "core/read/token_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "core/read/csv_scanner.h"
#include "core/read/whole_text.h"
#include "core/read/token_stream.h"
#include "core/text/utf8.h"

namespace quorvel {

using whole::ListSink;

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

TokenList ReadFirstCsvTokens(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                             size_t tokenLimit, const ReadProgressFunction& progress, size_t partBytes,
                             uint32_t lineColumns)
{
    CsvTokenStream stream(path, choice, files, partBytes, lineColumns);
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
    tokens.SetFirstPartedLine(stream.FirstPartedLine());
    tokens.SetSourcePath(path);
    tokens.SetEncoding(stream.Encoding());
    return tokens;
}

TokenList ReadCsvTokens(const std::string& path, const EncodingChoice& choice, FileSystem& files, size_t tokenLimit,
                        const ReadProgressFunction& progress, uint32_t lineColumns)
{
    if (tokenLimit != ~size_t{0}) {
        constexpr uint64_t kWholeTextLimit = uint64_t{1} << 30;
        uint64_t size = 0;
        const std::unique_ptr<InputFile> file = files.OpenForReading(path);
        const bool big = file && file->QuerySize(size) && size > kWholeTextLimit;
        if (big) return ReadFirstCsvTokens(path, choice, files, tokenLimit, progress, size_t{4} << 20, lineColumns);
    }
    // The tokens are found while the file is still being read; the list
    // owns the buffer from the start, and outlives the stream that fills it.
    TokenList tokens;
    FileTextStream stream(path, files);
    const char* bytes = stream.Bytes();
    // The code page only matters from the first byte above 0x7F on; up to
    // there (or 64 KiB past it) the reading waits for the decision.
    FileEncoding encoding = whole::DecideEncoding(stream, choice, path);
    const uint64_t base = tokens.Pool().AdoptBuffer(stream.TakeBuffer(), stream.Capacity());
    // A large file's references fill chunks that another thread has
    // readied, up to two ahead and no more than the rest of the text wants.
    std::optional<PrefaultedBuffers> refChunks;
    if (stream.Capacity() >= whole::kPrefaultFrom) {
        refChunks.emplace(TokenList::kRefChunkBytes, 2);
        tokens.SetRefSupply(&*refChunks);
    }
    ListSink sink(tokens, base, refChunks ? &*refChunks : nullptr, stream.Capacity());
    sink.SetProgress(&progress);
    scan::CsvScanner<ListSink> scanner(stream, encoding.TextStart(), encoding.codePage, sink);
    scanner.StopAfter(tokenLimit);
    LineCheck lines(lineColumns);
    if (lines.On()) scanner.CheckLines(&lines);
    const size_t stop = scanner.Run();
    tokens.SetFirstPartedLine(lines.FirstPartedLine());
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
    if (encoding.IsUtf8()) encoding.firstInvalidLine = whole::FirstInvalidUtf8Line(bytes, size, encoding.TextStart());
    tokens.SetSourcePath(path);
    tokens.SetEncoding(encoding);
    return tokens;
}

}  // namespace quorvel
