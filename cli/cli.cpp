#include "cli/cli.h"

#include <new>

#include "cli/escape.h"
#include "cli/options.h"
#include "core/cell_table.h"
#include "core/csv_open.h"
#include "core/errors.h"
#include "core/row_sort.h"
#include "core/split_writer.h"
#include "core/token_reader.h"
#include "core/interface/collation.h"
#include "app/system_services.h"
#include "cli/terminal_text.h"

namespace quorvel::cli {

namespace {

// Messages are compiled as Shift_JIS; the path in them is the user's.
std::string MessageForTerminal(const QuorvelError& error)
{
    const CodePage messageCodePage = CodePage::ShiftJis();
    const std::string& text = error.Template();
    const size_t slot = text.find("%s");
    if (slot == std::string::npos) return ToUtf8(text, messageCodePage);
    return ToUtf8(std::string_view(text).substr(0, slot), messageCodePage) + PathToUtf8(error.Path()) +
           ToUtf8(std::string_view(text).substr(slot + 2), messageCodePage);
}

CodePage ChosenCodePage(const Options& options)
{
    if (!options.codePage) return SystemCodePage();
    std::optional<CodePage> codePage = CodePageByNumber(*options.codePage);
    if (!codePage) throw UsageError("unknown code page " + std::to_string(*options.codePage));
    return *codePage;
}

void PrintTokens(const Options& options, const CodePage& codePage, std::ostream& out, FileSystem& files)
{
    const TokenList tokens = ReadCsvTokens(options.file, codePage, files);
    std::string line;
    for (size_t i = 0; i < tokens.size(); ++i) {
        line.clear();
        AppendEscaped(line, tokens[i]);
        line.push_back('\n');
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
}

void PrintTable(const CellTable& table, std::ostream& out)
{
    std::string line;
    for (int32_t r = 0; r < table.RowCount(); ++r) {
        line.clear();
        for (int32_t c = 0; c < table.ColCount(); ++c) {
            if (c > 0) line.push_back(',');
            AppendEscaped(line, table.ReadCell(c, r));
        }
        line.push_back('\n');
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
}

void Run(const Options& options, std::ostream& out, FileSystem& files)
{
    const CodePage codePage = ChosenCodePage(options);
    if (options.command == Command::kTokens) {
        PrintTokens(options, codePage, out, files);
        return;
    }
    CellTable table;
    table.ChangeColCount(options.columns);
    OpenCsvFile(table, options.file, codePage, files);
    if (options.sortColumn) SortDataRows(table, *options.sortColumn, *CollationFor(codePage));
    if (options.command == Command::kShow) {
        PrintTable(table, out);
        return;
    }
    // Pieces are named after the file as given, beside it.
    const SplitTarget target{options.file, codePage, PathStyle::Native(), files};
    SplitState state;
    const std::vector<std::string> pieces = WriteSplitPieces(
        table, *options.keyColumn, target, [&](int32_t row) { table.SelectRow(row); }, state);
    for (const std::string& piece : pieces) out << piece << '\n';
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, FileSystem& files)
{
    try {
        const Options options = ParseOptions(args);
        if (options.command == Command::kHelp) {
            out << kHelpText << "\n" << kUsage;
            return kSuccess;
        }
        Run(options, out, files);
        out.flush();
        return kSuccess;
    } catch (const UsageError& e) {
        err << "quorvel-cli: " << e.what() << "\n" << kUsage;
        return kUsageError;
    } catch (const QuorvelError& e) {
        out.flush();
        err << MessageForTerminal(e) << "\n";
        return kSystemError;
    } catch (const std::bad_alloc&) {
        // The one place where running out of memory becomes the error.
        err << MessageForTerminal(OutOfMemoryError()) << "\n";
        return kSystemError;
    }
}

}  // namespace quorvel::cli
