// The window with files saved by a spreadsheet program: 行単位で開く with
// the file's column count, blanks and empty last cells kept, the split of
// such a table, the note of 開く where its rows part from the file's lines,
// a UTF-8 sheet, a quoted line break, a sheet over the cap split whole.
#pragma once

#include <string>

namespace quorvel::e2e {

// Runs in a session of its own; the work folder takes the files.
void SpreadsheetFiles(const std::string& exe, const std::string& work);
// The drop tool (xdnd_drop.py), a path of the driver's; without it no
// file is dropped.
void SetDropTool(const std::string& script);

}  // namespace quorvel::e2e
