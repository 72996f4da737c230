#include "core/read/row_stream.h"

#include <algorithm>

#include "core/read/record_reader.h"
#include "core/read/record_scanner.h"
#include "core/table_limits.h"

namespace quorvel {

TokenRowStream::TokenRowStream(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                               int32_t columns, size_t partBytes)
    : tokens_(path, choice, files, partBytes, static_cast<uint32_t>(columns)), columns_(columns)
{
}

bool TokenRowStream::NextRow(std::vector<std::string_view>& cells)
{
    const size_t columns = static_cast<size_t>(columns_);
    carried_.clear();
    cells.clear();
    for (;;) {
        // The common case: the whole row in the part.
        if (carried_.empty() && part_.size() - next_ >= columns) {
            cells.assign(part_.begin() + static_cast<ptrdiff_t>(next_),
                         part_.begin() + static_cast<ptrdiff_t>(next_ + columns));
            next_ += columns;
            return true;
        }
        // A row that goes on in the next part: its cells so far are kept,
        // since the part's views end with it.
        while (next_ < part_.size() && carried_.size() < columns) carried_.emplace_back(part_[next_++]);
        if (carried_.size() == columns) break;
        next_ = 0;
        if (partsEnded_ || !tokens_.Next(part_)) {
            partsEnded_ = true;
            part_.clear();
            if (carried_.empty()) return false;
            carried_.resize(columns);  // the last row, filled up
            break;
        }
    }
    cells.assign(carried_.begin(), carried_.end());
    return true;
}

// One part's records: their fields copied into one string, since the
// scanner's views last only for the record.
struct RecordRowStream::PartRecords {
    std::string bytes;
    std::vector<std::pair<size_t, size_t>> fields;  // offset, length in `bytes`
    std::vector<size_t> firstField;                 // by record, and one past the last
    std::vector<uint64_t> lines;
    scan::RecordScanner scanner;
    std::vector<std::string_view> views;

    explicit PartRecords(const CodePage& codePage) : scanner(codePage) {}
};

RecordRowStream::RecordRowStream(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                                 int32_t columns, size_t partBytes)
    : parts_(path, choice, files, partBytes), columns_(columns),
      records_(std::make_unique<PartRecords>(parts_.Encoding().codePage))
{
}

RecordRowStream::~RecordRowStream() = default;

bool RecordRowStream::ScanPart()
{
    PartRecords& part = *records_;
    part.bytes.clear();
    part.fields.clear();
    part.firstField.assign(1, 0);
    part.lines.clear();
    next_ = 0;
    while (!parts_.Ended()) {
        if (scanned_) parts_.Advance();
        scanned_ = true;
        const size_t stop = part.scanner.Run(parts_.Bytes(), parts_.Size(), parts_.Start(), parts_.Partial(),
                                             [&](uint64_t line, const std::vector<std::string_view>& record) {
                                                 for (const std::string_view field : record) {
                                                     part.fields.emplace_back(part.bytes.size(), field.size());
                                                     part.bytes.append(field);
                                                 }
                                                 part.firstField.push_back(part.fields.size());
                                                 part.lines.push_back(line);
                                             });
        parts_.Used(stop);
        if (!part.lines.empty()) return true;
    }
    return false;
}

bool RecordRowStream::NextRow(std::vector<std::string_view>& cells)
{
    PartRecords& part = *records_;
    if (next_ >= part.lines.size() && !ScanPart()) return false;
    const size_t first = part.firstField[next_], end = part.firstField[next_ + 1];
    const size_t width = end - first;
    if (width > static_cast<size_t>(columns_)) throw RecordWidthError(part.lines[next_], width, columns_);
    cells.clear();
    for (size_t f = first; f < end; ++f) cells.emplace_back(part.bytes.data() + part.fields[f].first, part.fields[f].second);
    cells.resize(static_cast<size_t>(columns_));
    ++next_;
    return true;
}

RecordRowStream::Widths RecordRowStream::Measure(const std::string& path, const EncodingChoice& choice,
                                                 FileSystem& files, size_t limit, size_t partBytes)
{
    TextParts parts(path, choice, files, partBytes);
    scan::RecordScanner scanner(parts.Encoding().codePage);
    Widths widths;
    bool scanned = false;
    while (!parts.Ended()) {
        if (scanned) parts.Advance();
        scanned = true;
        parts.Used(scanner.Run(parts.Bytes(), parts.Size(), parts.Start(), parts.Partial(),
                               [&](uint64_t line, const std::vector<std::string_view>& record) {
                                   widths.widest = std::max(widths.widest, record.size());
                                   if (record.size() > limit && widths.firstWiderLine == 0) {
                                       widths.firstWiderLine = line;
                                       widths.firstWiderWidth = record.size();
                                   }
                               }));
    }
    return widths;
}

std::unique_ptr<RowStream> OpenRowStream(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                                         bool records, std::optional<int32_t> columns, size_t partBytes)
{
    if (!records) return std::make_unique<TokenRowStream>(path, choice, files, columns.value_or(5), partBytes);
    // A record too wide is an error before any row is given, as it is
    // before a table is laid out; and without a column count the widest
    // record gives it.
    const size_t limit = static_cast<size_t>(columns.value_or(MaxTableColumns));
    const RecordRowStream::Widths widths = RecordRowStream::Measure(path, choice, files, limit, partBytes);
    if (widths.firstWiderLine != 0)
        throw RecordWidthError(widths.firstWiderLine, widths.firstWiderWidth, static_cast<int32_t>(limit));
    const int32_t laidOut = columns.value_or(static_cast<int32_t>(std::max<size_t>(widths.widest, 1)));
    return std::make_unique<RecordRowStream>(path, choice, files, laidOut, partBytes);
}

}  // namespace quorvel
