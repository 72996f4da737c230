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

#include "core/table/cell_table.h"
#include "core/text/codepage.h"
#include "core/errors.h"
#include "core/read/file_text.h"
#include "core/text/text_encoding.h"
#include "core/table/token_list.h"

namespace quorvel {

// A record with more fields than the columns asked for.
class RecordWidthError : public QuorvelError {
public:
    RecordWidthError(uint64_t line, size_t fields, int32_t columns);
};

struct RecordTokens {
    TokenList tokens;     // the records one after another, each padded to `columns`
    int32_t columns = 0;  // as asked for, or the widest record's field count
};

// The records of a loaded text, each padded with empty fields to
// `columns` (or to the widest record when none is given); raises
// RecordWidthError naming the first line of a record that is wider. An
// empty line is no record.
// The text begins at byte `start` (after a byte order mark).
RecordTokens SplitCsvRecords(const LoadedFile& text, const CodePage& codePage, std::optional<int32_t> columns,
                             size_t start = 0);

// Reads the file as records, in the encoding that `choice` decides, and
// lays them into the table, one record a row, at their column count; the
// table is untouched unless all succeeds. Raises FileOpenError,
// Utf16FileError, RecordWidthError, RowLimitError or OutOfMemoryError.
FileEncoding OpenCsvRecords(CellTable& table, const std::string& path, const EncodingChoice& choice,
                            FileSystem& files, std::optional<int32_t> columns);

}  // namespace quorvel
