#include "cli/options.h"

#include <charconv>
#include <string>

#include "core/table_limits.h"

namespace quorvel::cli {

const char* const kUsage =
    "usage: quorvel-cli --help | --version\n"
    "       quorvel-cli tokens FILE [--codepage N]\n"
    "       quorvel-cli show FILE [--columns N] [--rows] [--sort K] [--text] [--codepage N]\n"
    "       quorvel-cli split FILE [--columns N] [--rows] (--key K | --chunk N) [--sort K2] [--header]\n"
    "                  [--out DIR] [--dry-run] [--codepage N]\n";

const char* const kHelpText =
    "quorvel-cli reads a CSV file as Quorvel's Open command does.\n"
    "\n"
    "  tokens   prints the file's tokens, one per line\n"
    "  show     lays the tokens into a table of N columns (1 to 255, default 5)\n"
    "           and prints its rows, cells joined by \",\"; --sort K sorts the\n"
    "           data rows by column K (0-based) first\n"
    "  split    split-saves the table by column K beside FILE, after an optional\n"
    "           sort by column K2, and prints each piece's path in the order written;\n"
    "           a file of any size, read as a stream (the window's row cap does not\n"
    "           apply): over the cap, --sort K2 sorts the rows within each piece\n"
    "\n"
    "Bytes 0x21-0x7E other than \"\\\" and \",\" are printed as they are, every other\n"
    "byte as \\xHH.\n"
    "\n"
    "The file's encoding: a file that begins with the UTF-8 byte order mark is\n"
    "UTF-8; otherwise, when the bytes from its first byte above 0x7F on (64 KiB\n"
    "of them) are well-formed UTF-8, it is UTF-8, else Shift_JIS (the system's\n"
    "code page on Windows). UTF-16 files are refused. --codepage N reads the file\n"
    "under code page N instead: 65001 (UTF-8), 932 (Shift_JIS) or a single-byte\n"
    "code page such as 1252. The byte order mark belongs to no cell, and every\n"
    "piece of a file that had one begins with it. Piece names are the keys'\n"
    "characters (UTF-8 names off Windows); a byte that is no character becomes\n"
    "%XX.\n"
    "\n"
    "K and K2 are a 0-based column index or a header text: the column whose\n"
    "header cell (row 0) is that text, byte for byte in the file's code page\n"
    "(a UTF-8 command line is converted first).\n"
    "  --rows     read records instead of one flat token list: a line break\n"
    "             outside quotes ends a record, every field is kept (empty last\n"
    "             fields too), blanks belong to values, quoted values may hold\n"
    "             commas, doubled quotes and line breaks; the columns are --columns\n"
    "             or the widest record's, shorter records are padded, a wider one\n"
    "             is an error naming its line\n"
    "  --text     show: each cell as text for the terminal (UTF-8 off Windows),\n"
    "             cells separated by a tab, one row per line\n"
    "  --chunk N  split: instead of by key, pieces of N data rows each in file\n"
    "             order, FILE_1.csv, FILE_2.csv, ... (with --header each opens in a\n"
    "             spreadsheet program with its column names)\n"
    "  --header   split: the header row is the first line of every piece\n"
    "  --out DIR  split: the pieces go into the folder DIR, which must exist\n"
    "  --dry-run  split: writes nothing; prints per piece its path, rows and\n"
    "             bytes, marked \"replaces\" (a file of that name exists),\n"
    "             \"shares\" (one file with an earlier piece) or \"cannot\" (could\n"
    "             not be created)\n"
    "On a terminal, split shows its progress on stderr; Ctrl+C stops it cleanly,\n"
    "the pieces then holding the whole rows read so far, and lists them.\n"
    "Exit status: 0 success, 1 an error (its message on stderr), 2 a usage error,\n"
    "130 stopped by Ctrl+C.\n";

namespace {

uint64_t ParseCount(const std::string& text, const std::string& option)
{
    uint64_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value == 0)
        throw UsageError(option + " needs a positive whole number, not '" + text + "'");
    return value;
}

int ParseNumber(const std::string& text, const std::string& option)
{
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) throw UsageError(option + " needs a number, not '" + text + "'");
    return value;
}

ColumnChoice ParseColumn(const std::string& text)
{
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (!text.empty() && ec == std::errc() && ptr == end) return ColumnChoice{value, {}};
    return ColumnChoice{std::nullopt, text};
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args)
{
    Options options;
    if (args.empty()) throw UsageError("no command given");
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") return options;
    if (args[0] == "--version") {
        options.command = Command::kVersion;
        return options;
    }
    if (args[0] == "tokens") options.command = Command::kTokens;
    else if (args[0] == "show") options.command = Command::kShow;
    else if (args[0] == "split") options.command = Command::kSplit;
    else throw UsageError("unknown command '" + args[0] + "'");

    bool haveFile = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.command = Command::kHelp;
            return options;
        }
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        const bool takesTable = options.command != Command::kTokens;
        if (arg == "--codepage") {
            options.codePage = ParseNumber(value(), arg);
        } else if (arg == "--columns" && takesTable) {
            options.columns = ParseNumber(value(), arg);
            options.columnsGiven = true;
            if (options.columns < 1 || options.columns > MaxTableColumns)
                throw UsageError("--columns takes 1 to " + std::to_string(MaxTableColumns));
        } else if (arg == "--sort" && takesTable) {
            options.sortColumn = ParseColumn(value());
        } else if (arg == "--key" && options.command == Command::kSplit) {
            options.keyColumn = ParseColumn(value());
        } else if (arg == "--rows" && takesTable) {
            options.rows = true;
        } else if (arg == "--text" && options.command == Command::kShow) {
            options.text = true;
        } else if (arg == "--header" && options.command == Command::kSplit) {
            options.header = true;
        } else if (arg == "--chunk" && options.command == Command::kSplit) {
            options.chunkRows = ParseCount(value(), arg);
        } else if (arg == "--dry-run" && options.command == Command::kSplit) {
            options.dryRun = true;
        } else if (arg == "--out" && options.command == Command::kSplit) {
            options.outFolder = value();
            if (options.outFolder.empty()) throw UsageError("--out needs a folder");
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            throw UsageError("unknown option '" + arg + "'");
        } else if (!haveFile) {
            options.file = arg;
            haveFile = true;
        } else {
            throw UsageError("more than one file given");
        }
    }
    if (!haveFile) throw UsageError("no file given");
    if (options.command == Command::kSplit && options.keyColumn && options.chunkRows)
        throw UsageError("split takes --key K or --chunk N, not both");
    if (options.command == Command::kSplit && !options.keyColumn && !options.chunkRows)
        throw UsageError("split needs --key K or --chunk N");
    // With --rows and no --columns the file decides the column count; the
    // index is checked once it is read.
    const int columns = options.rows && !options.columnsGiven ? MaxTableColumns : options.columns;
    auto checkColumn = [&](const std::optional<ColumnChoice>& column, const char* name) {
        if (column && column->index && (*column->index < 0 || *column->index >= columns))
            throw UsageError(std::string(name) + " must name a column from 0 to " + std::to_string(columns - 1));
    };
    checkColumn(options.sortColumn, "--sort");
    checkColumn(options.keyColumn, "--key");
    return options;
}

}  // namespace quorvel::cli
