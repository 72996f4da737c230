// The window's split of a whole file: a preview of a file over the cap,
// the file read again as the table shows it (columns moved, the column
// count changed, the last sort), and no existing file replaced unless
// every piece is complete.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "cli/cli.h"
#include "core/read/csv_open.h"
#include "core/read/record_reader.h"
#include "core/errors.h"
#include "core/split/file_split.h"
#include "core/text/portable_collation.h"
#include "core/table/row_sort.h"
#include "core/split/split_writer.h"
#include "fake_file_system.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Show;

const CodePage kSjis = CodePage::ShiftJis();
const std::string kInput = "d\\t.csv";

std::string Describe(const std::map<std::string, std::string>& files)
{
    std::string text;
    for (const auto& [name, bytes] : files) text += "  " + name + ": " + Show(bytes) + "\n";
    return text;
}

// What the user did to the table after the load.
struct Steps {
    int32_t loadColumns = 3;
    std::vector<std::pair<int32_t, int32_t>> moves;  // RelocateColumn(from, to)
    int32_t columnsAtSplit = 3;
    int32_t sortColumn = -1;  // shown column sorted by, after the moves
    int32_t key = 0;
};

test::FakeFileSystem MakeFileSystem(const std::string& text, const std::map<std::string, std::string>& existing = {})
{
    test::FakeFileSystem fs;
    fs.caseInsensitive = true;
    fs.createNew = true;
    fs.files[fs.Canonical(kInput)] = text;
    for (const auto& [name, bytes] : existing) fs.files[fs.Canonical(name)] = bytes;
    return fs;
}

void ApplySteps(CellTable& table, const Steps& steps, const FileEncoding& encoding, int32_t* sortLayoutColumn)
{
    for (const auto& [from, to] : steps.moves) table.RelocateColumn(from, to);
    if (steps.sortColumn >= 0) {
        *sortLayoutColumn = table.LayoutColumnOf(steps.sortColumn);
        SortDataRows(table, steps.sortColumn, PortableCollation(encoding.codePage));
    }
    table.ChangeColCount(steps.columnsAtSplit);
}

// Today's split of the table, the whole file loaded.
std::map<std::string, std::string> TableSplit(const std::string& text, const Steps& steps)
{
    test::FakeFileSystem fs = MakeFileSystem(text);
    CellTable table;
    table.ChangeColCount(steps.loadColumns);
    const FileEncoding encoding = OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), fs);
    int32_t sortLayoutColumn = -1;
    ApplySteps(table, steps, encoding, &sortLayoutColumn);
    const SplitTarget target{kInput, encoding.codePage, PathStyle::Windows(), fs};
    SplitOptions options;
    options.byteOrderMark = encoding.byteOrderMark;
    SplitState state;
    WriteSplitPieces(table, steps.key, target, nullptr, state, options);
    return fs.files;
}

FileSplitRequest RequestFor(const CellTable& table, int32_t key, int32_t sortLayoutColumn,
                            const Collation* collation)
{
    FileSplitRequest request;
    request.inputPath = kInput;
    request.choice = EncodingChoice::Detect(kSjis);
    request.columns = ShownColumns::Of(table);
    request.keyColumn = key;
    request.sortLayoutColumn = sortLayoutColumn;
    request.collation = collation;
    request.pathStyle = PathStyle::Windows();
    request.partBytes = 64;
    return request;
}

// The same steps on the table, then the split of the whole file read again.
std::map<std::string, std::string> FileSplit(const std::string& text, const Steps& steps)
{
    test::FakeFileSystem fs = MakeFileSystem(text);
    CellTable table;
    table.ChangeColCount(steps.loadColumns);
    const FileEncoding encoding = OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), fs, OverCap::kPreview);
    int32_t sortLayoutColumn = -1;
    ApplySteps(table, steps, encoding, &sortLayoutColumn);
    const PortableCollation collation(encoding.codePage);
    SplitFileAsShown(RequestFor(table, steps.key, sortLayoutColumn, &collation), fs, nullptr);
    return fs.files;
}

// Distinct cells in the columns that may be sorted by, so that the table's
// sort, which is not stable, has no ties to order its own way.
std::string RandomFile(std::mt19937& random, int32_t columns, size_t rows)
{
    // No empty key: an empty first field gives no token, which would shift
    // the layout and bring the repeating keys into the sorted columns.
    static const std::vector<std::string> kKeys = {"A", "a", "b", "東京", "\"q,\"", "CON", "x."};
    std::uniform_int_distribution<size_t> key(0, kKeys.size() - 1);
    std::string text = random() % 8 == 0 ? "\xEF\xBB\xBF" : "";
    for (size_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            if (c > 0) text += ",";
            text += c == 0 && r > 0 ? kKeys[key(random)] : "c" + std::to_string(c) + "r" + std::to_string(random() % 100000);
        }
        text += "\r\n";
    }
    if (random() % 3 == 0) text += "odd,one\r\n";  // a last row filled up with empty cells
    return text;
}

TEST(SplitFileAsShown, WritesWhatTheTablesSplitWritesAfterTheSameSteps)
{
    std::mt19937 random(23);
    for (int round = 0; round < 150; ++round) {
        Steps steps;
        steps.loadColumns = 1 + round % 4;
        const std::string text = RandomFile(random, steps.loadColumns, 2 + static_cast<size_t>(random() % 30));
        for (int m = 0; m < round % 3; ++m) {
            const auto from = static_cast<int32_t>(random() % static_cast<unsigned>(steps.loadColumns));
            const auto to = static_cast<int32_t>(random() % static_cast<unsigned>(steps.loadColumns));
            steps.moves.emplace_back(from, to);
        }
        steps.columnsAtSplit = 1 + static_cast<int32_t>(random() % 6);
        steps.key = static_cast<int32_t>(random() % static_cast<unsigned>(steps.columnsAtSplit));
        // Sorted by a column of distinct cells (not the first column of
        // the file, which repeats), wherever the moves put it.
        std::vector<int32_t> shown(static_cast<size_t>(steps.loadColumns));
        for (size_t c = 0; c < shown.size(); ++c) shown[c] = static_cast<int32_t>(c);
        for (const auto& [from, to] : steps.moves) {
            if (from < to) std::rotate(shown.begin() + from, shown.begin() + from + 1, shown.begin() + to + 1);
            else if (from > to) std::rotate(shown.begin() + to, shown.begin() + from, shown.begin() + from + 1);
        }
        if (round % 2 == 1 && steps.loadColumns > 1) {
            const int32_t layout = 1 + static_cast<int32_t>(random() % static_cast<unsigned>(steps.loadColumns - 1));
            steps.sortColumn = static_cast<int32_t>(std::find(shown.begin(), shown.end(), layout) - shown.begin());
            steps.columnsAtSplit = std::max(steps.columnsAtSplit, steps.sortColumn + 1);
        }
        std::map<std::string, std::string> table, streamed;
        try {
            table = TableSplit(text, steps);
            streamed = FileSplit(text, steps);
        } catch (const QuorvelError& e) {
            FAIL() << "round " << round << ": " << Show(e.what()) << " text " << Show(text);
        }
        ASSERT_EQ(streamed, table) << "round " << round << " text " << Show(text) << "\nstreamed:\n"
                                   << Describe(streamed) << "table:\n"
                                   << Describe(table);
    }
}

// A file just within the cap, after a column move, a sort and a wider
// column count: read again whole, it gives the table's pieces.
TEST(SplitFileAsShown, AFileJustWithinTheCapGivesTheTablesPieces)
{
    std::mt19937 random(7);
    std::vector<int32_t> order(static_cast<size_t>(MaxTableRows - 1));
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int32_t>(i);
    std::shuffle(order.begin(), order.end(), random);
    std::string text = "key,unique,value\r\n";
    for (const int32_t n : order)
        text += std::string(1, "PQRS"[n % 4]) + ",u" + std::to_string(n) + ",v" + std::to_string(n % 97) + "\r\n";
    Steps steps;
    steps.loadColumns = 3;
    steps.moves = {{1, 0}};  // unique, key, value
    steps.sortColumn = 0;
    steps.columnsAtSplit = 4;
    steps.key = 1;
    const auto table = TableSplit(text, steps);
    const auto streamed = FileSplit(text, steps);
    ASSERT_EQ(table.size(), 5u);
    for (const auto& [name, bytes] : table) EXPECT_TRUE(streamed.count(name) && streamed.at(name) == bytes) << name;
    EXPECT_EQ(streamed.size(), table.size());
}

TEST(SplitFileAsShown, ChunksCarryTheShownColumnsAndTheHeader)
{
    test::FakeFileSystem fs = MakeFileSystem("h1,h2,h3\r\n1,2,3\r\n4,5,6\r\n7,8,9\r\n", {{"d\\t_2.csv", "old"}});
    CellTable table;
    table.ChangeColCount(3);
    OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), fs, OverCap::kPreview);
    table.RelocateColumn(2, 0);
    table.ChangeColCount(4);
    FileSplitRequest request = RequestFor(table, 0, -1, nullptr);
    request.chunkRows = 2;
    request.headerLine = true;
    const StreamSplitResult result = SplitFileAsShown(request, fs, nullptr);
    EXPECT_EQ(result.written, (std::vector<std::string>{"d\\t_1.csv", "d\\t_2.csv"}));
    EXPECT_EQ(fs.files.at("d\\t_1.csv"), "h3,h1,h2,\r\n3,1,2,\r\n6,4,5,\r\n");
    EXPECT_EQ(fs.files.at("d\\t_2.csv"), "h3,h1,h2,\r\n9,7,8,\r\n");
    EXPECT_EQ(fs.files.size(), 3u) << Describe(fs.files);
}

// A file of `rows` rows of one cell each: "r1", "r2", ... after a header.
std::string NumberedRows(int64_t rows)
{
    std::string text = "head\r\n";
    for (int64_t r = 1; r < rows; ++r) text += "r" + std::to_string(r) + "\r\n";
    return text;
}

TEST(OpenCsvFile, AFileOverTheCapOpensAsAPreviewOfItsFirstRows)
{
    struct Case {
        int64_t rows;
        bool preview;
    };
    for (const Case& c : {Case{MaxTableRows - 1, false}, Case{MaxTableRows, false}, Case{MaxTableRows + 1, true},
                          Case{MaxTableRows + 5000, true}}) {
        test::FakeFileSystem fs = MakeFileSystem(NumberedRows(c.rows));
        CellTable table;
        table.ChangeColCount(1);
        OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), fs, OverCap::kPreview);
        EXPECT_EQ(table.IsPreview(), c.preview) << c.rows;
        EXPECT_EQ(table.RowCount(), std::min<int64_t>(c.rows, MaxTableRows)) << c.rows;
        EXPECT_EQ(table.ReadCell(0, table.RowCount() - 1), "r" + std::to_string(table.RowCount() - 1));
        if (!c.preview) continue;
        // The same file is refused where no preview is asked for, and the
        // table is left as it was.
        EXPECT_THROW(OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), fs), RowLimitError);
        EXPECT_TRUE(table.IsPreview());
    }
    // Rows of two cells, the last one cut: the preview holds whole rows.
    test::FakeFileSystem fs = MakeFileSystem(NumberedRows(2 * int64_t{MaxTableRows} + 1));
    CellTable table;
    table.ChangeColCount(2);
    OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), fs, OverCap::kPreview);
    EXPECT_TRUE(table.IsPreview());
    EXPECT_EQ(table.RowCount(), MaxTableRows);
    EXPECT_EQ(table.ReadCell(1, MaxTableRows - 1), "r" + std::to_string(2 * int64_t{MaxTableRows} - 1));
}

TEST(SplitFileAsShown, APreviewsSplitWritesTheWholeFile)
{
    const int64_t rows = MaxTableRows + 3;
    std::string text = "k,v\r\n";
    for (int64_t r = 1; r < rows; ++r) text += (r % 2 ? "odd," : "even,") + std::to_string(r) + "\r\n";
    test::FakeFileSystem fs = MakeFileSystem(text);
    CellTable table;
    table.ChangeColCount(2);
    OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), fs, OverCap::kPreview);
    ASSERT_TRUE(table.IsPreview());
    FileSplitRequest request = RequestFor(table, 0, -1, nullptr);
    request.partBytes = size_t{1} << 20;
    SplitFileAsShown(request, fs, nullptr);
    std::string odd, even;
    for (int64_t r = 1; r < rows; ++r) (r % 2 ? odd : even) += (r % 2 ? "odd," : "even,") + std::to_string(r) + "\r\n";
    EXPECT_TRUE(fs.files.at("d\\t_odd.csv") == odd);
    EXPECT_TRUE(fs.files.at("d\\t_even.csv") == even);
}

TEST(SplitFileAsShown, APreviewSortedByItsKeyNeedsNoPieceToFitInATable)
{
    // One key over the cap, sorted by that key: its rows in file order.
    const int64_t rows = MaxTableRows + 2;
    std::string text = "k,v\r\n";
    for (int64_t r = 1; r < rows; ++r) text += (r == 5 ? "B," : "A,") + std::to_string(r) + "\r\n";
    test::FakeFileSystem fs = MakeFileSystem(text);
    CellTable table;
    table.ChangeColCount(2);
    OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), fs, OverCap::kPreview);
    ASSERT_TRUE(table.IsPreview());
    const PortableCollation collation(kSjis);
    FileSplitRequest request = RequestFor(table, 0, 0, &collation);
    request.partBytes = size_t{1} << 20;
    SplitFileAsShown(request, fs, nullptr);
    std::string a;
    for (int64_t r = 1; r < rows; ++r)
        if (r != 5) a += "A," + std::to_string(r) + "\r\n";
    EXPECT_TRUE(fs.files.at("d\\t_a.csv") == a);
    EXPECT_EQ(fs.files.at("d\\t_b.csv"), "B,5\r\n");
    // Sorted by the other column, the piece of A is over the cap: refused,
    // and nothing written.
    test::FakeFileSystem refused = MakeFileSystem(text);
    request.sortLayoutColumn = 1;
    EXPECT_THROW(SplitFileAsShown(request, refused, nullptr), PieceRowLimitError);
    EXPECT_EQ(refused.files.size(), 1u);
}

// Stops after a number of reports.
class StopAfter final : public SplitObserver {
public:
    explicit StopAfter(int reports) : left_(reports) {}
    bool StopRequested() override { return --left_ < 0; }

private:
    int left_;
};

const std::map<std::string, std::string> kExisting = {{"d\\t_A.csv", "older A\r\n"}, {"d\\t_c.csv", "older c\r\n"}};

std::string ManyKeysFile()
{
    std::string text = "k,v\r\n";
    for (int r = 0; r < 70000; ++r) text += std::string(1, "AaBbCcD"[r % 7]) + "," + std::to_string(r) + "\r\n";
    return text;
}

TEST(SplitFileAsShown, AStopAtAnyPointLeavesTheFolderAsItWas)
{
    const std::string text = ManyKeysFile();
    for (const int reports : {0, 1}) {
        test::FakeFileSystem fs = MakeFileSystem(text, kExisting);
        const auto before = fs.files;
        CellTable table;
        table.ChangeColCount(2);
        OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), fs, OverCap::kPreview);
        StopAfter observer(reports);
        FileSplitRequest request = RequestFor(table, 0, -1, nullptr);
        request.partBytes = 4096;
        const StreamSplitResult result = SplitFileAsShown(request, fs, &observer);
        EXPECT_TRUE(result.stopped) << reports;
        EXPECT_EQ(fs.files, before) << "stopped after " << reports << " reports\n" << Describe(fs.files);
    }
}

TEST(SplitFileAsShown, AFailureAtAnyStepLeavesTheFolderAsItWas)
{
    const std::string text = "k,v\r\nA,1\r\na,2\r\nb,3\r\nc,4\r\nA,5\r\nd,6\r\n";
    test::FakeFileSystem whole = MakeFileSystem(text, kExisting);
    CellTable table;
    table.ChangeColCount(2);
    OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), whole, OverCap::kPreview);
    SplitFileAsShown(RequestFor(table, 0, -1, nullptr), whole, nullptr);
    // "a" shares the file of "A" (the folder ignores case): after all of it.
    EXPECT_EQ(whole.files.at("d\\t_a.csv"), "A,1\r\nA,5\r\na,2\r\n") << Describe(whole.files);
    EXPECT_EQ(whole.files.at("d\\t_c.csv"), "c,4\r\n");
    EXPECT_EQ(whole.files.size(), 5u) << Describe(whole.files);

    // A create that fails, a write cut short, a rename refused; and a new
    // file that cannot be made as new, which the split then opens instead.
    // With a layer that makes new files as new, and one that only opens.
    enum Fault { kCreate, kShortWrite, kReplace, kCreateNew };
    for (const bool createNew : {true, false})
    for (const Fault fault : {kCreate, kShortWrite, kReplace, kCreateNew}) {
        int failures = 0;
        for (int call = 1; call < 30; ++call) {
            test::FakeFileSystem fs = MakeFileSystem(text, kExisting);
            fs.createNew = createNew;
            const auto before = fs.files;
            if (fault == kCreate) fs.failCreateAtCall = call;
            if (fault == kCreateNew) fs.refuseCreateNewAtCall = call;
            if (fault == kShortWrite) fs.shortWriteAtCall = call;
            if (fault == kReplace) fs.failReplaceAtCall = call;
            std::string error;
            try {
                SplitFileAsShown(RequestFor(table, 0, -1, nullptr), fs, nullptr);
            } catch (const QuorvelError& e) {
                error = e.what();
            }
            if (error.empty()) {
                EXPECT_EQ(fs.files, whole.files) << "fault " << fault << " at call " << call;
                continue;
            }
            ++failures;
            EXPECT_TRUE(error == FileWriteError().what() || error.find("を作成できません") != std::string::npos)
                << error;
            // A rename refused at any step of the commit too: every name
            // holds what it held, and no working file is left.
            EXPECT_EQ(fs.files, before) << "fault " << fault << " at call " << call << "\n" << Describe(fs.files);
        }
        // Every kind but the last fails the split at some step; the layer
        // that only opens goes through OpenPiece, whose calls fail, at
        // every piece.
        if (fault == kCreateNew) EXPECT_EQ(failures, 0);
        else EXPECT_GE(failures, createNew && fault != kReplace ? 1 : 3) << "fault " << fault;
    }
}

TEST(SplitFileAsShown, AStopAfterTheLastRowStillReplacesNothingButTheWholeSet)
{
    // Names that one folder takes for one file share it; a name taken by
    // a file before the split is replaced only at the end.
    const std::string text = "k,v\r\nc,1\r\nC,2\r\n";  // the folder ignores case
    test::FakeFileSystem fs = MakeFileSystem(text, kExisting);
    CellTable table;
    table.ChangeColCount(2);
    OpenCsvFile(table, kInput, EncodingChoice::Detect(kSjis), fs, OverCap::kPreview);
    SplitFileAsShown(RequestFor(table, 0, -1, nullptr), fs, nullptr);
    EXPECT_EQ(fs.files.at("d\\t_c.csv"), "c,1\r\nC,2\r\n");
    EXPECT_EQ(fs.files.at("d\\t_a.csv"), "older A\r\n");
    EXPECT_EQ(fs.files.size(), 3u) << Describe(fs.files);
}

// A sheet saved by a spreadsheet program, over the cap: blanks inside
// values, empty last fields, a quoted value over two lines, rows of fewer
// fields than the widest.
std::string SpreadsheetRows(int64_t rows)
{
    std::string text = "no,name,dept,note\r\n";
    static const char* const kDepts[] = {"Sales", "General", "sales"};
    for (int64_t r = 1; r < rows; ++r) {
        const std::string n = std::to_string(r);
        text += n + ",Yamada " + n + "," + kDepts[r % 3] + (r % 5 == 0 ? ",\"two\r\nlines\"" : r % 7 ? "," : "") +
                "\r\n";
    }
    return text;
}

TEST(OpenCsvRecords, AFileOverTheCapOpensAsAPreviewOfItsFirstRecords)
{
    for (const int64_t rows : {int64_t{MaxTableRows}, int64_t{MaxTableRows} + 1, int64_t{MaxTableRows} + 40}) {
        test::FakeFileSystem fs = MakeFileSystem(SpreadsheetRows(rows));
        CellTable table;
        table.ChangeColCount(2);
        OpenCsvRecords(table, kInput, EncodingChoice::Detect(kSjis), fs, std::nullopt, OverCap::kPreview);
        EXPECT_EQ(table.IsPreview(), rows > MaxTableRows) << rows;
        EXPECT_EQ(table.ColCount(), 4);
        EXPECT_EQ(table.RowCount(), MaxTableRows);
        const int32_t last = MaxTableRows - 1;
        EXPECT_EQ(table.ReadCell(1, last), "Yamada " + std::to_string(last));
        EXPECT_EQ(table.FirstPartedLine(), 0u) << "read by lines: nothing parts";
        if (rows == MaxTableRows) continue;
        // Where no preview is asked for, the file is refused and the table
        // left as it was.
        EXPECT_THROW(OpenCsvRecords(table, kInput, EncodingChoice::Detect(kSjis), fs, std::nullopt), RowLimitError);
        EXPECT_TRUE(table.IsPreview());
        EXPECT_EQ(table.ColCount(), 4);
    }
}

TEST(SplitFileAsShown, AByLinesPreviewWritesThePiecesOfSplitRows)
{
    const int64_t rows = MaxTableRows + 25;
    const std::string text = SpreadsheetRows(rows);
    // The window's way: open by lines as a preview, split the whole file.
    test::FakeFileSystem window = MakeFileSystem(text);
    window.caseInsensitive = false;
    window.files.erase(window.Canonical(kInput));
    window.files["in.csv"] = text;
    CellTable table;
    OpenCsvRecords(table, "in.csv", EncodingChoice::Detect(kSjis), window, std::nullopt, OverCap::kPreview);
    ASSERT_TRUE(table.IsPreview());
    FileSplitRequest request = RequestFor(table, 2, -1, nullptr);
    request.inputPath = "in.csv";
    request.byLines = true;
    request.pathStyle = PathStyle::Native();
    request.partBytes = size_t{1} << 20;
    SplitFileAsShown(request, window, nullptr);
    // The command line's: split --rows.
    test::FakeFileSystem cli = MakeFileSystem(text);
    cli.caseInsensitive = false;
    cli.files.erase(cli.Canonical(kInput));
    cli.files["in.csv"] = text;
    std::ostringstream out, err;
    ASSERT_EQ(cli::RunCli({"split", "in.csv", "--rows", "--key", "2"}, out, err, cli), 0) << err.str();
    ASSERT_EQ(window.files.size(), 4u) << Describe(window.files).substr(0, 400);
    EXPECT_TRUE(window.files == cli.files);
    // Blanks and empty last fields kept, a short record padded.
    const std::string sales = window.files.at("in_sales.csv");
    const std::string first = "2,\"Yamada 2\",sales,\r\n5,\"Yamada 5\",sales,\"two\r\nlines\"\r\n8,\"Yamada 8\",sales,\r\n";
    EXPECT_EQ(sales.substr(0, first.size()), first) << Show(sales.substr(0, 80));
    EXPECT_NE(sales.find("\r\n14,\"Yamada 14\",sales,\r\n"), std::string::npos);
}

TEST(SplitFileAsShown, ALaterRecordWiderThanTheTableStopsTheSplitAndReplacesNothing)
{
    std::string text = SpreadsheetRows(MaxTableRows + 10);
    const uint64_t line = static_cast<uint64_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    text += "x,y,Sales,z,one too many\r\nlast,row,Sales,\r\n";
    test::FakeFileSystem fs = MakeFileSystem(text, kExisting);
    fs.files[fs.Canonical("d\\t_Sales.csv")] = "older Sales\r\n";
    const auto before = fs.files;
    CellTable table;
    OpenCsvRecords(table, kInput, EncodingChoice::Detect(kSjis), fs, std::nullopt, OverCap::kPreview);
    ASSERT_EQ(table.ColCount(), 4);
    FileSplitRequest request = RequestFor(table, 2, -1, nullptr);
    request.byLines = true;
    request.partBytes = size_t{1} << 20;
    try {
        SplitFileAsShown(request, fs, nullptr);
        FAIL() << "a record of five fields in a table of four columns";
    } catch (const WiderRecordError& e) {
        EXPECT_EQ(e.Message(), "ファイル " + kInput + " の " + std::to_string(line) +
                                   " 行目は項目が 5 個あり、表の列数 4 を超えるため分割保存できません");
    }
    EXPECT_TRUE(fs.files == before) << Describe(fs.files).substr(0, 400);
}

}  // namespace
}  // namespace quorvel
