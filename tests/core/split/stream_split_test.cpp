// The streaming split against the table's split: the same pieces, names,
// bytes and order for any file within the cap, whatever the part, batch
// and open-file sizes; chunks; the sort per piece; the dry run agreeing
// with the split; many keys; failures at every step.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/read/csv_open.h"
#include "core/read/record_reader.h"
#include "core/errors.h"
#include "core/text/portable_collation.h"
#include "core/split/row_line.h"
#include "core/table/row_sort.h"
#include "core/split/split_writer.h"
#include "core/split/stream_split.h"
#include "fake_file_system.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Show;

const CodePage kSjis = CodePage::ShiftJis();

struct Outcome {
    std::vector<std::string> written;
    std::map<std::string, std::string> files;
    std::string error;
    bool operator==(const Outcome& o) const { return written == o.written && files == o.files && error == o.error; }
};

std::string Describe(const Outcome& outcome)
{
    std::string text = "written " + Show(outcome.written) + "\n";
    for (const auto& [name, bytes] : outcome.files) text += "  " + name + ": " + Show(bytes) + "\n";
    return text + "error: " + Show(outcome.error);
}

struct SplitCase {
    std::string text;
    int32_t columns = 3;
    bool records = false;
    int32_t key = 0;
    bool header = false;
    bool caseInsensitive = false;
    std::map<std::string, std::string> existing;
    PathStyle style = PathStyle::Windows();
    std::string input = "d\\t.csv";
};

test::FakeFileSystem MakeFileSystem(const SplitCase& setup)
{
    test::FakeFileSystem fs;
    fs.caseInsensitive = setup.caseInsensitive;
    fs.createNew = true;
    fs.files[fs.Canonical(setup.input)] = setup.text;
    for (const auto& [name, bytes] : setup.existing) fs.files[fs.Canonical(name)] = bytes;
    return fs;
}

Outcome TableSplit(const SplitCase& setup, std::optional<int32_t> sortColumn = std::nullopt)
{
    test::FakeFileSystem fs = MakeFileSystem(setup);
    Outcome outcome;
    try {
        CellTable table;
        table.ChangeColCount(setup.columns);
        const FileEncoding encoding =
            setup.records ? OpenCsvRecords(table, setup.input, EncodingChoice::Detect(kSjis), fs, setup.columns)
                          : OpenCsvFile(table, setup.input, EncodingChoice::Detect(kSjis), fs);
        if (sortColumn && table.RowCount() > 1) SortDataRows(table, *sortColumn, PortableCollation(encoding.codePage));
        const SplitTarget target{setup.input, encoding.codePage, setup.style, fs};
        SplitOptions options;
        options.headerLine = setup.header;
        options.byteOrderMark = encoding.byteOrderMark;
        SplitState state;
        outcome.written = WriteSplitPieces(table, setup.key, target, nullptr, state, options);
    } catch (const QuorvelError& e) {
        outcome.error = e.what();
    }
    outcome.files = fs.files;
    return outcome;
}

struct StreamSizes {
    size_t partBytes = 64;
    size_t batchBytes = 256;
    size_t openFiles = 2;
};

// The header row as the front ends read it: the stream's first row.
std::vector<std::string> ReadHeader(RowStream& rows)
{
    std::vector<std::string> header(static_cast<size_t>(rows.ColCount()));
    std::vector<std::string_view> cells;
    if (rows.NextRow(cells)) header.assign(cells.begin(), cells.end());
    return header;
}

Outcome StreamedSplit(const SplitCase& setup, const StreamSizes& sizes, uint64_t chunkRows = 0,
                      std::optional<int32_t> sortColumn = std::nullopt, test::FakeFileSystem* keep = nullptr)
{
    test::FakeFileSystem local = MakeFileSystem(setup);
    test::FakeFileSystem& fs = keep ? *keep : local;
    if (keep) fs = MakeFileSystem(setup);
    Outcome outcome;
    try {
        const std::unique_ptr<RowStream> rows = OpenRowStream(setup.input, EncodingChoice::Detect(kSjis), fs,
                                                              setup.records, setup.columns, sizes.partBytes);
        const std::vector<std::string> header = ReadHeader(*rows);
        const CodePage codePage = rows->Encoding().codePage;
        const PortableCollation collation(codePage);
        StreamSplitSpec spec;
        spec.keyColumn = setup.key;
        spec.chunkRows = chunkRows;
        spec.sortColumn = sortColumn;
        spec.collation = &collation;
        spec.options.headerLine = setup.header;
        spec.options.byteOrderMark = rows->Encoding().byteOrderMark;
        spec.options.batchBytes = sizes.batchBytes;
        spec.openFiles = sizes.openFiles;
        const SplitTarget target{setup.input, codePage, setup.style, fs};
        outcome.written = StreamSplit(*rows, header, target, spec).written;
    } catch (const QuorvelError& e) {
        outcome.error = e.what();
    }
    outcome.files = fs.files;
    return outcome;
}

// Keys that collide where case is ignored, that repeat, that hold bytes a
// name cannot, that are long, that are device names or end in a dot or a
// blank, and cells that need quotes.
std::string RandomTable(std::mt19937& random, int32_t columns, size_t rows)
{
    static const std::vector<std::string> kKeys = {"A",  "a",   "b",   "B",   "東京", "\x81", "x/y",
                                                   "",   "\"q,\"", std::string(300, 'L'), "c", "d\r\ne",
                                                   "CON", "con", "x.",  "y ",  "NUL."};
    static const std::vector<std::string> kCells = {"1", "22", "", "a b", "\"x\"", "表", "\x81", "z", "\"\"\"\""};
    std::uniform_int_distribution<size_t> key(0, kKeys.size() - 1), cell(0, kCells.size() - 1);
    std::uniform_int_distribution<int> shape(0, 9);
    std::string text = shape(random) == 0 ? "\xEF\xBB\xBF" : "";
    for (size_t r = 0; r < rows; ++r) {
        for (int32_t c = 0; c < columns; ++c) {
            if (c > 0) text += ",";
            text += (c == 0 && r > 0) ? kKeys[key(random)] : kCells[cell(random)];
        }
        text += shape(random) == 0 ? "\n" : "\r\n";
    }
    return text;
}

TEST(StreamSplit, WritesWhatTheTablesSplitWritesWhateverTheSizes)
{
    std::mt19937 random(17);
    const StreamSizes sizes[] = {{64, 256, 1}, {100, 1 << 20, 2}, {4096, 64, 3}, {1 << 20, 1 << 20, 128}};
    for (int round = 0; round < 120; ++round) {
        SplitCase setup;
        setup.columns = 1 + round % 4;
        setup.records = round % 3 == 0;
        setup.header = round % 2 == 0;
        setup.caseInsensitive = round % 4 < 2;
        setup.key = 0;
        setup.text = RandomTable(random, setup.columns, static_cast<size_t>(round % 40));
        if (round % 5 == 0) setup.existing["d\\t_b.csv"] = "old\r\n";
        if (round % 7 == 0) setup.existing["d\\T_A.csv"] = "older\r\n";
        if (round % 11 == 0) setup.style = PathStyle::Posix(), setup.input = "d/t.csv";
        const Outcome table = TableSplit(setup);
        for (const StreamSizes& size : sizes) {
            const Outcome streamed = StreamedSplit(setup, size);
            if (table.error.empty()) {
                ASSERT_EQ(streamed, table) << "round " << round << ", part " << size.partBytes << "\nstreamed:\n"
                                           << Describe(streamed) << "\ntable:\n"
                                           << Describe(table) << "\ntext " << Show(setup.text);
                continue;
            }
            // A piece that cannot be written stops both splits where they
            // are: the table's has written its earlier pieces whole, the
            // stream the rows read until then.
            ASSERT_EQ(streamed.error, table.error) << "round " << round;
            for (const auto& [name, bytes] : streamed.files) {
                ASSERT_TRUE(table.files.count(name)) << name;
                EXPECT_EQ(table.files.at(name).compare(0, bytes.size(), bytes), 0) << name << " in round " << round;
            }
        }
    }
}

TEST(StreamSplit, ChunksOfNRowsInFileOrderEachWithTheHeader)
{
    SplitCase setup;
    setup.columns = 2;
    setup.header = true;
    setup.input = "d\\list.csv";
    setup.text = "k,v\r\n1,a\r\n2,b\r\n3,c\r\n4,\"x,y\"\r\n5,e\r\n";
    setup.existing["d\\list_2.csv"] = "an older chunk, replaced";
    const Outcome outcome = StreamedSplit(setup, {64, 64, 1}, 2);
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.written, (std::vector<std::string>{"d\\list_1.csv", "d\\list_2.csv", "d\\list_3.csv"}));
    EXPECT_EQ(outcome.files.at("d\\list_1.csv"), "k,v\r\n1,a\r\n2,b\r\n");
    EXPECT_EQ(outcome.files.at("d\\list_2.csv"), "k,v\r\n3,c\r\n4,\"x,y\"\r\n");
    EXPECT_EQ(outcome.files.at("d\\list_3.csv"), "k,v\r\n5,e\r\n");
    EXPECT_EQ(outcome.files.size(), 4u) << "the input and three chunks";

    setup.header = false;
    const Outcome one = StreamedSplit(setup, {}, 1000);
    EXPECT_EQ(one.written, (std::vector<std::string>{"d\\list_1.csv"}));
    EXPECT_EQ(one.files.at("d\\list_1.csv"), "1,a\r\n2,b\r\n3,c\r\n4,\"x,y\"\r\n5,e\r\n");
}

// Rows of distinct sort cells: the sort per piece gives what sorting the
// whole table first gives.
TEST(StreamSplit, SortsEachPieceAsTheTableSortWouldWhereKeysDoNotTie)
{
    std::mt19937 random(5);
    for (int round = 0; round < 40; ++round) {
        SplitCase setup;
        setup.columns = 3;
        setup.header = round % 2 == 0;
        setup.text = "k,s,v\r\n";
        std::vector<int> numbers(30);
        for (size_t i = 0; i < numbers.size(); ++i) numbers[i] = static_cast<int>(i);
        std::shuffle(numbers.begin(), numbers.end(), random);
        for (const int n : numbers)
            setup.text += std::string(1, "ABC"[n % 3]) + ",s" + std::to_string(1000 + n) + ",v" + std::to_string(n) + "\r\n";
        const Outcome table = TableSplit(setup, 1);
        const Outcome streamed = StreamedSplit(setup, {64, 128, 1}, 0, 1);
        ASSERT_EQ(streamed, table) << Describe(streamed) << "\n" << Describe(table);
    }
}

TEST(StreamSplit, EqualSortCellsKeepFileOrder)
{
    SplitCase setup;
    setup.columns = 3;
    setup.text = "k,s,v\r\nA,2,first\r\nA,1,x\r\nA,2,second\r\nA,1,y\r\nA,2,third\r\n";
    const Outcome streamed = StreamedSplit(setup, {64, 64, 1}, 0, 1);
    EXPECT_EQ(streamed.files.at("d\\t_A.csv"), "A,1,x\r\nA,1,y\r\nA,2,first\r\nA,2,second\r\nA,2,third\r\n");
    EXPECT_EQ(streamed.files.size(), 2u) << "no spool left";
}

TEST(StreamSplit, APieceTooLongToSortIsAnErrorNamingIt)
{
    SplitCase setup;
    setup.columns = 2;
    setup.text = "k,s\r\n";
    setup.text.reserve(5 * static_cast<size_t>(MaxTableRows));
    for (int32_t r = 0; r < MaxTableRows; ++r) setup.text += "a,1\r\n";  // one row more than a table's data rows
    setup.text += "b,1\r\n";
    const Outcome streamed = StreamedSplit(setup, {1 << 20, 1 << 20, 4}, 0, 1);
    EXPECT_EQ(streamed.error, PieceRowLimitError("d\\t_a.csv").what());
    EXPECT_EQ(streamed.files.size(), 1u) << "no piece and no spool left";
}

// The plan of the stream, the plan of the table and the split itself
// agree piece by piece, whatever names collide or exist.
TEST(PlanStreamSplit, AgreesWithTheTablesPlanAndWithTheSplit)
{
    std::mt19937 random(99);
    for (int round = 0; round < 150; ++round) {
        SplitCase setup;
        setup.columns = 2;
        setup.header = round % 2 == 0;
        // Windows' folders ignore case; a POSIX one does not.
        setup.caseInsensitive = round % 3 != 0;
        const std::string folder = setup.caseInsensitive ? "d\\" : "d/";
        if (!setup.caseInsensitive) setup.style = PathStyle::Posix(), setup.input = "d/t.csv";
        setup.text = RandomTable(random, 2, 25);
        // A name too long stops the split at once: seldom, so that most
        // rounds reach the names that collide.
        if (round % 10 != 0)
            for (size_t at; (at = setup.text.find(std::string(300, 'L'))) != std::string::npos;)
                setup.text.replace(at, 300, "Lo");
        if (round % 2) setup.existing[folder + "t_a.csv"] = "old";
        if (round % 5 == 0) setup.existing[folder + "T_B.csv"] = "old";
        if (round % 7 == 0) setup.existing[folder + "t_c.csv"] = "old";

        test::FakeFileSystem planFs = MakeFileSystem(setup);
        const std::unique_ptr<RowStream> rows =
            OpenRowStream(setup.input, EncodingChoice::Detect(kSjis), planFs, false, setup.columns, 64);
        const std::vector<std::string> header = ReadHeader(*rows);
        const CodePage codePage = rows->Encoding().codePage;
        StreamSplitSpec spec;
        spec.options.headerLine = setup.header;
        spec.options.byteOrderMark = rows->Encoding().byteOrderMark;
        const SplitTarget planTarget{setup.input, codePage, setup.style, planFs};
        const std::vector<PiecePlan> plans = PlanStreamSplit(*rows, header, planTarget, spec);
        EXPECT_EQ(planFs.files, MakeFileSystem(setup).files) << "a plan writes nothing";

        CellTable table;
        table.ChangeColCount(setup.columns);
        OpenCsvFile(table, setup.input, EncodingChoice::Detect(kSjis), planFs);
        SplitOptions options;
        options.headerLine = setup.header;
        options.byteOrderMark = spec.options.byteOrderMark;
        const std::vector<PiecePlan> tablePlans = PlanSplitPieces(table, 0, planTarget, options);
        ASSERT_EQ(plans.size(), tablePlans.size());
        for (size_t i = 0; i < plans.size(); ++i) {
            EXPECT_EQ(plans[i].path, tablePlans[i].path);
            EXPECT_EQ(plans[i].rows, tablePlans[i].rows);
            EXPECT_EQ(plans[i].bytes, tablePlans[i].bytes);
            EXPECT_EQ(plans[i].mark, tablePlans[i].mark) << plans[i].path;
            EXPECT_EQ(plans[i].note, tablePlans[i].note);
        }

        // What the split then does, piece by piece.
        test::FakeFileSystem fs;
        const Outcome split = StreamedSplit(setup, {64, 100, 2}, 0, std::nullopt, &fs);
        const size_t cannot = static_cast<size_t>(
            std::find_if(plans.begin(), plans.end(), [](auto& p) { return p.mark == PiecePlan::Mark::kCannot; }) -
            plans.begin());
        if (cannot < plans.size()) {
            EXPECT_EQ(split.error, FileCreateError(plans[cannot].path).what()) << "round " << round;
            continue;
        }
        ASSERT_EQ(split.error, "") << "round " << round;
        // A piece that shares a file adds no header of its own.
        std::string headerBytes = spec.options.byteOrderMark ? "\xEF\xBB\xBF" : "";
        if (setup.header) {
            const std::vector<std::string_view> cells(header.begin(), header.end());
            RowLineBuilder(codePage).AppendCells(cells.data(), cells.size(), headerBytes);
            headerBytes += "\r\n";
        }
        std::map<std::string, uint64_t> bytesOfFile;
        for (const PiecePlan& plan : plans) {
            const bool shares = plan.mark == PiecePlan::Mark::kShares;
            bytesOfFile[fs.Canonical(shares ? plan.note : plan.path)] += plan.bytes - (shares ? headerBytes.size() : 0);
        }
        for (const auto& [file, bytes] : bytesOfFile)
            EXPECT_EQ(fs.files.at(file).size(), bytes) << file << " in round " << round;
    }
}

TEST(StreamSplit, AHundredThousandKeysWithABoundedSetOfOpenFiles)
{
    SplitCase setup;
    setup.columns = 2;
    setup.style = PathStyle::Posix();
    setup.input = "d/t.csv";
    setup.text = "k,v\r\n";
    for (int round = 0; round < 3; ++round)
        for (int k = 0; k < 100000; ++k) setup.text += "k" + std::to_string(k) + "," + std::to_string(round) + "\r\n";
    test::FakeFileSystem fs;
    const Outcome outcome = StreamedSplit(setup, {1 << 16, 1 << 20, 64}, 0, std::nullopt, &fs);
    ASSERT_EQ(outcome.error, "");
    ASSERT_EQ(outcome.written.size(), 100000u);
    EXPECT_EQ(outcome.files.at("d/t_k0.csv"), "k0,0\r\nk0,1\r\nk0,2\r\n");
    EXPECT_EQ(outcome.files.at("d/t_k99999.csv"), "k99999,0\r\nk99999,1\r\nk99999,2\r\n");
    EXPECT_LE(fs.mostOpenFiles, 64);
}

// A failure at any open or write: the error, no spool left, and every
// piece holding whole rows only.
TEST(StreamSplit, FailsAtEveryStepAsTheTablesSplitFails)
{
    SplitCase setup;
    setup.columns = 2;
    setup.header = true;
    setup.caseInsensitive = true;
    setup.text = "k,v\r\n";
    for (int r = 0; r < 40; ++r) setup.text += std::string(1, "AaBbC"[r % 5]) + "," + std::to_string(r) + "\r\n";
    const Outcome whole = StreamedSplit(setup, {64, 64, 2});
    ASSERT_EQ(whole.error, "");
    for (int call = 1; call < 80; ++call) {
        for (const bool shortWrite : {false, true}) {
            test::FakeFileSystem fs;
            fs = MakeFileSystem(setup);
            const Outcome failed = [&] {
                test::FakeFileSystem& f = fs;
                (shortWrite ? f.shortWriteAtCall : f.failCreateAtCall) = call;
                Outcome outcome;
                try {
                    const auto rows = OpenRowStream(setup.input, EncodingChoice::Detect(kSjis), f, false, 2, 64);
                    const std::vector<std::string> header = ReadHeader(*rows);
                    StreamSplitSpec spec;
                    spec.options.headerLine = true;
                    spec.options.batchBytes = 64;
                    spec.openFiles = 2;
                    outcome.written =
                        StreamSplit(*rows, header, {setup.input, kSjis, PathStyle::Windows(), f}, spec).written;
                } catch (const QuorvelError& e) {
                    outcome.error = e.what();
                }
                outcome.files = f.files;
                return outcome;
            }();
            if (failed.error.empty()) {
                EXPECT_EQ(failed.files, whole.files) << "call " << call;
                continue;
            }
            EXPECT_TRUE(failed.error == FileWriteError().what() || failed.error.find("作成できません") != std::string::npos)
                << failed.error;
            for (const auto& [name, bytes] : failed.files) {
                EXPECT_EQ(name.find("~quorvel"), std::string::npos) << "a spool left: " << name;
                if (name == "d\\t.csv") continue;
                // A whole row at the end, unless the short write cut it.
                if (!shortWrite) {
                    EXPECT_TRUE(bytes.empty() || bytes.substr(bytes.size() - 2) == "\r\n") << Show(bytes);
                }
                const std::string& wholeBytes = whole.files.at(name);
                EXPECT_EQ(wholeBytes.compare(0, bytes.size(), bytes), 0)
                    << name << ": what was written is the start of the piece";
            }
        }
    }
}

TEST(StreamSplit, AReadFailingHalfwayFailsTheSplit)
{
    SplitCase setup;
    setup.columns = 2;
    setup.text = "k,v\r\n";
    for (int r = 0; r < 200; ++r) setup.text += "k" + std::to_string(r % 3) + ",v\r\n";
    for (int call = 1; call < 12; ++call) {
        test::FakeFileSystem fs = MakeFileSystem(setup);
        fs.readStep = 100;
        fs.failReadAtCall = call;
        EXPECT_THROW(
            {
                const auto rows = OpenRowStream(setup.input, EncodingChoice::Detect(kSjis), fs, false, 2, 128);
                const std::vector<std::string> header = ReadHeader(*rows);
                StreamSplit(*rows, header, {setup.input, kSjis, PathStyle::Windows(), fs}, {});
            },
            FileOpenError)
            << call;
    }
}

class StopAfterRows final : public SplitObserver {
public:
    explicit StopAfterRows(uint64_t rows) : rows_(rows) {}
    void Progress(const SplitProgress& progress) override { seen_ = progress.rows; }
    bool StopRequested() override { return seen_ >= rows_; }

private:
    uint64_t rows_;
    uint64_t seen_ = 0;
};

TEST(StreamSplit, StopsWhenAskedWithWholeRowsInThePiecesWritten)
{
    SplitCase setup;
    setup.columns = 2;
    setup.style = PathStyle::Posix();
    setup.input = "t.csv";
    setup.text = "k,v\r\n";
    for (int r = 0; r < 100000; ++r) setup.text += "k" + std::to_string(r % 3) + "," + std::to_string(r) + "\r\n";
    test::FakeFileSystem fs = MakeFileSystem(setup);
    const auto rows = OpenRowStream("t.csv", EncodingChoice::Detect(kSjis), fs, false, 2, 4096);
    const std::vector<std::string> header = ReadHeader(*rows);
    StopAfterRows observer(20000);
    const StreamSplitResult result = StreamSplit(*rows, header, {"t.csv", kSjis, PathStyle::Posix(), fs}, {}, &observer);
    EXPECT_TRUE(result.stopped);
    ASSERT_EQ(result.written.size(), 3u);
    size_t lines = 0;
    for (const std::string& piece : result.written) {
        const std::string& bytes = fs.files.at(piece);
        ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        lines += static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    }
    EXPECT_GE(lines, 20000u);
    EXPECT_LT(lines, 100000u);
}

}  // namespace
}  // namespace quorvel

namespace quorvel {
namespace {

// Asked from both threads: stops once the file layer has made `pieces`.
class StopAfterPieces final : public SplitObserver {
public:
    StopAfterPieces(const test::FakeFileSystem& fs, int pieces) : fs_(fs), pieces_(pieces) {}
    bool StopRequested() override { return fs_.createNewCalls >= pieces_; }

private:
    const test::FakeFileSystem& fs_;
    int pieces_;
};

TEST(StreamSplit, AStopWhileNewPiecesAreMadeEndsBeforeTheNextOne)
{
    // Every row a new key, all in one batch: the writer makes the files.
    SplitCase setup;
    setup.columns = 2;
    setup.style = PathStyle::Posix();
    setup.input = "t.csv";
    setup.text = "k,v\r\n";
    for (int r = 0; r < 3000; ++r) setup.text += "key" + std::to_string(r) + "," + std::to_string(r) + "\r\n";
    test::FakeFileSystem fs = MakeFileSystem(setup);
    const auto rows = OpenRowStream("t.csv", EncodingChoice::Detect(kSjis), fs, false, 2, 1 << 20);
    const std::vector<std::string> header = ReadHeader(*rows);
    StopAfterPieces observer(fs, 100);
    const StreamSplitResult result = StreamSplit(*rows, header, {"t.csv", kSjis, PathStyle::Posix(), fs}, {}, &observer);
    EXPECT_TRUE(result.stopped);
    // The stop is asked for every 64 new pieces.
    ASSERT_EQ(result.written.size(), 128u) << "the pieces made until the stop was seen, and no more";
    for (size_t i = 0; i < result.written.size(); ++i) {
        EXPECT_EQ(result.written[i], "t_key" + std::to_string(i) + ".csv");
        EXPECT_EQ(fs.files.at(result.written[i]), "key" + std::to_string(i) + "," + std::to_string(i) + "\r\n");
    }
    EXPECT_EQ(fs.files.size(), 129u);
}

}  // namespace
}  // namespace quorvel
