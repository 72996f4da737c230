// quorvel-cli: the table core from a terminal. Reads a file as the Open
// command does and prints its tokens or its table, sorts and split-saves.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/progress_line.h"
#include "core/interface/file_system.h"

namespace quorvel::cli {

enum ExitStatus { kSuccess = 0, kSystemError = 1, kUsageError = 2, kInterrupted = 130 };

// `args` excludes the program name. Output bytes go to `out` unchanged;
// messages go to `err` as UTF-8; `console` says what the terminal gives.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, FileSystem& files,
           const Console& console = {});

}  // namespace quorvel::cli
