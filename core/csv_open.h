// The Open command's work without its window: read a file's tokens and
// lay them into the table. The table is untouched unless the whole read
// succeeds.
#pragma once

#include <string>

#include "core/cell_table.h"
#include "core/codepage.h"
#include "core/interface/file_system.h"

namespace quorvel {

// Raises FileOpenError, RowLimitError or OutOfMemoryError; the table is
// then as it was.
void OpenCsvFile(CellTable& table, const std::string& path, const CodePage& codePage, FileSystem& files);

}  // namespace quorvel
