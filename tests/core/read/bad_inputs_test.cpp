// A catalogue of bad inputs, each with the outcome it must give: nothing
// crashes, nothing is lost, every failure carries its exact message, and
// nothing is written outside the input's folder.
#include <gtest/gtest.h>

#include <random>

#include "core/read/csv_open.h"
#include "core/errors.h"
#include "core/split/split_writer.h"
#include "core/read/token_reader.h"
#include "fake_file_system.h"
#include "reference/csv_steps.h"
#include "test_support.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorvel {
namespace {

using test::Bytes;

const CodePage kSjis = CodePage::ShiftJis();

std::vector<std::string> TokensOfFile(const std::string& path)
{
    return ReadCsvTokens(path, kSjis, NativeFileSystem()).ToStrings();
}

std::vector<std::string> Split(CellTable& table, int32_t key, const std::string& input, FileSystem& files)
{
    SplitState state;
    const SplitTarget target{input, kSjis, PathStyle::Native(), files};
    return WriteSplitPieces(table, key, target, [&](int32_t row) { table.SelectRow(row); }, state);
}

TEST(BadInputs, BinaryNoiseReadsAsTheStepsSayAndLoads)
{
    test::ScratchDir dir;
    std::mt19937 rng(42);
    std::string noise(1 << 20, '\0');
    for (char& c : noise) c = static_cast<char>(rng() % 255 + 1);  // no 0x00, to read it all
    const std::string path = dir.File("noise.bin");
    test::WriteFile(path, noise);
    const std::vector<std::string> tokens = TokensOfFile(path);
    EXPECT_EQ(tokens, reference::ReadTokens(noise, kSjis));
    CellTable table;
    table.ChangeColCount(8);
    OpenCsvFile(table, path, kSjis, NativeFileSystem());
    EXPECT_EQ(table.RowCount(), static_cast<int32_t>((tokens.size() + 7) / 8));
}

TEST(BadInputs, Utf16FileEndsAtItsFirstZeroByte)
{
    test::ScratchDir dir;
    const std::string path = dir.File("utf16.csv");
    test::WriteFile(path, std::string("\xFF\xFE" "a\0,\0b\0\r\0\n\0", 12));
    EXPECT_EQ(TokensOfFile(path), (std::vector<std::string>{"\xFF\xFE" "a"}));
}

TEST(BadInputs, Utf8ByteOrderMarkBeginsTheFirstToken)
{
    test::ScratchDir dir;
    const std::string path = dir.File("bom.csv");
    test::WriteFile(path, "\xEF\xBB\xBF\"a\",b\r\n");
    EXPECT_EQ(TokensOfFile(path), (std::vector<std::string>{"\xEF\xBB\xBF\"a\"", "b"}));
}

TEST(BadInputs, HundredMegabyteUnterminatedQuote)
{
    test::ScratchDir dir;
    const std::string path = dir.File("quote.csv");
    std::string content = "head,\"";
    const std::string line = "x,y z\r\n";
    while (content.size() < (size_t{100} << 20)) content += line;
    test::WriteFile(path, content);
    CellTable table;
    table.ChangeColCount(2);
    OpenCsvFile(table, path, kSjis, NativeFileSystem());
    ASSERT_EQ(table.RowCount(), 1);
    const std::string_view value = table.ReadCell(1, 0);
    EXPECT_EQ(value.size(), content.size() - 6);
    EXPECT_EQ(value.substr(0, 7), line);
    EXPECT_EQ(value.substr(value.size() - 2), "\r\n");
}

TEST(BadInputs, RowOf255ColumnsWithTenKilobyteCells)
{
    test::ScratchDir dir;
    const std::string input = dir.File("wide.csv");
    std::string header, row;
    for (int c = 0; c < 255; ++c) {
        header += (c ? "," : "") + std::string("h") + std::to_string(c);
        // The first cell is the key, short enough for a file name.
        row += c ? "," + std::string(10 * 1024, static_cast<char>('a' + c % 26)) : std::string("k");
    }
    test::WriteFile(input, header + "\r\n" + row + "\r\n");
    CellTable table;
    table.ChangeColCount(255);
    OpenCsvFile(table, input, kSjis, NativeFileSystem());
    ASSERT_EQ(table.RowCount(), 2);
    const std::vector<std::string> pieces = Split(table, 0, input, NativeFileSystem());
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], dir.File("wide_k.csv"));
    EXPECT_EQ(test::ReadFile(pieces[0]), row + "\r\n");
}

TEST(BadInputs, ExactlyMaxTableRowsLoadsAndOneMoreIsRefused)
{
    test::ScratchDir dir;
    std::string lines;
    lines.reserve(static_cast<size_t>(MaxTableRows) * 3 + 3);
    for (int32_t i = 0; i < MaxTableRows; ++i) lines += "x\r\n";
    const std::string exact = dir.File("exact.csv"), over = dir.File("over.csv");
    test::WriteFile(exact, lines);
    test::WriteFile(over, lines + "y\r\n");
    CellTable table;
    table.ChangeColCount(1);
    OpenCsvFile(table, exact, kSjis, NativeFileSystem());
    EXPECT_EQ(table.RowCount(), MaxTableRows);
    table.WriteCell(0, 5, "kept");
    try {
        OpenCsvFile(table, over, kSjis, NativeFileSystem());
        FAIL() << "no error";
    } catch (const RowLimitError& e) {
        EXPECT_EQ(e.Message(), "ファイル " + over + " は行数が上限の 1048560 行を超えるため開けません");
    }
    EXPECT_EQ(table.RowCount(), MaxTableRows);
    EXPECT_EQ(table.ReadCell(0, 5), "kept") << "the rows already held are not damaged";
}

TEST(BadInputs, LeadByteAsTheVeryLastByte)
{
    test::ScratchDir dir;
    const std::string path = dir.File("lead.csv");
    test::WriteFile(path, "a,b\x81");
    EXPECT_EQ(TokensOfFile(path), (std::vector<std::string>{"a", "b\x81\r"}));
}

TEST(BadInputs, ZeroByteFirst)
{
    test::ScratchDir dir;
    const std::string path = dir.File("zero.csv");
    test::WriteFile(path, std::string("\0a,b,c\r\n", 8));
    CellTable table;
    OpenCsvFile(table, path, kSjis, NativeFileSystem());
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_EQ(table.ReadCell(0, 0), "");
}

// A folder that refuses new files: the first piece fails with its path,
// nothing is written.
TEST(BadInputs, ReadOnlyDestinationFolder)
{
    CellTable table;
    table.ChangeColCount(2);
    table.LayOutTokens(TokenList::FromStrings({"k", "v", "a", "1", "b", "2"}));
    test::FakeFileSystem refusing;
    refusing.failCreateAtCall = 1;
    try {
        Split(table, 0, "/ro/t.csv", refusing);
        FAIL() << "no error";
    } catch (const FileCreateError& e) {
        EXPECT_EQ(e.Message(), "ファイル /ro/t_a.csv を作成できません");
    }
    EXPECT_TRUE(refusing.files.empty());
#ifndef _WIN32
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders; the refusing file layer stood in";
    test::ScratchDir dir;
    const std::string input = dir.File("t.csv");
    test::WriteFile(input, "");
    chmod(dir.Path().c_str(), 0555);
    EXPECT_THROW(Split(table, 0, input, NativeFileSystem()), FileCreateError);
    chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(test::ListFolder(dir.Path()), (std::vector<std::string>{"t.csv"}));
#endif
}

TEST(BadInputs, KeyOfOnlyForbiddenBytes)
{
    test::ScratchDir dir;
    const std::string input = dir.File("t.csv");
    CellTable table;
    table.ChangeColCount(2);
    table.LayOutTokens(TokenList::FromStrings({"k", "v", "\\/:*?\"<>|", "1"}));
    const std::vector<std::string> pieces = Split(table, 0, input, NativeFileSystem());
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], dir.File("t__________.csv"));
    EXPECT_EQ(test::ReadFile(pieces[0]), "\"\\/:*?\"\"<>|\",1\r\n");
}

// Whether the file system tells the two names apart or not, no row is lost.
TEST(BadInputs, KeysDifferingOnlyInLetterCaseOnDisk)
{
    test::ScratchDir dir;
    const std::string input = dir.File("t.csv");
    CellTable table;
    table.ChangeColCount(2);
    table.LayOutTokens(TokenList::FromStrings({"k", "v", "A", "1", "a", "2", "A", "3", "a", "4"}));
    Split(table, 0, input, NativeFileSystem());
    const std::vector<std::string> names = test::ListFolder(dir.Path());
    std::string all;
    for (const std::string& name : names) all += test::ReadFile(dir.File(name));
    if (names.size() == 1) {
        EXPECT_EQ(all, "A,1\r\nA,3\r\na,2\r\na,4\r\n") << "one file: the second key appended";
    } else {
        ASSERT_EQ(names.size(), 2u);
        EXPECT_EQ(test::ReadFile(dir.File("t_A.csv")), "A,1\r\nA,3\r\n");
        EXPECT_EQ(test::ReadFile(dir.File("t_a.csv")), "a,2\r\na,4\r\n");
    }
}

}  // namespace
}  // namespace quorvel
