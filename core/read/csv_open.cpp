#include "core/read/csv_open.h"

#include <new>

#include "core/errors.h"
#include "core/table_limits.h"
#include "core/read/token_reader.h"

namespace quorvel {

FileEncoding OpenCsvFile(CellTable& table, const std::string& path, const EncodingChoice& choice, FileSystem& files,
                         OverCap overCap, const ReadProgressFunction& progress, bool checkLines)
{
    const size_t limit = overCap == OverCap::kPreview
                             ? static_cast<size_t>(MaxTableRows) * static_cast<size_t>(table.ColCount())
                             : ~size_t{0};
    TokenList tokens;
    try {
        tokens = ReadCsvTokens(path, choice, files, limit, progress,
                               checkLines ? static_cast<uint32_t>(table.ColCount()) : 0);
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    }
    const FileEncoding encoding = tokens.Encoding();
    table.LayOutTokens(std::move(tokens));
    return encoding;
}

}  // namespace quorvel
