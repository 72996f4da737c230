#include "cli/cli.h"

#include <new>

#include "cli/escape.h"
#include "cli/options.h"
#include "cli/progress_line.h"
#include "core/table/cell_table.h"
#include "core/read/csv_open.h"
#include "core/errors.h"
#include "core/read/record_reader.h"
#include "core/table/row_sort.h"
#include "core/split/split_writer.h"
#include "core/split/stream_split.h"
#include "core/text/text_encoding.h"
#include "core/read/token_reader.h"
#include "core/interface/collation.h"
#include "system/system_services.h"
#include "cli/terminal_text.h"
#include "version.h"

namespace quorvel::cli {

namespace {

// A folder that an option names and that is not there.
struct FolderMissing : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Messages are compiled as Shift_JIS; the path in them is the user's.
std::string MessageForTerminal(const QuorvelError& error)
{
    const CodePage messageCodePage = CodePage::ShiftJis();
    const std::string& text = error.Template();
    const size_t slot = text.find("%s");
    if (slot == std::string::npos) return ToUtf8(text, messageCodePage);
    // The core's paths are UTF-8 already.
    return ToUtf8(std::string_view(text).substr(0, slot), messageCodePage) + error.Path() +
           ToUtf8(std::string_view(text).substr(slot + 2), messageCodePage);
}

// Detected unless --codepage names one (65001 is UTF-8).
EncodingChoice ChosenEncoding(const Options& options)
{
    if (!options.codePage) return EncodingChoice::Detect(SystemCodePage());
    std::optional<CodePage> codePage = CodePageByNumber(*options.codePage);
    if (!codePage) throw UsageError("unknown code page " + std::to_string(*options.codePage));
    return EncodingChoice::Forced(*codePage);
}

// A file read as UTF-8 that holds bytes that are not: said once.
void WarnOfInvalidText(const FileEncoding& encoding, std::ostream& err)
{
    if (encoding.firstInvalidLine == 0) return;
    err << "quorvel-cli: warning: line " << encoding.firstInvalidLine
        << " holds bytes that are not UTF-8; they are kept as they are\n";
}

// Rows of the flat token reading that no longer follow the file's lines:
// said once, with the way to read one row per line.
void WarnOfPartedLines(uint64_t firstPartedLine, std::ostream& err)
{
    if (firstPartedLine == 0) return;
    err << "quorvel-cli: warning: from line " << firstPartedLine
        << " on, the table's rows no longer follow the file's lines; --rows reads one row per line\n";
}

void PrintTokens(const std::string& file, const EncodingChoice& choice, std::ostream& out, std::ostream& err,
                 FileSystem& files)
{
    const TokenList tokens = ReadCsvTokens(file, choice, files);
    WarnOfInvalidText(tokens.Encoding(), err);
    std::string line;
    for (size_t i = 0; i < tokens.size(); ++i) {
        line.clear();
        AppendEscaped(line, tokens[i]);
        line.push_back('\n');
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
}

// The cells for people: as text of the terminal, tab-separated.
void PrintTableText(const CellTable& table, const CodePage& codePage, std::ostream& out)
{
    std::string line;
    for (int32_t r = 0; r < table.RowCount(); ++r) {
        line.clear();
        for (int32_t c = 0; c < table.ColCount(); ++c) {
            if (c > 0) line.push_back('\t');
            line.append(ForTerminal(table.ReadCell(c, r), codePage));
        }
        line.push_back('\n');
        out.write(line.data(), static_cast<std::streamsize>(line.size()));
    }
}

// The column a choice names: its index, or the one column whose header
// cell is the text (in the file's code page).
int32_t ResolveColumn(const std::vector<std::string>& header, const ColumnChoice& choice, const CodePage& codePage,
                      const char* option)
{
    const auto columns = static_cast<int32_t>(header.size());
    if (choice.index) {
        if (*choice.index >= columns)
            throw UsageError(std::string(option) + " must name a column from 0 to " + std::to_string(columns - 1));
        return *choice.index;
    }
    const std::string wanted = FromTerminal(choice.headerText, codePage);
    std::vector<int32_t> found;
    for (int32_t c = 0; c < columns; ++c)
        if (header[static_cast<size_t>(c)] == wanted) found.push_back(c);
    if (found.size() == 1) return found.front();
    std::string message = std::string(option) + " '" + choice.headerText + "' " +
                          (found.empty() ? "names no column" : "names more than one column") + "; the columns are:";
    for (int32_t c = 0; c < columns; ++c)
        message += "\n  " + std::to_string(c) + ": " + ForTerminal(header[static_cast<size_t>(c)], codePage);
    throw UsageError(message);
}

std::vector<std::string> HeaderOf(const CellTable& table)
{
    std::vector<std::string> header;
    for (int32_t c = 0; c < table.ColCount(); ++c) header.emplace_back(table.ReadCell(c, 0));
    return header;
}

void PrintPlan(const std::vector<PiecePlan>& plans, std::ostream& out)
{
    for (const PiecePlan& plan : plans) {
        out << PathForTerminal(plan.path) << '\t' << plan.rows << " rows\t" << plan.bytes << " bytes";
        switch (plan.mark) {
        case PiecePlan::Mark::kNew: break;
        case PiecePlan::Mark::kReplaces: out << "\treplaces an existing file"; break;
        case PiecePlan::Mark::kShares: out << "\tshares one file with " << PathForTerminal(plan.note); break;
        case PiecePlan::Mark::kCannot: out << "\tcannot be created: " << plan.note; break;
        }
        out << '\n';
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

// The table as the Open command lays it out. Raises RowLimitError for a
// file over the table's cap.
FileEncoding OpenTable(CellTable& table, const Options& options, const std::string& file,
                       const EncodingChoice& choice, FileSystem& files)
{
    table.ChangeColCount(options.columns);
    return options.rows ? OpenCsvRecords(table, file, choice, files,
                                         options.columnsGiven ? std::optional<int32_t>(options.columns) : std::nullopt)
                        : OpenCsvFile(table, file, choice, files);
}

void CheckOutFolder(const std::string& outFolder, FileSystem& files)
{
    if (!outFolder.empty() && !files.IsFolder(outFolder)) throw FolderMissing("--out " + outFolder + ": no such folder");
}

// Pieces are named after the file as given, beside it or in --out, by the
// characters of their keys.
SplitTarget TargetOf(const std::string& file, const CodePage& codePage, const std::string& outFolder,
                     FileSystem& files)
{
    SplitTarget target{file, codePage, PathStyle::Native(), files, outFolder};
    target.namesInUtf8 = true;
    return target;
}

// Within the table's cap, a sort before the split orders the whole table,
// as the window's sort and split-save do; its rows with equal keys come
// out in the sort's own order, which a split per stream cannot repeat.
int SplitSortedTable(const Options& options, const std::string& file, const EncodingChoice& choice,
                     std::ostream& out, std::ostream& err, FileSystem& files)
{
    CellTable table;
    const FileEncoding encoding = OpenTable(table, options, file, choice, files);
    WarnOfInvalidText(encoding, err);
    WarnOfPartedLines(table.FirstPartedLine(), err);
    const CodePage& codePage = encoding.codePage;
    const std::vector<std::string> header = HeaderOf(table);
    SortDataRows(table, ResolveColumn(header, *options.sortColumn, codePage, "--sort"), *CollationFor(codePage));
    const int32_t key = ResolveColumn(header, *options.keyColumn, codePage, "--key");
    const std::string outFolder = PathToUtf8(options.outFolder);
    CheckOutFolder(outFolder, files);
    const SplitTarget target = TargetOf(file, codePage, outFolder, files);
    SplitOptions splitOptions;
    splitOptions.headerLine = options.header;
    splitOptions.byteOrderMark = encoding.byteOrderMark;
    if (options.dryRun) {
        PrintPlan(PlanSplitPieces(table, key, target, splitOptions), out);
        return kSuccess;
    }
    SplitState state;
    const std::vector<std::string> pieces = WriteSplitPieces(
        table, key, target, [&](int32_t row) { table.SelectRow(row); }, state, splitOptions);
    for (const std::string& piece : pieces) out << PathForTerminal(piece) << '\n';
    return kSuccess;
}

// Every other split reads the file as a stream: any size, memory bounded.
int SplitStream(const Options& options, const std::string& file, const EncodingChoice& choice, std::ostream& out,
                std::ostream& err, FileSystem& files, const Console& console)
{
    const std::optional<int32_t> columns =
        options.rows ? (options.columnsGiven ? std::optional<int32_t>(options.columns) : std::nullopt)
                     : std::optional<int32_t>(options.columns);
    const std::unique_ptr<RowStream> rows = OpenRowStream(file, choice, files, options.rows, columns);
    const CodePage codePage = rows->Encoding().codePage;
    std::vector<std::string> header(static_cast<size_t>(rows->ColCount()));
    std::vector<std::string_view> cells;
    if (rows->NextRow(cells)) header.assign(cells.begin(), cells.end());

    StreamSplitSpec spec;
    if (options.keyColumn) spec.keyColumn = ResolveColumn(header, *options.keyColumn, codePage, "--key");
    spec.chunkRows = options.chunkRows;
    std::unique_ptr<Collation> collation;
    if (options.sortColumn) {
        spec.sortColumn = ResolveColumn(header, *options.sortColumn, codePage, "--sort");
        collation = CollationFor(codePage);
        spec.collation = collation.get();
    }
    spec.options.headerLine = options.header;
    spec.options.byteOrderMark = rows->Encoding().byteOrderMark;
    const std::string outFolder = PathToUtf8(options.outFolder);
    CheckOutFolder(outFolder, files);
    const SplitTarget target = TargetOf(file, codePage, outFolder, files);

    if (options.dryRun) {
        const std::vector<PiecePlan> plans = PlanStreamSplit(*rows, header, target, spec);
        WarnOfInvalidText(rows->Encoding(), err);
        WarnOfPartedLines(rows->FirstPartedLine(), err);
        PrintPlan(plans, out);
        return kSuccess;
    }
    StreamSplitResult result;
    {
        ProgressLine progress(err, console);
        result = StreamSplit(*rows, header, target, spec, &progress);
    }
    WarnOfInvalidText(rows->Encoding(), err);
    WarnOfPartedLines(rows->FirstPartedLine(), err);
    for (const std::string& piece : result.written) out << PathForTerminal(piece) << '\n';
    if (!result.stopped) return kSuccess;
    out.flush();
    err << "quorvel-cli: stopped; the pieces listed hold the whole rows read until then\n";
    return kInterrupted;
}

int Split(const Options& options, std::ostream& out, std::ostream& err, FileSystem& files, const Console& console)
{
    const EncodingChoice choice = ChosenEncoding(options);
    // The core's paths are UTF-8.
    const std::string file = PathToUtf8(options.file);
    if (options.sortColumn && options.keyColumn) {
        try {
            return SplitSortedTable(options, file, choice, out, err, files);
        } catch (const RowLimitError&) {
            // Over the cap: streamed, each piece sorted on its own.
        }
    }
    return SplitStream(options, file, choice, out, err, files, console);
}

int Run(const Options& options, std::ostream& out, std::ostream& err, FileSystem& files, const Console& console)
{
    if (options.command == Command::kSplit) return Split(options, out, err, files, console);
    const EncodingChoice choice = ChosenEncoding(options);
    // The core's paths are UTF-8.
    const std::string file = PathToUtf8(options.file);
    if (options.command == Command::kTokens) {
        PrintTokens(file, choice, out, err, files);
        return kSuccess;
    }
    CellTable table;
    const FileEncoding encoding = OpenTable(table, options, file, choice, files);
    WarnOfInvalidText(encoding, err);
    WarnOfPartedLines(table.FirstPartedLine(), err);
    const CodePage& codePage = encoding.codePage;
    if (options.sortColumn)
        SortDataRows(table, ResolveColumn(HeaderOf(table), *options.sortColumn, codePage, "--sort"),
                     *CollationFor(codePage));
    if (options.text) PrintTableText(table, codePage, out);
    else PrintTable(table, out);
    return kSuccess;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, FileSystem& files,
           const Console& console)
{
    try {
        const Options options = ParseOptions(args);
        if (options.command == Command::kVersion) {
            out << "quorvel-cli " << QUORVEL_VERSION_STRING << "\n";
            return kSuccess;
        }
        if (options.command == Command::kHelp) {
            out << kHelpText << "\n" << kUsage;
            return kSuccess;
        }
        const int status = Run(options, out, err, files, console);
        out.flush();
        return status;
    } catch (const FolderMissing& e) {
        err << "quorvel-cli: " << e.what() << "\n";
        return kSystemError;
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
