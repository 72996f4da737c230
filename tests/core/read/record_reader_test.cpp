// Records instead of one flat token list: fields, quoting, line breaks,
// padding, the width error, and the real Tokyo postal code file.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "core/read/record_reader.h"
#include "fake_file_system.h"
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

// The table as rows of cells joined by "|", rows by " / ".
std::string Shown(const CellTable& table)
{
    std::string out;
    for (int32_t r = 0; r < table.RowCount(); ++r) {
        for (int32_t c = 0; c < table.ColCount(); ++c) out += (c ? "|" : "") + std::string(table.ReadCell(c, r));
        out += " / ";
    }
    return out;
}

TEST(OpenCsvRecords, TheColumnsAreTheWidestRecordsAndShorterOnesArePadded)
{
    const struct {
        const char* text;
        int32_t columns;
        const char* table;
    } cases[] = {
        {"a,b,c\r\n1,2,3\r\n", 3, "a|b|c / 1|2|3 / "},
        {"a,b\r\n1,2,3,4\r\nx\r\n", 4, "a|b|| / 1|2|3|4 / x||| / "},
        {"k,v,\r\n1,Yamada Taro,\r\n", 3, "k|v| / 1|Yamada Taro| / "},
        {"\xEF\xBB\xBFk,v\r\n1,2\r\n", 2, "k|v / 1|2 / "},  // the mark is no cell's
        {"a\r\n\r\nb\r\n", 1, "a / b / "},                    // a blank line is no record
        {"", 1, " / "},
    };
    for (const auto& c : cases) {
        test::FakeFileSystem fs;
        fs.files["in.csv"] = c.text;
        CellTable table;
        OpenCsvRecords(table, "in.csv", EncodingChoice::Detect(CodePage::ShiftJis()), fs, std::nullopt);
        EXPECT_EQ(table.ColCount(), c.columns) << c.text;
        EXPECT_EQ(Shown(table), c.table) << c.text;
    }
}

TEST(OpenCsvRecords, AFailedOpenLeavesTheTableAsItWas)
{
    std::string wide = "a,b\r\n\"x\r\ny\",1\r\n";
    for (int f = 0; f < 255; ++f) wide += ",";  // 256 fields on line 4
    wide += "\r\n";
    const struct {
        const char* name;
        std::string text;
        std::string message;  // with the path in it
    } cases[] = {
        {"wide.csv", wide, "ファイル wide.csv の 4 行目は項目が 256 個あり、列数の上限 255 を超えるため開けません"},
        {"utf16.csv", std::string("\xFF\xFE" "a\0,\0", 6), ""},
        {"missing.csv", "", "ファイル missing.csv は開けません"},
    };
    for (const auto& c : cases) {
        test::FakeFileSystem fs;
        if (std::string(c.name) != "missing.csv") fs.files[c.name] = c.text;
        CellTable table;
        table.ChangeColCount(2);
        table.LayOutTokens(TokenList::FromStrings({"k", "v", "1", "2"}));
        const std::string before = Shown(table);
        try {
            OpenCsvRecords(table, c.name, EncodingChoice::Detect(CodePage::ShiftJis()), fs, std::nullopt);
            ADD_FAILURE() << c.name << " opened";
        } catch (const QuorvelError& e) {
            if (!c.message.empty()) {
                EXPECT_EQ(e.Message(), c.message);
            }
        }
        EXPECT_EQ(table.ColCount(), 2) << c.name;
        EXPECT_EQ(Shown(table), before) << c.name;
    }
    // 255 fields are a table's worth.
    test::FakeFileSystem fs;
    fs.files["in.csv"] = std::string(254, ',') + "\r\n";
    CellTable table;
    OpenCsvRecords(table, "in.csv", EncodingChoice::Detect(CodePage::ShiftJis()), fs, std::nullopt);
    EXPECT_EQ(table.ColCount(), 255);
}

TEST(ReadCsvRecords, FieldsAreViewsIntoTheFileWhereTheyAreItsBytes)
{
    test::FakeFileSystem fs;
    fs.files["in.csv"] = "ab,\"c\"\"d\",e f\r\n";
    const RecordTokens records = ReadCsvRecords("in.csv", EncodingChoice::Forced(CodePage::ShiftJis()), fs, std::nullopt);
    ASSERT_EQ(records.tokens.size(), 3u);
    EXPECT_EQ(records.tokens[0], "ab");
    EXPECT_EQ(records.tokens[1], "c\"d");
    EXPECT_EQ(records.tokens[2], "e f");
    // The file's own bytes lie side by side: "ab" and "e f" in one buffer.
    EXPECT_EQ(records.tokens[2].data() - records.tokens[0].data(), 10);
}

}  // namespace
}  // namespace quorvel
