// Reading a file whole through the file layer: failed and short reads,
// memory that runs out, and what reaches the table in each case.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/table/cell_table.h"
#include "core/read/csv_open.h"
#include "core/errors.h"
#include "core/read/token_reader.h"
#include "fake_file_system.h"

namespace quorvel {
namespace {

const CodePage kSjis = CodePage::ShiftJis();

void LoadOldFile(CellTable& table, test::FakeFileSystem& fs)
{
    fs.files["old.csv"] = "h1,h2,h3,h4,h5,a,b,c,d,e";
    OpenCsvFile(table, "old.csv", kSjis, fs);
}

void ExpectOldTable(const CellTable& table)
{
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.ReadCell(0, 0), "h1");
    EXPECT_EQ(table.ReadCell(4, 1), "e");
}

TEST(FileRead, FailuresOfOpenSizeOrReadRaiseFileOpenErrorAndLeaveTheTable)
{
    const struct {
        const char* what;
        void (*arrange)(test::FakeFileSystem&);
    } cases[] = {
        {"missing", [](test::FakeFileSystem&) {}},
        {"open fails", [](test::FakeFileSystem& fs) { fs.files["new.csv"] = "x"; fs.failOpen = true; }},
        {"size fails", [](test::FakeFileSystem& fs) { fs.files["new.csv"] = "x"; fs.failSize = true; }},
        {"first read fails", [](test::FakeFileSystem& fs) {
             fs.files["new.csv"] = "x,y";
             fs.failReadAtCall = fs.readCalls + 1;
         }},
        {"a later read fails", [](test::FakeFileSystem& fs) {
             fs.files["new.csv"] = "x,y,z,w";
             fs.readStep = 2;
             fs.failReadAtCall = fs.readCalls + 2;
         }},
    };
    for (const auto& c : cases) {
        test::FakeFileSystem fs;
        CellTable table;
        LoadOldFile(table, fs);
        c.arrange(fs);
        try {
            OpenCsvFile(table, "new.csv", kSjis, fs);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const FileOpenError& e) {
            EXPECT_EQ(e.Message(), "ファイル new.csv は開けません") << c.what;
        }
        ExpectOldTable(table);
    }
}

TEST(FileRead, AFileThatShrankGivesOnlyTheBytesRead)
{
    test::FakeFileSystem fs;
    fs.files["f.csv"] = "a,b";
    fs.reportedSize = 4096;  // the size query saw a longer file
    fs.readStep = 1;
    const LoadedFile file = LoadFileText("f.csv", fs);
    EXPECT_EQ(file.size, 3u);
    EXPECT_EQ(std::string(file.bytes.get(), file.size), "a,b");
    EXPECT_EQ(file.bytes[3], 0);
    EXPECT_EQ(ReadCsvTokens("f.csv", kSjis, fs).ToStrings(), (std::vector<std::string>{"a", "b"}));
}

TEST(FileRead, ReadsInStepsUntilTheSize)
{
    test::FakeFileSystem fs;
    fs.files["f.csv"] = "abc,def,ghi";
    fs.readStep = 2;
    EXPECT_EQ(ReadCsvTokens("f.csv", kSjis, fs).ToStrings(), (std::vector<std::string>{"abc", "def", "ghi"}));
}

// Tokens are found while the file is read in steps; every way the text
// can meet the end of what has arrived gives the tokens of the whole text.
TEST(FileRead, TokensFoundWhileReadingEqualThoseOfTheWholeText)
{
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += std::to_string(i) + ",\x88\x9F\x95\x5C \"q,\r\n" + std::string(static_cast<size_t>(i % 97), 'x');
        text += (i % 7 == 0) ? "\"\"\"lone\rcr\"," : (i % 11 == 0) ? "\x81\n" : "\r\n";
    }
    LoadedFile whole;
    whole.bytes = AllocateFileBuffer(text.size());
    std::copy(text.begin(), text.end(), whole.bytes.get());
    whole.size = text.size();
    const std::vector<std::string> expected = SplitCsvText(std::move(whole), kSjis).ToStrings();
    for (const size_t step : {size_t{1}, size_t{63}, size_t{64}, size_t{4097}, size_t{0}}) {
        test::FakeFileSystem fs;
        fs.files["f.csv"] = text;
        fs.readStep = step;
        EXPECT_EQ(ReadCsvTokens("f.csv", kSjis, fs).ToStrings(), expected) << "steps of " << step;
    }
}

TEST(FileRead, AReadFailingAfterTheTextEndedStillFailsTheLoad)
{
    test::FakeFileSystem fs;
    CellTable table;
    LoadOldFile(table, fs);
    fs.files["new.csv"] = std::string("a,b\0", 4) + std::string(5000, 'z');
    fs.readStep = 100;
    fs.failReadAtCall = fs.readCalls + 30;
    EXPECT_THROW(OpenCsvFile(table, "new.csv", kSjis, fs), FileOpenError);
    ExpectOldTable(table);
}

TEST(FileRead, MemoryRunningOutLeavesTheTableAndSaysSo)
{
    test::FakeFileSystem fs;
    CellTable table;
    LoadOldFile(table, fs);
    fs.files["huge.csv"] = "x";
    fs.reportedSize = uint64_t{1} << 62;
    try {
        OpenCsvFile(table, "huge.csv", kSjis, fs);
        FAIL() << "no error";
    } catch (const OutOfMemoryError& e) {
        EXPECT_EQ(e.Message(), "メモリが不足しています");
    }
    ExpectOldTable(table);
}

TEST(FileRead, TooManyRowsAreRefusedWithThePath)
{
    test::FakeFileSystem fs;
    CellTable table;
    LoadOldFile(table, fs);
    table.ChangeColCount(1);
    std::string many;
    for (int i = 0; i <= MaxTableRows; ++i) many += "x\n";
    fs.files["many.csv"] = many;
    try {
        OpenCsvFile(table, "many.csv", kSjis, fs);
        FAIL() << "no error";
    } catch (const RowLimitError& e) {
        EXPECT_EQ(e.Message(), "ファイル many.csv は行数が上限の 1048560 行を超えるため開けません");
    }
    table.ChangeColCount(5);
    ExpectOldTable(table);
}

}  // namespace
}  // namespace quorvel
