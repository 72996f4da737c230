// Command-line parsing for quorvel-cli.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel::cli {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Command { kHelp, kVersion, kTokens, kShow, kSplit };

// A column named on the command line: a 0-based index, or a header text.
struct ColumnChoice {
    std::optional<int> index;
    std::string headerText;  // as the command line gave it, when no index
};

struct Options {
    Command command = Command::kHelp;
    std::string file;
    int columns = 5;
    bool columnsGiven = false;
    std::optional<int> codePage;
    std::optional<ColumnChoice> sortColumn;
    std::optional<ColumnChoice> keyColumn;
    // Beyond the window's commands; each off unless asked for.
    bool rows = false;        // show, split: read records, one a row
    bool text = false;        // show: cells for people, tab-separated
    bool header = false;      // split: row 0 first in every piece
    bool dryRun = false;      // split: print the plan, write nothing
    std::string outFolder;    // split: the pieces go there
    uint64_t chunkRows = 0;   // split: pieces of this many data rows, instead of by key
};

// Raises UsageError for anything it cannot take.
Options ParseOptions(const std::vector<std::string>& args);

extern const char* const kUsage;
extern const char* const kHelpText;

}  // namespace quorvel::cli
