// quorvel-cli: escaping, layout, exit statuses and messages.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "cli/escape.h"
#include "cli/terminal_text.h"
#include "core/table_limits.h"
#include "system/system_services.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Bytes;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun RunTool(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int status = cli::RunCli(args, out, err, NativeFileSystem());
    return {status, out.str(), err.str()};
}

TEST(CliEscape, PrintableBytesStandForThemselves)
{
    const struct {
        const char* bytes;
        const char* printed;
    } cases[] = {
        {"abc!~", "abc!~"},
        {"a,b", "a\\x2Cb"},
        {"a\\b", "a\\x5Cb"},
        {"[SP][TAB][CR][LF][7F][00]", "\\x20\\x09\\x0D\\x0A\\x7F\\x00"},
        {"[93][8C][8B][9E]", "\\x93\\x8C\\x8B\\x9E"},
        {"[Q]", "\""},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string out;
        cli::AppendEscaped(out, Bytes(c.bytes));
        EXPECT_EQ(out, c.printed) << c.bytes;
    }
}

TEST(Cli, TokensPrintsOneEscapedTokenPerLine)
{
    test::ScratchDir dir;
    const std::string path = dir.File("t.csv");
    test::WriteFile(path, Bytes("東京,,[Q]a,b[Q][CR][LF]x y"));
    const CliRun run = RunTool({"tokens", path});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "\\x93\\x8C\\x8B\\x9E\n\na\\x2Cb\nx\ny\n");
    EXPECT_EQ(run.err, "");
}

TEST(Cli, ShowPrintsTheTableAtTheColumnCount)
{
    test::ScratchDir dir;
    const std::string path = dir.File("t.csv");
    test::WriteFile(path, "a,b,c,d,e,f,g\r\n");
    EXPECT_EQ(RunTool({"show", path, "--columns", "3"}).out, "a,b,c\nd,e,f\ng,,\n");
    EXPECT_EQ(RunTool({"show", path}).out, "a,b,c,d,e\nf,g,,,\n");
    EXPECT_EQ(RunTool({"show", path, "--columns", "7"}).out, "a,b,c,d,e,f,g\n");
}

TEST(Cli, CodePageDecidesSecondBytes)
{
    test::ScratchDir dir;
    const std::string path = dir.File("t.csv");
    test::WriteFile(path, Bytes("[Q][81][Q][Q]b"));
    EXPECT_EQ(RunTool({"tokens", path, "--codepage", "932"}).out, "\\x81\"\nb\n");
    EXPECT_EQ(RunTool({"tokens", path, "--codepage", "1252"}).out, "\\x81\"b\\x0D\\x0A\n");
}

TEST(Cli, ErrorsExitWithOneAndAMessageInUtf8)
{
    test::ScratchDir dir;
    const std::string path = dir.File("missing.csv");
    const CliRun run = RunTool({"show", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    // "ファイル %s は開けません" in UTF-8.
    EXPECT_EQ(run.err, "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB " + path +
                           " \xE3\x81\xAF\xE9\x96\x8B\xE3\x81\x91\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\n");
}

TEST(Cli, UsageErrorsExitWithTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", "x.csv"},
        {"show"},
        {"show", "x.csv", "--columns", "0"},
        {"show", "x.csv", "--columns", "256"},
        {"show", "x.csv", "--columns", "abc"},
        {"show", "x.csv", "--bogus"},
        {"tokens", "x.csv", "--columns", "3"},
        {"tokens", "x.csv", "--codepage", "12345"},
        {"show", "a.csv", "b.csv"},
        {"split", "a.csv"},
        {"show", "a.csv", "--sort", "5"},
    };
    for (const auto& args : cases) {
        const CliRun run = RunTool(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("usage: quorvel-cli"), std::string::npos);
    }
}

TEST(Cli, ShowSortsByAColumnFirst)
{
    test::ScratchDir dir;
    const std::string path = dir.File("t.csv");
    test::WriteFile(path, "k,v\r\nb,1\r\nA,2\r\na,3\r\nB,4\r\n");
    EXPECT_EQ(RunTool({"show", path, "--columns", "2", "--sort", "0"}).out, "k,v\na,3\nA,2\nB,4\nb,1\n");
}

TEST(Cli, SortOfAHeaderOnlyTableFails)
{
    test::ScratchDir dir;
    const std::string path = dir.File("t.csv");
    test::WriteFile(path, "k,v\r\n");
    const CliRun run = RunTool({"show", path, "--columns", "2", "--sort", "0"});
    EXPECT_EQ(run.status, 1);
    // "グリッドインデックス が範囲を超えています" in UTF-8.
    EXPECT_NE(run.err.find("\xE3\x82\xB0\xE3\x83\xAA\xE3\x83\x83\xE3\x83\x89"), std::string::npos) << run.err;
}

TEST(Cli, SplitWritesPiecesBesideTheFileAndPrintsThem)
{
    test::ScratchDir dir;
    const std::string path = dir.File("list.csv");
    test::WriteFile(path, "no,name,area\r\n1,a,x\r\n2,b,y\r\n3,c,x\r\n");
    const CliRun run = RunTool({"split", path, "--columns", "3", "--key", "2", "--sort", "1"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, dir.File("list_x.csv") + "\n" + dir.File("list_y.csv") + "\n");
    EXPECT_EQ(test::ReadFile(dir.File("list_x.csv")), "1,a,x\r\n3,c,x\r\n");
    EXPECT_EQ(test::ReadFile(dir.File("list_y.csv")), "2,b,y\r\n");
}

TEST(Cli, VersionIsTheOneOfTheFileVersion)
{
    const CliRun run = RunTool({"--version"});
    EXPECT_EQ(run.status, 0);
    std::ifstream in(std::string(QUORVEL_SOURCE_DIR) + "/VERSION");
    std::string version;
    std::getline(in, version);
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(run.out, "quorvel-cli " + version + "\n");
}

TEST(Cli, HelpDescribesTheTool)
{
    const CliRun run = RunTool({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("tokens"), std::string::npos);
    EXPECT_NE(run.out.find("--codepage"), std::string::npos);
}

// The header text 産地 as a terminal gives it: UTF-8 off Windows, the
// ANSI code page (here Shift_JIS) on Windows.
#ifdef _WIN32
const char* const kAreaTyped = "産地";
#else
const char* const kAreaTyped = "\xE7\x94\xA3\xE5\x9C\xB0";
#endif

TEST(CliOptions, KeyAndSortTakeAHeaderText)
{
    test::ScratchDir dir;
    const std::string path = dir.File("list.csv");
    test::WriteFile(path, "no,名,産地\r\n1,a,x\r\n2,b,y\r\n3,c,x\r\n");
    const CliRun run = RunTool({"split", path, "--columns", "3", "--key", kAreaTyped, "--sort", "no"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::ReadFile(dir.File("list_x.csv")), "1,a,x\r\n3,c,x\r\n");
    const CliRun byIndex = RunTool({"show", path, "--columns", "3", "--sort", "2"});
    const CliRun byName = RunTool({"show", path, "--columns", "3", "--sort", kAreaTyped});
    EXPECT_EQ(byName.out, byIndex.out);
}

TEST(CliOptions, AnUnknownOrAmbiguousHeaderTextListsTheColumns)
{
    test::ScratchDir dir;
    const std::string path = dir.File("list.csv");
    test::WriteFile(path, "a,b,a\r\n1,2,3\r\n");
    for (const char* name : {"z", "a"}) {
        const CliRun run = RunTool({"split", path, "--columns", "3", "--key", name});
        EXPECT_EQ(run.status, 2) << name;
        EXPECT_NE(run.err.find("0: a\n  1: b\n  2: a"), std::string::npos) << run.err;
        EXPECT_TRUE(test::ListFolder(dir.Path()).size() == 1) << "nothing written";
    }
}

TEST(CliOptions, HeaderOutAndDryRun)
{
    test::ScratchDir dir;
    const std::string path = dir.File("list.csv");
    test::WriteFile(path, "no,area\r\n1,x\r\n2,y\r\n3,x\r\n");
    const std::string out = dir.File("out");
    ASSERT_TRUE(test::MakeFolder(out));

    // --dry-run: the plan, nothing written.
    const CliRun plan = RunTool({"split", path, "--columns", "2", "--key", "1", "--header", "--out", out, "--dry-run"});
    EXPECT_EQ(plan.status, 0) << plan.err;
    const std::string x = out + test::Separator() + "list_x.csv", y = out + test::Separator() + "list_y.csv";
    EXPECT_EQ(plan.out, x + "\t2 rows\t19 bytes\n" + y + "\t1 rows\t14 bytes\n");
    EXPECT_TRUE(test::ListFolder(out).empty());

    // --header and --out: the same bytes as planned, in the other folder.
    const CliRun run = RunTool({"split", path, "--columns", "2", "--key", "1", "--header", "--out", out});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::ReadFile(x), "no,area\r\n1,x\r\n3,x\r\n");
    EXPECT_EQ(test::ReadFile(y), "no,area\r\n2,y\r\n");
    EXPECT_FALSE(test::FileExists(dir.File("list_x.csv")));

    // Now the pieces exist: the plan says so.
    const CliRun again = RunTool({"split", path, "--columns", "2", "--key", "1", "--out", out, "--dry-run"});
    EXPECT_EQ(again.out, x + "\t2 rows\t10 bytes\treplaces an existing file\n" + y +
                             "\t1 rows\t5 bytes\treplaces an existing file\n");

    // A folder that is not there: an error, nothing written.
    const CliRun missing = RunTool({"split", path, "--columns", "2", "--key", "1", "--out", dir.File("nope")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no such folder"), std::string::npos);
}

TEST(CliOptions, DryRunOfAnUnreadableFileFails)
{
    test::ScratchDir dir;
    EXPECT_EQ(RunTool({"split", dir.File("missing.csv"), "--key", "0", "--dry-run"}).status, 1);
}

TEST(CliOptions, ShowTextPrintsCellsForPeople)
{
    test::ScratchDir dir;
    const std::string path = dir.File("t.csv");
    test::WriteFile(path, "東京,\"a,b\"\r\n");
    const CliRun run = RunTool({"show", path, "--columns", "2", "--text"});
    EXPECT_EQ(run.status, 0);
#ifdef _WIN32
    EXPECT_EQ(run.out, "東京\ta,b\n");
#else
    EXPECT_EQ(run.out, "\xE6\x9D\xB1\xE4\xBA\xAC\ta,b\n");
#endif
    // The default output is unchanged.
    EXPECT_EQ(RunTool({"show", path, "--columns", "2"}).out, "\\x93\\x8C\\x8B\\x9E,a\\x2Cb\n");
}

// ---- UTF-8 files ------------------------------------------------------------

// 都道府県 as a terminal gives it (UTF-8 off Windows, the ANSI code page on
// Windows), and in the UTF-8 file.
#ifdef _WIN32
const char* const kPrefectureTyped = "都道府県";
#else
const char* const kPrefectureTyped = u8"都道府県";
#endif
const std::string kPrefecture = u8"都道府県", kTokyo = u8"東京都", kYoshino = "\xF0\xA0\xAE\xB7\xE9\x87\x8E";
const std::string kMark = "\xEF\xBB\xBF";

// A piece's path as quorvel-cli prints it.
std::string Printed(const std::string& path)
{
#ifdef _WIN32
    return PathToSystem(path);
#else
    return path;
#endif
}

TEST(CliUtf8, SplitsByAHeaderNameBesideTheMarkAndNamesPiecesByCharacters)
{
    test::ScratchDir dir;
    const std::string path = dir.File("pref.csv");
    test::WriteFile(path, kMark + "id," + kPrefecture + "\r\n1," + kTokyo + "\r\n2," + kYoshino + "\r\n3," + kTokyo +
                              "\r\n");
    const CliRun run = RunTool({"split", path, "--columns", "2", "--key", kPrefectureTyped, "--header"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string tokyo = dir.File("pref_" + kTokyo + ".csv"), yoshino = dir.File("pref_" + kYoshino + ".csv");
    EXPECT_EQ(run.out, Printed(tokyo) + "\n" + Printed(yoshino) + "\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(test::ReadFile(tokyo), kMark + "id," + kPrefecture + "\r\n1," + kTokyo + "\r\n3," + kTokyo + "\r\n");
    EXPECT_EQ(test::ReadFile(yoshino), kMark + "id," + kPrefecture + "\r\n2," + kYoshino + "\r\n");
    // The first token and the first cell hold no mark.
    EXPECT_EQ(RunTool({"tokens", path}).out.substr(0, 3), "id\n");
    const CliRun shown = RunTool({"show", path, "--columns", "2", "--text"});
    EXPECT_EQ(shown.out.substr(0, 3 + kPrefecture.size()), "id\t" + kPrefecture);
}

TEST(CliUtf8, SortsAndSplitsWithoutAMarkToo)
{
    test::ScratchDir dir;
    const std::string path = dir.File("u.csv");
    // あ (E3 81 82) before a comma: read as Shift_JIS, 82 would take it.
    test::WriteFile(path, "k,v\r\n\xE3\x81\x82,2\r\nb,1\r\n");
    const CliRun show = RunTool({"show", path, "--columns", "2", "--sort", "1"});
    EXPECT_EQ(show.out, "k,v\nb,1\n\\xE3\\x81\\x82,2\n");
    const CliRun split = RunTool({"split", path, "--columns", "2", "--key", "0"});
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(test::ReadFile(dir.File("u_\xE3\x81\x82.csv")), "\xE3\x81\x82,2\r\n");
    // --codepage 932 reads it as Shift_JIS, as before.
    EXPECT_EQ(RunTool({"tokens", path, "--codepage", "932"}).out, "k\nv\n\\xE3\\x81\\x82\\x2C2\nb\n1\n");
    EXPECT_EQ(RunTool({"tokens", path, "--codepage", "65001"}).out, "k\nv\n\\xE3\\x81\\x82\n2\nb\n1\n");
}

TEST(CliUtf8, ShiftJisKeysNameTheirPiecesInCharacters)
{
    test::ScratchDir dir;
    const std::string path = dir.File("s.csv");
    test::WriteFile(path, "k,v\r\n東京,1\r\n");
    ASSERT_EQ(RunTool({"split", path, "--columns", "2", "--key", "0"}).status, 0);
    EXPECT_EQ(test::ReadFile(dir.File(u8"s_東京.csv")), "東京,1\r\n");
}

TEST(CliUtf8, BytesThatAreNotUtf8AreKeptAndWarnedOfOnce)
{
    test::ScratchDir dir;
    const std::string path = dir.File("bad.csv");
    // Past the 64 KiB that decide the encoding.
    test::WriteFile(path, "k,v\r\n\xE6\x9D\xB1,1\r\np," + std::string(70000, 'p') + "\r\nx,\x82\xA0\r\ny,\xFF\r\n");
    const CliRun run = RunTool({"show", path, "--columns", "2"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "quorvel-cli: warning: line 4 holds bytes that are not UTF-8; they are kept as they are\n");
    EXPECT_NE(run.out.find("x,\\x82\\xA0\n"), std::string::npos) << run.out;
}

// A sheet as a spreadsheet program saves it: a blank left unquoted inside
// a name, an empty last cell written as a comma at the line's end.
const std::string kStaffSheet =
    "社員番号,氏名,部署,所在地,内線,備考\r\n"
    "1001,John Smith,総務部,東京都,201,\r\n"
    "1002,山田 太郎,営業部,大阪府,310,出張中\r\n"
    "1003,佐藤花子,総務部,東京都,202,\r\n";

TEST(CliLines, AFileWhoseRowsPartFromItsLinesIsWarnedOfOnceAndReadAsSpecified)
{
    test::ScratchDir dir;
    const std::string path = dir.File("staff.csv");
    test::WriteFile(path, kStaffSheet);
    const std::string warning =
        "quorvel-cli: warning: from line 2 on, the table's rows no longer follow the file's lines; --rows reads one "
        "row per line\n";
    const CliRun shown = RunTool({"show", path, "--columns", "6"});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.err, warning);
    // The table is the flat reading's: "John" and "Smith" in two cells.
    EXPECT_NE(shown.out.find("\n1001,John,Smith,"), std::string::npos) << shown.out;
    const CliRun split = RunTool({"split", path, "--columns", "6", "--key", "2", "--dry-run"});
    EXPECT_EQ(split.status, 0);
    EXPECT_EQ(split.err, warning);
    // With --rows one row a line, and nothing to warn of.
    const CliRun rows = RunTool({"split", path, "--rows", "--key", "2"});
    EXPECT_EQ(rows.status, 0) << rows.err;
    EXPECT_EQ(rows.err, "");
    // A piece quotes a cell that would not read back as one otherwise.
    EXPECT_EQ(test::ReadFile(dir.File(u8"staff_総務部.csv")),
              "1001,\"John Smith\",総務部,東京都,201,\r\n1003,佐藤花子,総務部,東京都,202,\r\n");
    EXPECT_EQ(test::ReadFile(dir.File(u8"staff_営業部.csv")), "1002,\"山田 太郎\",営業部,大阪府,310,出張中\r\n");
    // Lines that all match say nothing.
    test::WriteFile(path, "a,b\r\n1,2\r\n");
    EXPECT_EQ(RunTool({"show", path, "--columns", "2"}).err, "");
    EXPECT_EQ(RunTool({"split", path, "--columns", "2", "--key", "0"}).err, "");
}

TEST(CliUtf8, Utf16IsRefused)
{
    test::ScratchDir dir;
    const std::string path = dir.File("w.csv");
    test::WriteFile(path, Bytes("[FF][FE]a[00],[00]b[00]"));
    const CliRun run = RunTool({"show", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("UTF-16"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace quorvel

namespace quorvel {
namespace {

CliRun RunWithConsole(std::vector<std::string> args, const cli::Console& console)
{
    std::ostringstream out, err;
    const int status = cli::RunCli(args, out, err, NativeFileSystem(), console);
    return {status, out.str(), err.str()};
}

TEST(CliChunk, UsageErrors)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"split", "a.csv", "--chunk", "0"},
             {"split", "a.csv", "--chunk", "-3"},
             {"split", "a.csv", "--chunk", "1e3"},
             {"split", "a.csv", "--chunk"},
             {"split", "a.csv", "--chunk", "2", "--key", "0"},
             {"show", "a.csv", "--chunk", "2"},
         }) {
        const CliRun run = RunTool(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("usage: quorvel-cli"), std::string::npos);
    }
    EXPECT_NE(RunTool({"split", "a.csv"}).err.find("split needs --key K or --chunk N"), std::string::npos);
}

TEST(CliChunk, PiecesOfNRowsEachWithTheHeaderInTheOutFolder)
{
    test::ScratchDir dir;
    const std::string path = dir.File("list.csv");
    test::WriteFile(path, "id,name\r\n1,a\r\n2,b\r\n3,c\r\n4,d\r\n5,e\r\n");
    const std::string out = dir.File("out");
    ASSERT_TRUE(test::MakeFolder(out));
    const CliRun run = RunTool({"split", path, "--columns", "2", "--chunk", "2", "--header", "--out", out});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string sep(1, test::Separator());
    EXPECT_EQ(run.out, PathForTerminal(out + sep + "list_1.csv") + "\n" + PathForTerminal(out + sep + "list_2.csv") +
                           "\n" + PathForTerminal(out + sep + "list_3.csv") + "\n");
    EXPECT_EQ(test::ReadFile(out + sep + "list_1.csv"), "id,name\r\n1,a\r\n2,b\r\n");
    EXPECT_EQ(test::ReadFile(out + sep + "list_2.csv"), "id,name\r\n3,c\r\n4,d\r\n");
    EXPECT_EQ(test::ReadFile(out + sep + "list_3.csv"), "id,name\r\n5,e\r\n");
    EXPECT_EQ(test::ListFolder(out).size(), 3u);

    const CliRun plan = RunTool({"split", path, "--columns", "2", "--chunk", "4", "--dry-run"});
    EXPECT_EQ(plan.out, PathForTerminal(dir.File("list_1.csv")) + "\t4 rows\t20 bytes\n" +
                            PathForTerminal(dir.File("list_2.csv")) + "\t1 rows\t5 bytes\n");
}

// A file over the window's row cap: split whole, sorted per piece, and a
// piece too long to sort named.
TEST(CliOverTheCap, SplitsAndSortsEachPiece)
{
    test::ScratchDir dir;
    const std::string path = dir.File("big.csv");
    std::string text = "k,v\r\n";
    text.reserve(6 * static_cast<size_t>(MaxTableRows) + 64);
    for (int32_t r = 0; r < MaxTableRows; ++r) text += r % 2 ? "b,1\r\n" : "a,2\r\n";
    text += "a,0\r\n";
    test::WriteFile(path, text);
    const CliRun run = RunTool({"split", path, "--columns", "2", "--key", "0", "--sort", "1", "--header"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, PathForTerminal(dir.File("big_a.csv")) + "\n" + PathForTerminal(dir.File("big_b.csv")) + "\n");
    const std::string a = test::ReadFile(dir.File("big_a.csv"));
    EXPECT_EQ(a.substr(0, 15), "k,v\r\na,0\r\na,2\r\n");
    EXPECT_EQ(a.size(), 5 + 5 * (static_cast<size_t>(MaxTableRows) / 2 + 1));
    EXPECT_EQ(test::ListFolder(dir.Path()).size(), 3u) << "no spool left";

    text += "c,1\r\n";
    for (int32_t r = 0; r < MaxTableRows; ++r) text += "c,1\r\n";
    test::WriteFile(path, text);
    const CliRun tooLong = RunTool({"split", path, "--columns", "2", "--key", "0", "--sort", "1"});
    EXPECT_EQ(tooLong.status, 1);
    EXPECT_NE(tooLong.err.find(PathForTerminal(dir.File("big_c.csv"))), std::string::npos) << tooLong.err;
}

TEST(CliProgress, NoneWithoutATerminalAndCtrlCStopsCleanly)
{
    test::ScratchDir dir;
    const std::string path = dir.File("t.csv");
    std::string text = "k,v\r\n";
    for (int r = 0; r < 100000; ++r) text += (r % 2 ? "x," : "y,") + std::to_string(r) + "\r\n";
    test::WriteFile(path, text);
    const CliRun quiet = RunTool({"split", path, "--columns", "2", "--key", "0"});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");

    std::atomic<bool> interrupted{true}, listening{false};
    cli::Console console;
    console.interrupted = &interrupted;
    console.listening = &listening;
    const CliRun stopped = RunWithConsole({"split", path, "--columns", "2", "--key", "0"}, console);
    EXPECT_EQ(stopped.status, 130);
    EXPECT_EQ(stopped.out, PathForTerminal(dir.File("t_y.csv")) + "\n" + PathForTerminal(dir.File("t_x.csv")) + "\n");
    EXPECT_NE(stopped.err.find("stopped"), std::string::npos);
    EXPECT_FALSE(listening.load()) << "nothing listens once the split is over";
    const std::string x = test::ReadFile(dir.File("t_x.csv"));
    EXPECT_LT(x.size(), text.size() / 2);
    EXPECT_EQ(x.substr(x.size() - 2), "\r\n");
}

}  // namespace
}  // namespace quorvel
