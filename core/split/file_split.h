// Split-save of a whole file as the window's table shows it, for a table
// that holds only the file's first rows (a preview) and for chunks: the
// file is read again as a stream, its rows laid out as the table laid them
// out, its columns in the table's order, and the pieces are written by the
// streaming split. No existing file is replaced unless every piece is
// complete: the pieces are staged beside their names and renamed into
// place at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/table/cell_table.h"
#include "core/read/row_stream.h"
#include "core/split/stream_split.h"
#include "core/text/text_encoding.h"

namespace quorvel {

// Where the table's shown columns stand among the columns of its file's
// layout (the column count at the load).
struct ShownColumns {
    int32_t layoutColumns = 1;
    std::vector<int32_t> layoutColumnOf;  // by shown column; at or past layoutColumns: never written, empty

    static ShownColumns Of(const CellTable& table);
    // The shown column of a layout column, or -1 when it is not shown.
    int32_t ShownColumnOf(int32_t layoutColumn) const;
};

// A file's rows with the table's shown columns, from its rows as laid out.
class ShownRowStream final : public RowStream {
public:
    ShownRowStream(std::unique_ptr<RowStream> laidOut, ShownColumns columns);
    bool NextRow(std::vector<std::string_view>& cells) override;
    int32_t ColCount() const override { return static_cast<int32_t>(columns_.layoutColumnOf.size()); }
    const FileEncoding& Encoding() const override { return laidOut_->Encoding(); }
    uint64_t FileSize() const override { return laidOut_->FileSize(); }
    uint64_t BytesDone() const override { return laidOut_->BytesDone(); }
    uint64_t FirstPartedLine() const override { return laidOut_->FirstPartedLine(); }

private:
    std::unique_ptr<RowStream> laidOut_;
    ShownColumns columns_;
    std::vector<std::string_view> row_;
};

struct FileSplitRequest {
    std::string inputPath;  // UTF-8
    EncodingChoice choice = EncodingChoice::Detect(CodePage::ShiftJis());
    // How the table was read: its rows the file's tokens laid out, or with
    // `byLines` the file's records, one a row.
    bool byLines = false;
    ShownColumns columns;
    // The piece of a row: by its cell in this shown column, or with
    // `chunkRows` above 0 by its place.
    int32_t keyColumn = 0;
    uint64_t chunkRows = 0;
    bool headerLine = false;
    // Each piece's rows sorted by this layout column, if it is shown, under
    // `collation`: the table's last sort.
    int32_t sortLayoutColumn = -1;
    const Collation* collation = nullptr;
    PathStyle pathStyle = PathStyle::Native();
    bool namesInUtf8 = false;
    size_t partBytes = kStreamPartBytes;
};

// Splits the file and renames the pieces into place; on a stop or a
// failure removes what it wrote and replaces nothing (result.stopped, or
// the failure raised: FileOpenError, FileCreateError, FileWriteError,
// PieceRowLimitError, WiderRecordError for a record with more fields than
// the table has columns, what the readers raise).
StreamSplitResult SplitFileAsShown(const FileSplitRequest& request, FileSystem& files, SplitObserver* observer);

}  // namespace quorvel
