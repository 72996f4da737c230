// quorvel-cli: the table core from a terminal. Reads a file as the Open
// command does and prints its tokens or its table, sorts and split-saves.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/interface/file_system.h"

namespace quorvel::cli {

enum ExitStatus { kSuccess = 0, kSystemError = 1, kUsageError = 2 };

// `args` excludes the program name. Output bytes go to `out` unchanged;
// messages go to `err` as UTF-8.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, FileSystem& files);

}  // namespace quorvel::cli
