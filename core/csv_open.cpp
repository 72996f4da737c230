#include "core/csv_open.h"

#include <new>

#include "core/errors.h"
#include "core/token_reader.h"

namespace quorvel {

FileEncoding OpenCsvFile(CellTable& table, const std::string& path, const EncodingChoice& choice, FileSystem& files)
{
    TokenList tokens;
    try {
        tokens = ReadCsvTokens(path, choice, files);
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    }
    const FileEncoding encoding = tokens.Encoding();
    table.LayOutTokens(std::move(tokens));
    return encoding;
}

}  // namespace quorvel
