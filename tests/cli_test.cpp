// quorvel-cli: escaping, layout, exit statuses and messages.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "cli/escape.h"
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
        {"tokens", "x.csv", "--codepage", "65001"},
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

TEST(Cli, HelpDescribesTheTool)
{
    const CliRun run = RunTool({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("tokens"), std::string::npos);
    EXPECT_NE(run.out.find("--codepage"), std::string::npos);
}

}  // namespace
}  // namespace quorvel
