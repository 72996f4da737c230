// Records instead of one flat token list: fields, quoting, line breaks,
// padding, the width error, and the real Tokyo postal code file.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "core/read/record_reader.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Bytes;

LoadedFile Text(const std::string& bytes)
{
    LoadedFile file;
    file.bytes = AllocateFileBuffer(bytes.size());
    std::memcpy(file.bytes.get(), bytes.data(), bytes.size());
    file.size = bytes.size();
    return file;
}

std::string Rows(const RecordTokens& records)
{
    std::string out;
    for (size_t i = 0; i < records.tokens.size(); ++i) {
        out += records.tokens[i];
        out += (i + 1) % static_cast<size_t>(records.columns) == 0 ? " / " : " | ";
    }
    return out;
}

TEST(SplitCsvRecords, FieldsOfEachRecord)
{
    const CodePage sjis = CodePage::ShiftJis();
    const struct {
        const char* input;
        const char* rows;
        int columns;
    } cases[] = {
        {"a,b,c", "a | b | c / ", 3},
        {"a,b,[CR][LF]c,d,", "a | b |  / c | d |  / ", 3},            // empty last fields are kept
        {"a[SP]b,[SP]c[SP]", "a[SP]b | [SP]c[SP] / ", 2},              // blanks are value bytes
        {"[Q]x,y[Q],z", "x,y | z / ", 2},
        {"[Q]a[Q][Q]b[Q]", "a[Q]b / ", 1},
        {"[Q]x[CR][LF]y[Q],z[LF]w", "x[CR][LF]y | z / w |  / ", 2},   // line breaks kept as the file has them
        {"[Q]x[LF]y[Q]", "x[LF]y / ", 1},
        {"a[CR]b[LF]c[CR][LF]d", "a / b / c / d / ", 1},
        {"a[CR][LF][CR][LF]b", "a / b / ", 1},                       // an empty line is no record
        {"ab[Q]c,d", "ab[Q]c | d / ", 2},                             // a quote inside a value is a byte
        {"[Q]ab[Q]cd,e", "abcd | e / ", 2},                           // text after a closing quote joins
        {"[Q]abc", "abc / ", 1},                                      // unterminated: to the end
        {"a,b[00],c[LF]d", "a | b / ", 2},                            // 0x00 ends the input
        {"[95],x", "[95],x / ", 1},                                   // a lead byte takes the comma
        {"[83][5C],[95][7C]", "[83][5C] | [95][7C] / ", 2},
        {"", "", 1},
    };
    for (const auto& c : cases) {
        const RecordTokens records = SplitCsvRecords(Text(Bytes(c.input)), sjis, std::nullopt);
        EXPECT_EQ(test::Show(Rows(records)), test::Show(Bytes(c.rows))) << c.input;
        EXPECT_EQ(records.columns, c.columns) << c.input;
    }
}

TEST(SplitCsvRecords, PadsToTheColumnsAskedForAndRefusesWiderRecords)
{
    const CodePage sjis = CodePage::ShiftJis();
    const RecordTokens records = SplitCsvRecords(Text("a\r\nb,c\r\n"), sjis, 4);
    EXPECT_EQ(Rows(records), "a |  |  |  / b | c |  |  / ");
    try {
        SplitCsvRecords(Text("a\r\n\"x\r\ny\",b\r\nc,d,e\r\n"), sjis, 2);
        FAIL() << "a record of 3 fields at 2 columns";
    } catch (const RecordWidthError& e) {
        EXPECT_EQ(e.Message(), "line 4: a record of 3 fields, more than the 2 columns");
    }
}

TEST(OpenCsvRecords, ARefusedFileLeavesTheTableAsItWas)
{
    test::ScratchDir dir;
    const std::string path = dir.File("wide.csv");
    test::WriteFile(path, "a,b,c\r\n");
    CellTable table;
    table.ChangeColCount(2);
    table.LayOutTokens(TokenList::FromStrings({"k", "v", "1", "2"}));
    EXPECT_THROW(OpenCsvRecords(table, path, CodePage::ShiftJis(), NativeFileSystem(), 2), RecordWidthError);
    EXPECT_EQ(table.ColCount(), 2);
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.ReadCell(1, 1), "2");
}

// The real file: Japan Post's postal codes of Tokyo, 15 fields a line.
TEST(OpenCsvRecords, TheTokyoPostalCodeFileGivesOneRowPerLine)
{
    const std::string path = std::string(QUORVEL_SHARED_DATA) + "/13TOKYO.CSV";
    std::ifstream in(path, std::ios::binary);
    if (!in) GTEST_SKIP() << "no " << path;
    std::ostringstream whole;
    whole << in.rdbuf();
    const std::string bytes = whole.str();
    size_t lines = 0;
    for (const char c : bytes) lines += c == '\n';
    CellTable table;
    OpenCsvRecords(table, path, CodePage::ShiftJis(), NativeFileSystem(), std::nullopt);
    EXPECT_EQ(table.ColCount(), 15);
    EXPECT_EQ(static_cast<size_t>(table.RowCount()), lines);
    EXPECT_EQ(table.ReadCell(0, 0), "13101");
    EXPECT_EQ(table.ReadCell(6, 0), "東京都");
    // Every row holds 15 fields of its own: none is cut or shifted.
    const std::string last = bytes.substr(bytes.rfind('\n', bytes.size() - 2) + 1);
    EXPECT_EQ(table.ReadCell(0, table.RowCount() - 1), last.substr(0, last.find(',')));
}

}  // namespace
}  // namespace quorvel
