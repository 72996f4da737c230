#include "core/csv_open.h"

#include <new>

#include "core/errors.h"
#include "core/token_reader.h"

namespace quorvel {

void OpenCsvFile(CellTable& table, const std::string& path, const CodePage& codePage, FileSystem& files)
{
    TokenList tokens;
    try {
        tokens = ReadCsvTokens(path, codePage, files);
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    }
    table.LayOutTokens(std::move(tokens));
}

}  // namespace quorvel
