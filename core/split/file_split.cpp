#include "core/split/file_split.h"

#include <algorithm>

#include "core/errors.h"
#include "core/read/record_reader.h"
#include "core/split/staged_file_system.h"

namespace quorvel {

ShownColumns ShownColumns::Of(const CellTable& table)
{
    ShownColumns shown;
    shown.layoutColumns = table.LayoutColumns();
    for (int32_t c = 0; c < table.ColCount(); ++c) shown.layoutColumnOf.push_back(table.LayoutColumnOf(c));
    return shown;
}

int32_t ShownColumns::ShownColumnOf(int32_t layoutColumn) const
{
    const auto found = std::find(layoutColumnOf.begin(), layoutColumnOf.end(), layoutColumn);
    return found == layoutColumnOf.end() ? -1 : static_cast<int32_t>(found - layoutColumnOf.begin());
}

ShownRowStream::ShownRowStream(std::unique_ptr<RowStream> laidOut, ShownColumns columns)
    : laidOut_(std::move(laidOut)), columns_(std::move(columns))
{
}

bool ShownRowStream::NextRow(std::vector<std::string_view>& cells)
{
    if (!laidOut_->NextRow(row_)) return false;
    cells.resize(columns_.layoutColumnOf.size());
    for (size_t c = 0; c < cells.size(); ++c) {
        const auto from = static_cast<size_t>(columns_.layoutColumnOf[c]);
        cells[c] = from < row_.size() ? row_[from] : std::string_view();
    }
    return true;
}

namespace {

// The file's rows as the table laid them out: its tokens, or its records at
// the table's column count.
std::unique_ptr<RowStream> LaidOutRows(const FileSplitRequest& request, FileSystem& files)
{
    if (request.byLines)
        return std::make_unique<RecordRowStream>(request.inputPath, request.choice, files,
                                                 request.columns.layoutColumns, request.partBytes);
    return std::make_unique<TokenRowStream>(request.inputPath, request.choice, files, request.columns.layoutColumns,
                                            request.partBytes);
}

StreamSplitResult SplitStaged(const FileSplitRequest& request, FileSystem& files, SplitObserver* observer)
{
    ShownRowStream rows(LaidOutRows(request, files), request.columns);
    std::vector<std::string> header(static_cast<size_t>(rows.ColCount()));
    std::vector<std::string_view> cells;
    if (rows.NextRow(cells)) header.assign(cells.begin(), cells.end());

    StreamSplitSpec spec;
    spec.keyColumn = request.keyColumn;
    spec.chunkRows = request.chunkRows;
    const int32_t sortColumn =
        request.sortLayoutColumn >= 0 ? request.columns.ShownColumnOf(request.sortLayoutColumn) : -1;
    // Sorted by the key itself, each piece's rows hold one key, so they
    // stay in file order: no piece need fit in a table to be sorted.
    const bool sortedByKey = request.chunkRows == 0 && sortColumn == request.keyColumn;
    if (sortColumn >= 0 && request.collation && !sortedByKey) {
        spec.sortColumn = sortColumn;
        spec.collation = request.collation;
    }
    spec.options.headerLine = request.headerLine;
    spec.options.byteOrderMark = rows.Encoding().byteOrderMark;

    const CodePage& codePage = rows.Encoding().codePage;
    const SplitTarget named{request.inputPath, codePage, request.pathStyle, files, {}, request.namesInUtf8};
    StagedFileSystem staged(files, named);
    const SplitTarget target{request.inputPath, codePage, request.pathStyle, staged, {}, request.namesInUtf8};
    StreamSplitResult result = StreamSplit(rows, header, target, spec, observer);
    if (result.stopped) staged.Discard();
    else staged.Commit();
    return result;
}

}  // namespace

StreamSplitResult SplitFileAsShown(const FileSplitRequest& request, FileSystem& files, SplitObserver* observer)
{
    try {
        return SplitStaged(request, files, observer);
    } catch (const RecordWidthError& wider) {
        // The table was laid out from the file's first records; a later one
        // has more fields than it has columns. Nothing is replaced.
        throw WiderRecordError(request.inputPath, wider.Line(), wider.Fields(), wider.Columns());
    }
}

}  // namespace quorvel
