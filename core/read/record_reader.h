// Reading a CSV file as records, for files that the flat token reading
// does not suit: a line break outside quotes ends a record, every field is
// kept (empty last fields too), blanks are value bytes, and a value in
// double quotes may hold commas, doubled quotes and line breaks, kept as
// the file has them. The double-byte rule holds as in the token reader: a
// lead byte and the byte after it are one character, so a second byte is
// never a comma, a quote or a line break. The first 0x00 ends the input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/errors.h"
#include "core/read/csv_open.h"
#include "core/read/file_text.h"
#include "core/read/token_reader.h"
#include "core/table/cell_table.h"
#include "core/table/token_list.h"
#include "core/text/codepage.h"
#include "core/text/text_encoding.h"

namespace quorvel {

// A record with more fields than the columns asked for.
class RecordWidthError : public QuorvelError {
public:
    RecordWidthError(uint64_t line, size_t fields, int32_t columns);
    uint64_t Line() const { return line_; }
    size_t Fields() const { return fields_; }
    int32_t Columns() const { return columns_; }

protected:
    RecordWidthError(std::string_view messageTemplate, std::string_view path, uint64_t line, size_t fields,
                     int32_t columns);

private:
    uint64_t line_;
    size_t fields_;
    int32_t columns_;
};

// A file whose columns are its widest record's, and that record has more
// fields than a table has columns.
class FieldLimitError : public RecordWidthError {
public:
    FieldLimitError(std::string_view path, uint64_t line, size_t fields);
};

struct RecordTokens {
    TokenList tokens;     // the records one after another, each padded to `columns`
    int32_t columns = 0;  // as asked for, or the widest record's field count
};

// The records of a loaded text, each padded with empty fields to
// `columns` (or to the widest record when none is given); raises
// RecordWidthError naming the first line of a record that is wider, or
// FieldLimitError for a record wider than MaxTableColumns when no column
// count is given. An empty line is no record.
// The text begins at byte `start` (after a byte order mark).
RecordTokens SplitCsvRecords(const LoadedFile& text, const CodePage& codePage, std::optional<int32_t> columns,
                             size_t start = 0);

// Reads the file's records in the encoding that `choice` decides (the list
// tells which), padded as SplitCsvRecords pads them; the fields are views
// into the file's text where they are its bytes. With `recordLimit` the
// reading stops after that many records, and the list tells whether the
// file has more. Raises FileOpenError, Utf16FileError, RecordWidthError or
// FieldLimitError. `progress` as for ReadCsvTokens, with the records so far.
RecordTokens ReadCsvRecords(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                            std::optional<int32_t> columns, size_t recordLimit = ~size_t{0},
                            const ReadProgressFunction& progress = nullptr);

// The same records, up to the limit, read as a stream a part at a time and
// copied: memory for the records taken, whatever the file's size.
RecordTokens ReadFirstCsvRecords(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                                 std::optional<int32_t> columns, size_t recordLimit,
                                 const ReadProgressFunction& progress = nullptr,
                                 size_t partBytes = size_t{4} << 20);

// Reads the file as records and lays them into the table, one record a
// row, at their column count; the table is untouched unless all succeeds.
// With kPreview a file of more than MaxTableRows records fills the table's
// rows and no more: the table is its preview. Raises FileOpenError,
// Utf16FileError, RecordWidthError, FieldLimitError, RowLimitError or
// OutOfMemoryError.
FileEncoding OpenCsvRecords(CellTable& table, const std::string& path, const EncodingChoice& choice,
                            FileSystem& files, std::optional<int32_t> columns, OverCap overCap = OverCap::kRefuse,
                            const ReadProgressFunction& progress = nullptr);

}  // namespace quorvel
