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
    if (whole::TakesTheStream(path, files, tokenLimit))
        return ReadFirstCsvTokens(path, choice, files, tokenLimit, progress, size_t{4} << 20, lineColumns);
    TokenList tokens;
    whole::AdoptedText text(tokens, path, choice, files, progress);
    scan::CsvScanner<ListSink> scanner(text.Stream(), text.Encoding().TextStart(), text.Encoding().codePage,
                                       text.Sink());
    scanner.StopAfter(tokenLimit);
    LineCheck lines(lineColumns);
    if (lines.On()) scanner.CheckLines(&lines);
    text.Finish(scanner.Run(), path);
    tokens.SetFirstPartedLine(lines.FirstPartedLine());
    return tokens;
}

}  // namespace quorvel
