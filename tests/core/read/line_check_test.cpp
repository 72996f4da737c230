// Where the rows of the token reading part from the file's lines: the first
// line that gives other than the column count of tokens, or two tokens
// with only blanks or nothing between them; the same line whether the file
// is read whole or streamed in parts of any size.
#include <gtest/gtest.h>

#include <random>

#include "core/read/csv_open.h"
#include "core/read/token_reader.h"
#include "core/read/token_stream.h"
#include "fake_file_system.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Bytes;
using test::Show;

const CodePage kSjis = CodePage::ShiftJis();

uint64_t WholeFirstPartedLine(const std::string& text, uint32_t columns)
{
    test::FakeFileSystem fs;
    fs.files["in.csv"] = text;
    return ReadCsvTokens("in.csv", EncodingChoice::Forced(kSjis), fs, ~size_t{0}, nullptr, columns).FirstPartedLine();
}

uint64_t StreamedFirstPartedLine(const std::string& text, uint32_t columns, size_t partBytes)
{
    test::FakeFileSystem fs;
    fs.files["in.csv"] = text;
    CsvTokenStream stream("in.csv", EncodingChoice::Forced(kSjis), fs, partBytes, columns);
    std::vector<std::string_view> tokens;
    while (stream.Next(tokens)) {
    }
    return stream.FirstPartedLine();
}

struct LineCase {
    const char* input;
    uint32_t columns;
    uint64_t firstParted;  // 0: every line is a row
    const char* rule;
};

const LineCase kLineCases[] = {
    {"a,b,c[CR][LF]d,e,f[CR][LF]", 3, 0, "lines of three tokens at three columns"},
    {"a,b,c[CR][LF]d,e,f", 3, 0, "the last line without a break"},
    {"a,b,c[CR][LF]d,e,f[CR][LF]", 2, 1, "a line of three tokens at two columns"},
    {"[Q]a[Q],[Q]b[Q][CR][LF][Q]c[Q],d[CR][LF]", 2, 0, "quoted values"},
    {"id,name,dept[CR][LF]1,Yamada Taro,Sales[CR][LF]2,Kimura,Sales[CR][LF]", 3, 2,
     "a blank inside a value: three tokens but not three fields"},
    {"id,name,dept,note[CR][LF]1,Kimura,Sales,x[CR][LF]2,Yamada Taro,Sales,[CR][LF]", 4, 3,
     "a blank inside a value and an empty last field on the same line: still four tokens"},
    {"a,b,c[CR][LF]d,e,[CR][LF]", 3, 2, "an empty last field gives no token"},
    {"a,b,c,[CR][LF]d,e,f,[CR][LF]", 3, 0, "every line ends with a comma"},
    {"a,b[CR][LF][Q]x[Q]y,z[CR][LF]", 2, 2, "text right after a closing quote"},
    {"a,b[CR][LF][Q]x[CR][LF]y[Q],z[CR][LF]w,v[CR][LF]", 2, 0, "a quoted line break does not end the line"},
    {"a,b[CR][LF][Q]x[CR][LF]y[Q],z,q[CR][LF]", 2, 2, "a record over two lines is named by its first"},
    {"a,b[CR][LF][Q]x[LF][LF]y[Q],z[CR][LF]w[CR][LF]", 2, 5, "the line after quoted breaks counts them"},
    {"a,b[CR]c,d[CR]e[CR]", 2, 3, "CR-only line ends"},
    {"a,b[LF]c,d[LF]e,f,g[LF]", 2, 3, "LF-only line ends"},
    {"a,b[CR][LF][CR][LF][CR][LF]c,d[CR][LF]e[CR][LF]", 2, 5, "blank lines are lines, and give no row"},
    {"a,b[CR][LF]c,d[00]e,f,g[CR][LF]", 2, 0, "a 0x00 ends the text"},
    {"a,b[CR][LF]c[00],d[CR][LF]", 2, 2, "the line that a 0x00 cuts short"},
    {"a,b[CR][LF]c,d,e", 2, 2, "an unfinished last row"},
    {"[SP]a[SP],[TAB]b[SP][CR][LF]c,d", 2, 0, "blanks around values"},
    {"a,b[CR][LF],c[CR][LF]", 2, 2, "a comma at the start of a line gives no token"},
    {"a[CR][LF]b[CR][LF]", 1, 0, "one column"},
    {"[Q]a,b[CR][LF]c,d[CR][LF]", 2, 1, "an unterminated quote takes in every line after it"},
    {"x[81][CR][LF]y,z[CR][LF]", 1, 2, "a lead byte before CR LF: the line still ends"},
    {"\x95\\,\x83|[CR][LF]a,b[CR][LF]", 2, 0, "second bytes 0x5C and 0x7C are no separators"},
    {"", 3, 0, "an empty file"},
};

TEST(LineCheck, FindsTheFirstLineThatPartsFromTheRows)
{
    for (const LineCase& c : kLineCases) {
        const std::string text = Bytes(c.input);
        EXPECT_EQ(WholeFirstPartedLine(text, c.columns), c.firstParted) << c.rule << ": " << Show(text);
        for (const size_t part : {1, 3, 7, 64, 4096})
            EXPECT_EQ(StreamedFirstPartedLine(text, c.columns, part), c.firstParted)
                << c.rule << ", parts of " << part << ": " << Show(text);
    }
}

TEST(LineCheck, TheWholeReadingAndTheStreamAgreeWhereverThePartsEnd)
{
    std::mt19937 random(26);
    for (int round = 0; round < 400; ++round) {
        const std::string text = test::RandomText(random, 1 + static_cast<size_t>(round) * 3);
        for (const uint32_t columns : {1u, 2u, 3u}) {
            const uint64_t whole = WholeFirstPartedLine(text, columns);
            for (const size_t part : {16, 64, 100})
                ASSERT_EQ(StreamedFirstPartedLine(text, columns, part), whole)
                    << columns << " columns, parts of " << part << ": " << Show(text);
        }
    }
}

TEST(LineCheck, TheOpenTellsTheTableAndLeavesItsTokensAlone)
{
    test::FakeFileSystem fs;
    const std::string text = "no,name,dept\r\n1,Yamada Taro,Sales\r\n2,Kimura,Sales\r\n";
    fs.files["in.csv"] = text;
    CellTable table;
    table.ChangeColCount(3);
    OpenCsvFile(table, "in.csv", EncodingChoice::Forced(kSjis), fs);
    EXPECT_EQ(table.FirstPartedLine(), 2u);
    // The layout is the flat reading's, exactly.
    EXPECT_EQ(table.ReadCell(1, 1), "Yamada");
    EXPECT_EQ(table.ReadCell(2, 1), "Taro");
    EXPECT_EQ(table.ReadCell(0, 2), "Sales");

    OpenCsvFile(table, "in.csv", EncodingChoice::Forced(kSjis), fs, OverCap::kRefuse, nullptr, false);
    EXPECT_EQ(table.FirstPartedLine(), 0u) << "not checked";
    fs.files["in.csv"] = "no,name,dept\r\n1,Kimura,Sales\r\n";
    OpenCsvFile(table, "in.csv", EncodingChoice::Forced(kSjis), fs);
    EXPECT_EQ(table.FirstPartedLine(), 0u) << "every line a row";
}

}  // namespace
}  // namespace quorvel
