// The Open command's work without its window: read a file's tokens and
// lay them into the table. The table is untouched unless the whole read
// succeeds.
#pragma once

#include <string>

#include "core/cell_table.h"
#include "core/codepage.h"
#include "core/text_encoding.h"
#include "core/interface/file_system.h"

namespace quorvel {

// Reads in the encoding that `choice` decides and returns it. Raises
// FileOpenError, Utf16FileError, RowLimitError or OutOfMemoryError; the
// table is then as it was.
FileEncoding OpenCsvFile(CellTable& table, const std::string& path, const EncodingChoice& choice, FileSystem& files);

}  // namespace quorvel
