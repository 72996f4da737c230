// Command-line parsing for quorvel-cli.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel::cli {

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Command { kHelp, kTokens, kShow, kSplit };

struct Options {
    Command command = Command::kHelp;
    std::string file;
    int columns = 5;
    std::optional<int> codePage;
    std::optional<int> sortColumn;
    std::optional<int> keyColumn;
};

// Raises UsageError for anything it cannot take.
Options ParseOptions(const std::vector<std::string>& args);

extern const char* const kUsage;
extern const char* const kHelpText;

}  // namespace quorvel::cli
