// The Open command's work without its window: read a file's tokens and
// lay them into the table. The table is untouched unless the whole read
// succeeds.
#pragma once

#include <string>

#include "core/table/cell_table.h"
#include "core/text/codepage.h"
#include "core/text/text_encoding.h"
#include "core/read/token_reader.h"
#include "core/interface/file_system.h"

namespace quorvel {

// How a file over the table's cap is opened.
enum class OverCap { kRefuse, kPreview };

// Reads in the encoding that `choice` decides and returns it. Raises
// FileOpenError, Utf16FileError, RowLimitError or OutOfMemoryError; the
// table is then as it was. With kPreview a file of more than MaxTableRows
// rows fills the table's rows and no more: the table is its preview.
// `progress` as for ReadCsvTokens.
// The table then tells from which line of the file its rows no longer
// follow the file's lines (CellTable::FirstPartedLine), unless
// `checkLines` is false.
FileEncoding OpenCsvFile(CellTable& table, const std::string& path, const EncodingChoice& choice, FileSystem& files,
                         OverCap overCap = OverCap::kRefuse, const ReadProgressFunction& progress = nullptr,
                         bool checkLines = true);

}  // namespace quorvel
