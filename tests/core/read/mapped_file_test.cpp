// A large input file whose bytes the file layer maps instead of reading:
// the same tokens and table as a read gives, no read at all, the view
// held exactly as long as the tokens or the table that use it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/table/cell_table.h"
#include "core/read/csv_open.h"
#include "core/errors.h"
#include "core/table_limits.h"
#include "core/read/token_reader.h"
#include "fake_file_system.h"
#include "test_support.h"

namespace quorvel {
namespace {

const CodePage kSjis = CodePage::ShiftJis();
constexpr size_t kMapFrom = size_t{16} << 20;

// At least `size` bytes of varied CSV text: quotes, doubled quotes, line
// breaks inside quotes, Shift_JIS characters whose second byte is a
// quote or a backslash, blanks; it ends in an unterminated quoted value,
// which runs to the end of the text and so to the 0x00 after it.
std::string VariedText(size_t size)
{
    std::string text;
    text.reserve(size + 64);
    for (int i = 0; text.size() < size; ++i) {
        text += std::to_string(i) + ",\x95\x5C\x83\x7C, \"q,\"\"x\"\"\r\ny\" ,";
        text += (i % 5 == 0) ? "\x81\r\n" : (i % 3 == 0) ? "z\n" : "w\r";
    }
    return text + "\"open\x88\x9F";
}

std::vector<std::string> TokensOf(const std::string& text, bool mapped, int* readCalls = nullptr)
{
    test::FakeFileSystem fs;
    fs.files["f.csv"] = text;
    fs.mapFiles = mapped;
    fs.readStep = 1 << 20;
    std::vector<std::string> tokens = ReadCsvTokens("f.csv", kSjis, fs).ToStrings();
    if (readCalls) *readCalls = fs.readCalls;
    EXPECT_EQ(*fs.liveViews, 0) << "the view outlived its tokens";
    return tokens;
}

TEST(MappedFile, AViewGivesTheTokensOfTheReadFileWithoutAnyRead)
{
    const std::string text = VariedText(kMapFrom + 12345);
    int readsMapped = -1, readsRead = -1;
    const std::vector<std::string> mapped = TokensOf(text, true, &readsMapped);
    const std::vector<std::string> read = TokensOf(text, false, &readsRead);
    EXPECT_EQ(readsMapped, 0);
    EXPECT_GT(readsRead, 0);
    ASSERT_EQ(mapped.size(), read.size());
    EXPECT_TRUE(mapped == read);
    EXPECT_EQ(mapped.back(), "open\x88\x9F\r\n");
}

TEST(MappedFile, OnlyAFileOfSixteenMebibytesOrMoreIsMapped)
{
    for (const size_t size : {kMapFrom - 1, kMapFrom}) {
        std::string text(size, 'x');
        text[size / 2] = ',';
        test::FakeFileSystem fs;
        fs.files["f.csv"] = text;
        fs.mapFiles = true;
        const TokenList tokens = ReadCsvTokens("f.csv", kSjis, fs);
        EXPECT_EQ(tokens.size(), 2u) << size;
        EXPECT_EQ(fs.mapCalls, size >= kMapFrom ? 1 : 0) << size;
        EXPECT_EQ(*fs.liveViews, size >= kMapFrom ? 1 : 0) << size;
    }
}

TEST(MappedFile, TheTableHoldsTheViewUntilItHoldsAnotherFile)
{
    test::FakeFileSystem fs;
    fs.mapFiles = true;
    fs.files["big.csv"] = VariedText(kMapFrom);
    fs.files["small.csv"] = "s1,s2,s3,s4,s5,t";
    CellTable table;
    OpenCsvFile(table, "big.csv", kSjis, fs);
    EXPECT_EQ(*fs.liveViews, 1);
    const std::string firstCell(table.ReadCell(1, 0));
    EXPECT_EQ(firstCell, "\x95\x5C\x83\x7C");
    // A failed open leaves the table, and so its view.
    EXPECT_THROW(OpenCsvFile(table, "missing.csv", kSjis, fs), FileOpenError);
    EXPECT_EQ(*fs.liveViews, 1);
    EXPECT_EQ(table.ReadCell(1, 0), firstCell);
    OpenCsvFile(table, "small.csv", kSjis, fs);
    EXPECT_EQ(*fs.liveViews, 0);
    EXPECT_EQ(table.ReadCell(0, 1), "t");
}

TEST(MappedFile, APreviewOfAMappedFileIsThePreviewOfTheReadFile)
{
    // Over the cap at one column: 8 million rows of two bytes each.
    std::string text;
    for (int i = 0; text.size() < kMapFrom + 2; ++i) text += static_cast<char>('a' + i % 26), text += '\n';
    CellTable mapped, read;
    mapped.ChangeColCount(1);
    read.ChangeColCount(1);
    for (CellTable* table : {&mapped, &read}) {
        test::FakeFileSystem fs;
        fs.files["f.csv"] = text;
        fs.mapFiles = table == &mapped;
        OpenCsvFile(*table, "f.csv", kSjis, fs, OverCap::kPreview);
        EXPECT_TRUE(table->IsPreview());
        EXPECT_EQ(table->RowCount(), MaxTableRows);
    }
    for (const int32_t row : {0, 1, MaxTableRows / 2, MaxTableRows - 1})
        EXPECT_EQ(mapped.ReadCell(0, row), read.ReadCell(0, row)) << row;
}

#ifdef _WIN32
// On Windows the view of a large file on a fixed drive keeps the file
// open for reading only: no program may write it while its bytes are
// cells, and once they are not, it may.
TEST(MappedFile, NobodyWritesAMappedFileWhileItsTokensLive)
{
    test::ScratchDir dir;
    const std::string path = dir.File("big.csv");
    const std::string text = VariedText(kMapFrom + 1);
    test::WriteFile(path, text);
    {
        const TokenList tokens = ReadCsvTokens(path, kSjis, NativeFileSystem());
        EXPECT_TRUE(tokens.ToStrings() == TokensOf(text, false));
        test::FileHolder writer(path, test::FileHolder::kWriterSharingRead);
        EXPECT_FALSE(writer.Holding()) << "a writer opened the file while its view held the tokens";
    }
    test::FileHolder writer(path, test::FileHolder::kWriterSharingRead);
    EXPECT_TRUE(writer.Holding());
}

TEST(MappedFile, AFileOfWholePagesIsReadAndLeftFree)
{
    // No zero fill after the last byte: the view would have no 0x00 to end
    // the text, so the file is read as a smaller one is.
    test::ScratchDir dir;
    const std::string path = dir.File("pages.csv");
    std::string text(kMapFrom, 'x');
    text[100] = ',';
    test::WriteFile(path, text);
    const TokenList tokens = ReadCsvTokens(path, kSjis, NativeFileSystem());
    EXPECT_EQ(tokens.size(), 2u);
    test::FileHolder writer(path, test::FileHolder::kWriterSharingRead);
    EXPECT_TRUE(writer.Holding());
}
#endif

}  // namespace
}  // namespace quorvel
