// Split-save: piece contents byte for byte, one piece per key, quoting,
// names that collide, the input file, and failures at the k-th piece.
#include <gtest/gtest.h>

#include <map>

#include "core/errors.h"
#include "core/split/split_writer.h"
#include "core/read/token_reader.h"
#include "fake_file_system.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Bytes;

const CodePage kSjis = CodePage::ShiftJis();

void Load(CellTable& table, int32_t columns, const std::vector<std::string>& tokens)
{
    table.ChangeColCount(columns);
    table.LayOutTokens(TokenList::FromStrings(tokens));
}

struct SplitRun {
    std::vector<std::string> pieces;
    std::vector<int32_t> visited;
};

SplitRun Split(CellTable& table, int32_t key, const std::string& input, FileSystem& fs,
               PathStyle style = PathStyle::Windows())
{
    SplitRun run;
    SplitState state;
    const SplitTarget target{input, kSjis, style, fs};
    run.pieces = WriteSplitPieces(table, key, target, [&](int32_t row) {
        run.visited.push_back(row);
        table.SelectRow(row);
    }, state);
    return run;
}

void LoadFruit(CellTable& table)
{
    Load(table, 3, {"no", "品名", "産地", "1", "りんご", "青森", "2", "みかん", "愛媛", "3", "ぶどう", "愛媛", "4", "もも", "青森"});
}

TEST(WriteSplitPieces, OnePiecePerKeyInTableOrder)
{
    CellTable table;
    LoadFruit(table);
    test::FakeFileSystem fs;
    const SplitRun run = Split(table, 2, "C:\\data\\list.csv", fs);
    EXPECT_EQ(run.pieces, (std::vector<std::string>{"C:\\data\\list_青森.csv", "C:\\data\\list_愛媛.csv"}));
    EXPECT_EQ(*fs.Find("C:\\data\\list_青森.csv"), "1,りんご,青森\r\n4,もも,青森\r\n");
    EXPECT_EQ(*fs.Find("C:\\data\\list_愛媛.csv"), "2,みかん,愛媛\r\n3,ぶどう,愛媛\r\n");
    EXPECT_EQ(fs.openPieceCalls, 2) << "one creation per key";
    EXPECT_EQ(run.visited, (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(table.CurrentRow(), 4);
}

TEST(WriteSplitPieces, KeyThatComesBackKeepsAllItsRows)
{
    CellTable table;
    Load(table, 2, {"k", "v", "A", "1", "A", "2", "B", "3", "A", "4"});
    test::FakeFileSystem fs;
    Split(table, 0, "C:\\d\\t.csv", fs);
    EXPECT_EQ(*fs.Find("C:\\d\\t_A.csv"), "A,1\r\nA,2\r\nA,4\r\n");
    EXPECT_EQ(*fs.Find("C:\\d\\t_B.csv"), "B,3\r\n");
}

// However small the batches, the pieces are the same, in the same order.
TEST(WriteSplitPieces, BatchSizeChangesNothingWritten)
{
    CellTable table;
    std::vector<std::string> tokens = {"k", "v"};
    for (int i = 0; i < 500; ++i) {
        tokens.push_back("key" + std::to_string(i * 7 % 13));
        tokens.push_back(std::string(static_cast<size_t>(i % 50), 'x') + ",\"" + std::to_string(i));
    }
    Load(table, 2, tokens);
    std::map<std::string, std::string> reference;
    std::vector<std::string> order;
    for (const size_t batch : {size_t{32} << 20, size_t{1}, size_t{100}, size_t{5000}}) {
        test::FakeFileSystem fs;
        SplitState state;
        const SplitTarget target{"t.csv", kSjis, PathStyle::Posix(), fs};
        const std::vector<std::string> written = WriteSplitPieces(table, 0, target, nullptr, state, SplitOptions{batch});
        if (reference.empty()) {
            reference = fs.files;
            order = written;
            EXPECT_EQ(written.size(), 13u);
        }
        EXPECT_EQ(fs.files, reference) << "batches of " << batch << " bytes";
        EXPECT_EQ(written, order);
        EXPECT_EQ(fs.openPieceCalls, 13);
        EXPECT_EQ("t_" + state.GroupKey + ".csv", written.back()) << "the state names the last piece";
    }
}

// Pieces are built in room estimated from the first rows; lines that
// turn out longer still arrive whole and in order.
TEST(WriteSplitPieces, LinesLongerThanTheFirstOnesArriveWhole)
{
    CellTable table;
    std::vector<std::string> tokens = {"k", "v"};
    for (int i = 0; i < 1100; ++i) tokens.insert(tokens.end(), {i % 2 ? "a" : "b", "1"});
    for (int i = 0; i < 40; ++i) tokens.insert(tokens.end(), {i % 3 ? "a" : "c", std::string(300 + i, i % 2 ? 'x' : '"')});
    Load(table, 2, tokens);
    std::map<std::string, std::string> expected;
    std::string line;
    for (int32_t r = 1; r < table.RowCount(); ++r) {
        BuildRowLine(table, r, kSjis, line);
        expected["t_" + std::string(table.ReadCell(0, r)) + ".csv"] += line + "\r\n";
    }
    for (const size_t batch : {size_t{32} << 20, size_t{64}}) {
        test::FakeFileSystem fs;
        SplitState state;
        const SplitTarget target{"t.csv", kSjis, PathStyle::Posix(), fs};
        WriteSplitPieces(table, 0, target, nullptr, state, SplitOptions{batch});
        EXPECT_EQ(fs.files, expected) << "batches of " << batch;
        EXPECT_EQ(state.LineText, "c," + std::string(339, 'x'));
    }
}

TEST(WriteSplitPieces, AlternatingKeysCostOneCreationPerKey)
{
    CellTable table;
    std::vector<std::string> tokens = {"k"};
    for (int i = 0; i < 1000; ++i) tokens.push_back(i % 2 ? "odd" : "even");
    Load(table, 1, tokens);
    test::FakeFileSystem fs;
    const SplitRun run = Split(table, 0, "t.csv", fs);
    EXPECT_EQ(fs.openPieceCalls, 2);
    EXPECT_EQ(fs.writeCalls, 2) << "each piece in one request";
    EXPECT_EQ(run.visited.size(), 1000u);
}

TEST(WriteSplitPieces, OneKeyGivesOnePieceOfEveryRow)
{
    CellTable table;
    Load(table, 2, {"k", "v", "x", "1", "x", "2", "x", "3"});
    test::FakeFileSystem fs;
    Split(table, 0, "C:\\d\\t.csv", fs);
    EXPECT_EQ(fs.files.size(), 1u);
    EXPECT_EQ(*fs.Find("C:\\d\\t_x.csv"), "x,1\r\nx,2\r\nx,3\r\n");
}

TEST(WriteSplitPieces, NoDataRowsWritesNothing)
{
    CellTable table;
    Load(table, 2, {"k", "v"});
    table.WriteCell(0, 1, "stale");  // hidden beyond the single row
    test::FakeFileSystem fs;
    const SplitRun run = Split(table, 0, "C:\\d\\t.csv", fs);
    EXPECT_TRUE(run.pieces.empty());
    EXPECT_TRUE(fs.files.empty());
    EXPECT_TRUE(run.visited.empty());
    EXPECT_EQ(table.CurrentRow(), 0);
}

TEST(WriteSplitPieces, OneColumnTableWritesTheKeyAlone)
{
    CellTable table;
    Load(table, 1, {"k", "a", "b"});
    table.ChangeRowCount(4);  // a row whose only cell is empty
    test::FakeFileSystem fs;
    Split(table, 0, "t.csv", fs);
    EXPECT_EQ(*fs.Find("t_a.csv"), "a\r\n");
    EXPECT_EQ(*fs.Find("t_.csv"), "\r\n");
}

TEST(WriteSplitPieces, KeysDifferingInCaseAreDifferentPieces)
{
    CellTable table;
    Load(table, 2, {"k", "v", "A", "1", "a", "2", "A", "3"});
    test::FakeFileSystem fs;
    Split(table, 0, "t.csv", fs);
    EXPECT_EQ(*fs.Find("t_A.csv"), "A,1\r\nA,3\r\n");
    EXPECT_EQ(*fs.Find("t_a.csv"), "a,2\r\n");
}

TEST(WriteSplitPieces, NamesThatLandOnOneFileAreAppendedNotReplaced)
{
    CellTable table;
    Load(table, 2, {"k", "v", "A", "1", "a", "2", "A", "3"});
    test::FakeFileSystem fs;
    fs.caseInsensitive = true;
    fs.At("t_a.csv") = "old content of an earlier split\r\n";
    Split(table, 0, "t.csv", fs);
    EXPECT_EQ(fs.files.size(), 1u);
    EXPECT_EQ(*fs.Find("t_A.csv"), "A,1\r\nA,3\r\na,2\r\n");
}

TEST(WriteSplitPieces, AnExistingPieceOfAnEarlierSplitIsReplaced)
{
    CellTable table;
    Load(table, 2, {"k", "v", "A", "1"});
    test::FakeFileSystem fs;
    fs.At("t_A.csv") = "a much longer old content\r\n";
    Split(table, 0, "t.csv", fs);
    EXPECT_EQ(*fs.Find("t_A.csv"), "A,1\r\n");
}

// Pieces are first made as new files, whose identity is not asked for;
// a name already taken still gets the old rules: appended when this split
// wrote it, replaced when an earlier one did, refused when it is the input.
TEST(WriteSplitPieces, NewFilesFirstWithTheSameGuaranteesForTakenNames)
{
    CellTable table;
    Load(table, 2, {"k", "v", "A", "1", "b", "2", "a", "3", "in", "4", "B", "5"});
    const struct {
        const char* what;
        const char* existing;  // a file there before the split, or null
        const char* inputKey;  // the key whose piece is the input file
        std::map<std::string, std::string> pieces;
        int openPieceCalls;   // the names taken: replaced or shared
        int createNewCalls;   // the names free: created new
    } cases[] = {
        {"fresh folder", nullptr, nullptr, {{"t_a.csv", "A,1\r\na,3\r\n"}, {"t_b.csv", "b,2\r\nB,5\r\n"}, {"t_in.csv", "in,4\r\n"}}, 2, 3},
        {"an earlier split's piece", "t_b.csv", nullptr, {{"t_a.csv", "A,1\r\na,3\r\n"}, {"t_b.csv", "b,2\r\nB,5\r\n"}, {"t_in.csv", "in,4\r\n"}}, 3, 2},
    };
    for (const auto& c : cases) {
        test::FakeFileSystem fs;
        fs.caseInsensitive = true;
        fs.createNew = true;
        fs.files["t.csv"] = "input";
        if (c.existing) fs.files[c.existing] = "old,old\r\n";
        SplitState state;
        const SplitTarget target{"t.csv", kSjis, PathStyle::Windows(), fs};
        WriteSplitPieces(table, 0, target, nullptr, state);
        for (const auto& [name, bytes] : c.pieces) EXPECT_EQ(fs.At(name), bytes) << c.what << ": " << name;
        EXPECT_EQ(fs.files.size(), c.pieces.size() + 1) << c.what;
        EXPECT_EQ(fs.openPieceCalls, c.openPieceCalls) << c.what;
        EXPECT_EQ(fs.createNewCalls, c.createNewCalls) << c.what;
    }
}

TEST(WriteSplitPieces, TheInputFileIsNeverWritten)
{
    // A file system on which the piece name reaches the input file (here:
    // every name is one file) refuses the piece.
    CellTable table;
    Load(table, 2, {"k", "v", "x", "1"});
    struct OneFileSystem : test::FakeFileSystem {
        std::string Canonical(const std::string&) const { return "only"; }
        std::unique_ptr<PieceFile> OpenPiece(const std::string&) override { return FakeFileSystem::OpenPiece("in.csv"); }
        std::optional<FileIdentity> IdentityOf(const std::string&) override { return FakeFileSystem::IdentityOf("in.csv"); }
    } fs;
    fs.files["in.csv"] = "k,v\r\nx,1\r\n";
    try {
        Split(table, 0, "in.csv", fs);
        FAIL() << "wrote over the input";
    } catch (const FileCreateError& e) {
        EXPECT_EQ(e.Message(), "ファイル in_x.csv を作成できません");
    }
    EXPECT_EQ(fs.files["in.csv"], "k,v\r\nx,1\r\n");
}

TEST(BuildRowLine, CellsThatWouldTearAreQuoted)
{
    const struct {
        std::vector<std::string> cells;
        const char* line;
    } cases[] = {
        {{"a", "b", "c"}, "a,b,c"},
        {{"a,b", "c"}, "[Q]a,b[Q],c"},
        {{"say [Q]hi[Q]"}, "[Q]say[SP][Q][Q]hi[Q][Q][Q]"},
        {{"x[CR][LF]y", ""}, "[Q]x[CR][LF]y[Q],"},
        {{"[SP]lead", "tab[TAB]"}, "[Q][SP]lead[Q],[Q]tab[TAB][Q]"},
        {{"", "", ""}, ",,"},
        {{"表", "ソ", "[81][Q]"}, "表,ソ,[81][Q]"},
        {{"x[81][CR]"}, "x[81][CR]"},
        {{"[7F]", "東京"}, "[7F],東京"},
    };
    for (const auto& c : cases) {
        CellTable table;
        std::vector<std::string> tokens(c.cells.size(), "h");
        for (const std::string& cell : c.cells) tokens.push_back(Bytes(cell));
        Load(table, static_cast<int32_t>(c.cells.size()), tokens);
        std::string line;
        BuildRowLine(table, 1, kSjis, line);
        EXPECT_EQ(test::Show(line), test::Show(Bytes(c.line)));
    }
}

// A line that ended in a lead byte gives a cell whose last character has
// the CR as its second byte; no quoted value can hold that, and the quote
// bytes inside it read back unquoted.
TEST(BuildRowLine, CellEndingInLeadByteAndCrStaysUnquoted)
{
    const std::string cell = Bytes("[81][Q][Q][F5][CR]");
    CellTable table;
    Load(table, 2, {"h", "h", cell, "x"});
    std::string line;
    BuildRowLine(table, 1, kSjis, line);
    EXPECT_EQ(test::Show(line), test::Show(cell + ",x"));
    LoadedFile file;
    line += "\r\n";
    file.bytes = AllocateFileBuffer(line.size());
    std::copy(line.begin(), line.end(), file.bytes.get());
    file.size = line.size();
    EXPECT_EQ(test::Show(SplitCsvText(std::move(file), kSjis).ToStrings()), test::Show({cell, "x"}));
    // With a comma it must be quoted all the same.
    Load(table, 1, {"h", Bytes("a,[81][CR][LF]b")});
    BuildRowLine(table, 1, kSjis, line);
    EXPECT_EQ(test::Show(line), test::Show(Bytes("[Q]a,[81][CR][LF]b[Q]")));
}

TEST(BuildRowLine, WrittenLinesReadBackAsTheSameCells)
{
    const std::vector<std::string> cells = {"plain", "a,b", "[Q]", "x[CR][LF]y", "[SP]s[SP]", "表", "x[81][CR]", "e"};
    CellTable table;
    std::vector<std::string> tokens(cells.size(), "h");
    for (const std::string& cell : cells) tokens.push_back(Bytes(cell));
    Load(table, static_cast<int32_t>(cells.size()), tokens);
    std::string line;
    BuildRowLine(table, 1, kSjis, line);
    line += "\r\n";
    LoadedFile file;
    file.bytes = AllocateFileBuffer(line.size());
    std::copy(line.begin(), line.end(), file.bytes.get());
    file.size = line.size();
    std::vector<std::string> expected;
    for (const std::string& cell : cells) expected.push_back(Bytes(cell));
    EXPECT_EQ(test::Show(SplitCsvText(std::move(file), kSjis).ToStrings()), test::Show(expected));
}

TEST(WriteSplitPieces, LinesHaveTheCurrentColumnCount)
{
    CellTable table;
    Load(table, 4, {"a", "b", "c", "d", "k", "1", "old2", "old3"});
    table.ChangeColCount(2);
    table.ChangeColCount(5);
    test::FakeFileSystem fs;
    Split(table, 0, "t.csv", fs);
    EXPECT_EQ(*fs.Find("t_k.csv"), "k,1,old2,old3,\r\n");
}

// Failures at the k-th piece: the pieces before stay whole, none after is
// written, the table is as it was, and the next split runs normally.
TEST(WriteSplitPieces, FailureAtTheKthPieceStopsTheWalk)
{
    for (int k = 1; k <= 3; ++k) {
        for (bool shortWrite : {false, true}) {
            CellTable table;
            Load(table, 2, {"k", "v", "a", "1", "b", "2", "c", "3"});
            test::FakeFileSystem fs;
            (shortWrite ? fs.shortWriteAtCall : fs.failCreateAtCall) = k;
            const std::string failing = "t_" + std::string(1, static_cast<char>('a' + k - 1)) + ".csv";
            try {
                Split(table, 0, "t.csv", fs);
                FAIL() << "no error";
            } catch (const FileWriteError& e) {
                EXPECT_TRUE(shortWrite);
                EXPECT_EQ(e.Message(), "ストリームへの書き込みエラー");
                EXPECT_EQ(*fs.Find(failing), failing.substr(2, 1) + "," + std::to_string(k));  // the 3 bytes it took
            } catch (const FileCreateError& e) {
                EXPECT_FALSE(shortWrite);
                EXPECT_EQ(e.Message(), "ファイル " + failing + " を作成できません");
                EXPECT_EQ(fs.Find(failing), nullptr);
            }
            for (int before = 1; before < k; ++before) {
                const char key = static_cast<char>('a' + before - 1);
                EXPECT_EQ(*fs.Find("t_" + std::string(1, key) + ".csv"), std::string(1, key) + "," + std::to_string(before) + "\r\n");
            }
            for (int after = k + 1; after <= 3; ++after)
                EXPECT_EQ(fs.Find("t_" + std::string(1, static_cast<char>('a' + after - 1)) + ".csv"), nullptr);
            EXPECT_EQ(table.ReadCell(0, 2), "b");
            fs.failCreateAtCall = fs.shortWriteAtCall = 0;
            EXPECT_EQ(Split(table, 0, "t.csv", fs).pieces.size(), 3u);
            EXPECT_EQ(*fs.Find(failing), failing.substr(2, 1) + "," + std::to_string(k) + "\r\n");
        }
    }
}

// Batches are saved on a second thread while the next is built; a
// failure still leaves the pieces before it and none after it, however
// the pieces fall into batches, and the state is that of the failing one.
TEST(WriteSplitPieces, FailureInALaterBatchStopsBeforeTheNextBatch)
{
    CellTable table;
    std::vector<std::string> tokens = {"k", "v"};
    for (int i = 0; i < 60; ++i) {
        tokens.push_back(std::string(1, static_cast<char>('a' + i % 6)));
        tokens.push_back(std::to_string(i));
    }
    Load(table, 2, tokens);
    for (const size_t batch : {size_t{1}, size_t{40}, size_t{32} << 20}) {
        for (int k = 1; k <= 6; ++k) {
            test::FakeFileSystem fs;
            fs.failCreateAtCall = k;
            SplitState state;
            const SplitTarget target{"t.csv", kSjis, PathStyle::Posix(), fs};
            EXPECT_THROW(WriteSplitPieces(table, 0, target, nullptr, state, SplitOptions{batch}), FileCreateError);
            EXPECT_EQ(fs.openPieceCalls, k) << "batches of " << batch;
            for (int piece = 0; piece < 6; ++piece) {
                const std::string name = "t_" + std::string(1, static_cast<char>('a' + piece)) + ".csv";
                EXPECT_EQ(fs.Find(name) != nullptr, piece < k - 1) << name << ", batches of " << batch;
            }
            EXPECT_EQ(state.GroupKey, std::string(1, static_cast<char>('a' + k - 1)));
        }
    }
}

TEST(WriteSplitPieces, KeyColumnOutsideTheTable)
{
    CellTable table;
    Load(table, 2, {"k", "v", "a", "1"});
    test::FakeFileSystem fs;
    EXPECT_THROW(Split(table, 2, "t.csv", fs), TableIndexError);
}

// ---- On the real file system -------------------------------------------

// As the front ends split: paths in UTF-8, a Shift_JIS key named by its
// characters.
TEST(WriteSplitPiecesOnDisk, PiecesLandBesideTheInput)
{
    test::ScratchDir dir;
    const std::string folder = dir.File(u8"表");
    ASSERT_TRUE(test::MakeFolder(folder));
    const std::string input = folder + test::Separator() + "list.csv";
    test::WriteFile(input, "no,name\r\n1,x\\y\r\n2,東京\r\n");
    CellTable table;
    Load(table, 2, {"no", "name", "1", "x\\y", "2", "東京"});
    SplitTarget target{input, kSjis, PathStyle::Native(), NativeFileSystem()};
    target.namesInUtf8 = true;
    SplitState state;
    const std::vector<std::string> pieces = WriteSplitPieces(table, 1, target, nullptr, state);
    EXPECT_EQ(pieces.back(), folder + test::Separator() + u8"list_東京.csv");
    EXPECT_EQ(test::ListFolder(folder), (std::vector<std::string>{"list.csv", "list_x_y.csv", u8"list_東京.csv"}));
    EXPECT_EQ(test::ReadFile(folder + test::Separator() + "list_x_y.csv"), "1,x\\y\r\n");
    EXPECT_EQ(test::ReadFile(input), "no,name\r\n1,x\\y\r\n2,東京\r\n");
}

// More pieces than a process may hold open at once (20,000 here): each is
// created, written and closed before the next. Under Wine every creation
// scans the folder for names that differ only in case, which makes a big
// folder quadratic, so the Windows build tries fewer.
TEST(WriteSplitPiecesOnDisk, ThousandsOfKeysAreAllWritten)
{
    test::ScratchDir dir;
    const std::string input = dir.File("ids.csv");
    test::WriteFile(input, "");
    CellTable table;
    std::vector<std::string> tokens = {"id", "v"};
#ifdef _WIN32
    const int keys = 2000;
#else
    const int keys = 30000;
#endif
    for (int i = 0; i < keys; ++i) {
        tokens.push_back(std::to_string(i));
        tokens.push_back("v");
    }
    Load(table, 2, tokens);
    const SplitRun run = Split(table, 0, input, NativeFileSystem(), PathStyle::Native());
    EXPECT_EQ(run.pieces.size(), static_cast<size_t>(keys));
    EXPECT_EQ(test::ListFolder(dir.Path()).size(), static_cast<size_t>(keys) + 1);
    const std::string last = std::to_string(keys - 1);
    EXPECT_EQ(test::ReadFile(dir.File("ids_" + last + ".csv")), last + ",v\r\n");
}

TEST(WriteSplitPiecesOnDisk, NameTooLongRaisesFileCreateError)
{
    test::ScratchDir dir;
    const std::string input = dir.File("t.csv");
    CellTable table;
    const std::string longKey(300, 'k');
    Load(table, 2, {"k", "v", "a", "1", longKey, "2", "z", "3"});
    try {
        Split(table, 0, input, NativeFileSystem(), PathStyle::Native());
        FAIL() << "no error";
    } catch (const FileCreateError& e) {
        EXPECT_EQ(e.Path(), dir.File("t_" + longKey + ".csv"));
    }
    EXPECT_EQ(test::ListFolder(dir.Path()), (std::vector<std::string>{"t_a.csv"}));
}

}  // namespace
}  // namespace quorvel
