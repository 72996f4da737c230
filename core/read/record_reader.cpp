#include "core/read/record_reader.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "core/read/record_scanner.h"
#include "core/read/text_parts.h"
#include "core/read/whole_text.h"
#include "core/table_limits.h"
#include "core/text/utf8.h"

namespace quorvel {

namespace {

std::string WidthMessage(uint64_t line, size_t fields, int32_t columns)
{
    return "line " + std::to_string(line) + ": a record of " + std::to_string(fields) + " fields, more than the " +
           std::to_string(columns) + " columns";
}

// The field count of every record, checked as it comes: wider than the
// columns asked for, or with none asked for wider than a table can be.
class RecordWidths {
public:
    RecordWidths(std::optional<int32_t> columns, std::string_view path) : columns_(columns), path_(path) {}

    void Add(uint64_t line, size_t fields)
    {
        if (columns_ && fields > static_cast<size_t>(*columns_)) throw RecordWidthError(line, fields, *columns_);
        if (!columns_ && fields > static_cast<size_t>(MaxTableColumns)) throw FieldLimitError(path_, line, fields);
        widths_.push_back(static_cast<uint32_t>(fields));
        widest_ = std::max(widest_, fields);
    }
    size_t Count() const { return widths_.size(); }

    // The column count: as asked for, or the widest record's (one for a
    // text without records).
    int32_t Columns() const { return columns_ ? *columns_ : static_cast<int32_t>(std::max<size_t>(widest_, 1)); }

    // Every record as wide as the columns, with empty fields after its own.
    void Pad(TokenList& tokens) const
    {
        const auto columns = static_cast<uint32_t>(Columns());
        if (std::all_of(widths_.begin(), widths_.end(), [columns](uint32_t w) { return w == columns; })) return;
        tokens.PadRecords(widths_.data(), widths_.size(), columns);
    }

private:
    std::optional<int32_t> columns_;
    std::string path_;
    std::vector<uint32_t> widths_;
    size_t widest_ = 0;
};

}  // namespace

RecordWidthError::RecordWidthError(uint64_t line, size_t fields, int32_t columns)
    : RecordWidthError(WidthMessage(line, fields, columns), {}, line, fields, columns)
{
}

RecordWidthError::RecordWidthError(std::string_view messageTemplate, std::string_view path, uint64_t line,
                                   size_t fields, int32_t columns)
    : QuorvelError(messageTemplate, path), line_(line), fields_(fields), columns_(columns)
{
}

FieldLimitError::FieldLimitError(std::string_view path, uint64_t line, size_t fields)
    : RecordWidthError(messages::FieldLimit(line, fields), path, line, fields, MaxTableColumns)
{
}

RecordTokens SplitCsvRecords(const LoadedFile& text, const CodePage& codePage, std::optional<int32_t> columns,
                             size_t start)
{
    RecordTokens records;
    RecordWidths widths(columns, {});
    scan::RecordScanner(codePage).Run(text.bytes.get(), text.size, std::min(start, text.size), false,
                                      [&](uint64_t line, const std::vector<std::string_view>& fields) {
                                          widths.Add(line, fields.size());
                                          for (const std::string_view field : fields) records.tokens.Append(field);
                                      });
    records.columns = widths.Columns();
    widths.Pad(records.tokens);
    return records;
}

RecordTokens ReadFirstCsvRecords(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                                 std::optional<int32_t> columns, size_t recordLimit,
                                 const ReadProgressFunction& progress, size_t partBytes)
{
    TextParts parts(path, choice, files, partBytes);
    scan::RecordScanner scanner(parts.Encoding().codePage);
    RecordTokens records;
    RecordWidths widths(columns, path);
    auto take = [&](uint64_t line, const std::vector<std::string_view>& fields) {
        widths.Add(line, fields.size());
        for (const std::string_view field : fields) records.tokens.Append(field);
    };
    bool scanned = false;
    bool probing = false;  // the limit is reached: is there a record after?
    bool more = false;
    while (!parts.Ended()) {
        if (scanned) parts.Advance();
        scanned = true;
        size_t start = parts.Start();
        if (!probing) {
            const size_t stop =
                scanner.Run(parts.Bytes(), parts.Size(), start, parts.Partial(), take, recordLimit - widths.Count());
            if (progress) progress({parts.BytesDone(), parts.FileSize(), records.tokens.size(), widths.Count()});
            if (widths.Count() < recordLimit) {
                parts.Used(stop);
                continue;
            }
            probing = true;
            start = stop;
        }
        size_t found = 0;
        const size_t stop = scanner.Run(
            parts.Bytes(), parts.Size(), start, parts.Partial(),
            [&found](uint64_t, const std::vector<std::string_view>&) { ++found; }, 1);
        if (found > 0) {
            more = true;
            break;
        }
        parts.Used(stop);
    }
    records.columns = widths.Columns();
    widths.Pad(records.tokens);
    records.tokens.SetCutShort(more);
    records.tokens.SetSourcePath(path);
    records.tokens.SetEncoding(parts.Encoding());
    return records;
}

RecordTokens ReadCsvRecords(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                            std::optional<int32_t> columns, size_t recordLimit, const ReadProgressFunction& progress)
{
    if (whole::TakesTheStream(path, files, recordLimit))
        return ReadFirstCsvRecords(path, choice, files, columns, recordLimit, progress);
    // As the token reader does: the fields are found while the file is
    // still being read, and the list owns the buffer from the start.
    RecordTokens records;
    whole::AdoptedText text(records.tokens, path, choice, files, progress);
    whole::ListSink& sink = text.Sink();
    const char* bytes = text.Bytes();
    RecordWidths widths(columns, path);
    const size_t stop = scan::RecordScanner(text.Encoding().codePage)
                            .Run(
                                text.Stream(), text.Encoding().TextStart(), recordLimit,
                                [&](uint64_t line, const std::vector<std::string_view>& fields) {
                                    widths.Add(line, fields.size());
                                    for (const std::string_view field : fields) sink.View(bytes, field);
                                },
                                [&](size_t p) { sink.Progress(p, widths.Count()); });
    text.Finish(stop, path);
    records.columns = widths.Columns();
    widths.Pad(records.tokens);
    return records;
}

FileEncoding OpenCsvRecords(CellTable& table, const std::string& path, const EncodingChoice& choice,
                            FileSystem& files, std::optional<int32_t> columns, OverCap overCap,
                            const ReadProgressFunction& progress)
{
    const size_t limit = overCap == OverCap::kPreview ? static_cast<size_t>(MaxTableRows) : ~size_t{0};
    RecordTokens records;
    try {
        records = ReadCsvRecords(path, choice, files, columns, limit, progress);
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    }
    const FileEncoding encoding = records.tokens.Encoding();
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
