#include "core/read/record_reader.h"

#include "core/read/record_scanner.h"
#include "core/text/utf8.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <vector>

namespace quorvel {

namespace {

std::string WidthMessage(uint64_t line, size_t fields, int32_t columns)
{
    return "line " + std::to_string(line) + ": a record of " + std::to_string(fields) + " fields, more than the " +
           std::to_string(columns) + " columns";
}

}  // namespace

RecordWidthError::RecordWidthError(uint64_t line, size_t fields, int32_t columns)
    : QuorvelError(WidthMessage(line, fields, columns))
{
}

RecordTokens SplitCsvRecords(const LoadedFile& text, const CodePage& codePage, std::optional<int32_t> columns,
                             size_t start)
{
    TokenList fields;
    std::vector<size_t> widths;
    std::vector<uint64_t> lines;
    scan::RecordScanner(codePage).Run(text.bytes.get(), text.size, std::min(start, text.size), false,
                                [&](uint64_t line, const std::vector<std::string_view>& record) {
                                    for (const std::string_view field : record) fields.Append(field);
                                    widths.push_back(record.size());
                                    lines.push_back(line);
                                });

    RecordTokens records;
    const size_t widest = widths.empty() ? 1 : *std::max_element(widths.begin(), widths.end());
    records.columns = columns ? *columns : static_cast<int32_t>(std::min<size_t>(widest, MaxTableColumns));
    if (!columns && widest > MaxTableColumns) {
        const size_t at = static_cast<size_t>(std::find_if(widths.begin(), widths.end(), [](size_t w) { return w > MaxTableColumns; }) -
                                              widths.begin());
        throw RecordWidthError(lines[at], widths[at], MaxTableColumns);
    }
    size_t next = 0;
    for (size_t r = 0; r < widths.size(); ++r) {
        if (widths[r] > static_cast<size_t>(records.columns)) throw RecordWidthError(lines[r], widths[r], records.columns);
        for (size_t f = 0; f < widths[r]; ++f) records.tokens.Append(fields[next++]);
        for (size_t f = widths[r]; f < static_cast<size_t>(records.columns); ++f) records.tokens.Append(std::string_view());
    }
    return records;
}

FileEncoding OpenCsvRecords(CellTable& table, const std::string& path, const EncodingChoice& choice,
                            FileSystem& files, std::optional<int32_t> columns)
{
    RecordTokens records;
    FileEncoding encoding{choice.fallback};
    try {
        const LoadedFile text = LoadFileText(path, files);
        const std::string_view bytes(text.bytes.get(), text.size);
        encoding = EncodingOf(DetectEncoding(bytes), choice, path);
        records = SplitCsvRecords(text, encoding.codePage, columns, encoding.TextStart());
        if (encoding.IsUtf8()) {
            const std::string_view body = bytes.substr(encoding.TextStart(), bytes.find('\0') - encoding.TextStart());
            const size_t bad = FirstInvalidUtf8(body);
            if (bad != std::string_view::npos) encoding.firstInvalidLine = LineOfOffset(body, bad);
        }
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    }
    records.tokens.SetSourcePath(path);
    const int32_t before = table.ColCount();
    table.ChangeColCount(records.columns);
    try {
        table.LayOutTokens(std::move(records.tokens));
    } catch (...) {
        table.ChangeColCount(before);  // a refused layout leaves the table as it was
        throw;
    }
    return encoding;
}

}  // namespace quorvel
