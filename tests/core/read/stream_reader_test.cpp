// The streaming readers against the whole-file readers: the same tokens,
// rows and records for any text, whatever part size cuts it, and the same
// failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/table/cell_table.h"
#include "core/read/csv_open.h"
#include "core/errors.h"
#include "core/read/record_reader.h"
#include "core/read/row_stream.h"
#include "core/read/token_reader.h"
#include "core/read/token_stream.h"
#include "fake_file_system.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Show;

const CodePage kSjis = CodePage::ShiftJis();
const CodePage kUtf8 = CodePage::Utf8();

using test::RandomText;

std::vector<std::string> StreamTokens(test::FakeFileSystem& fs, const EncodingChoice& choice, size_t partBytes)
{
    CsvTokenStream stream("in.csv", choice, fs, partBytes);
    std::vector<std::string> all;
    std::vector<std::string_view> tokens;
    while (stream.Next(tokens))
        for (const std::string_view token : tokens) all.emplace_back(token);
    EXPECT_EQ(stream.BytesDone(), fs.files["in.csv"].size());
    return all;
}

TEST(CsvTokenStream, GivesTheWholeFileReadersTokensWhereverThePartsEnd)
{
    std::mt19937 random(20261210);
    const struct {
        const char* what;
        EncodingChoice choice;
    } choices[] = {
        {"Shift_JIS", EncodingChoice::Forced(kSjis)},
        {"UTF-8", EncodingChoice::Forced(kUtf8)},
        {"detected", EncodingChoice::Detect(kSjis)},
    };
    for (int round = 0; round < 300; ++round) {
        test::FakeFileSystem fs;
        const std::string text = (round % 7 == 0 ? "\xEF\xBB\xBF" : "") + RandomText(random, 1 + round * 3);
        fs.files["in.csv"] = text;
        fs.readStep = round % 3 == 0 ? 5 : 0;
        for (const auto& c : choices) {
            const TokenList whole = ReadCsvTokens("in.csv", c.choice, fs);
            for (const size_t part : {64, 65, 97, 1000}) {
                const std::vector<std::string> streamed = StreamTokens(fs, c.choice, part);
                ASSERT_EQ(Show(streamed), Show(whole.ToStrings()))
                    << c.what << ", part " << part << ", text " << Show(text);
                CsvTokenStream stream("in.csv", c.choice, fs, part);
                std::vector<std::string_view> tokens;
                while (stream.Next(tokens)) {
                }
                EXPECT_EQ(stream.Encoding().codePage.Number(), whole.Encoding().codePage.Number()) << c.what;
                EXPECT_EQ(stream.Encoding().byteOrderMark, whole.Encoding().byteOrderMark) << c.what;
                EXPECT_EQ(stream.Encoding().firstInvalidLine, whole.Encoding().firstInvalidLine)
                    << c.what << ", part " << part << ", text " << Show(text);
            }
        }
    }
}

// A reading with a limit, whole or streamed: the first tokens, whether the
// file goes on after them, and the encoding.
TEST(ReadFirstCsvTokens, GivesTheLimitedWholeReadingsTokens)
{
    std::mt19937 random(19);
    for (int round = 0; round < 200; ++round) {
        test::FakeFileSystem fs;
        const std::string text = (round % 5 == 0 ? "\xEF\xBB\xBF" : "") + RandomText(random, 1 + round * 4);
        fs.files["in.csv"] = text;
        const EncodingChoice choice = EncodingChoice::Detect(kSjis);
        const std::vector<std::string> all = ReadCsvTokens("in.csv", choice, fs).ToStrings();
        for (const size_t limit : {size_t{0}, size_t{1}, all.size() / 2, all.size(), all.size() + 1}) {
            const TokenList whole = ReadCsvTokens("in.csv", choice, fs, limit);
            ASSERT_EQ(whole.size(), std::min(limit, all.size()));
            EXPECT_EQ(whole.CutShort(), limit < all.size()) << limit << " of " << all.size();
            for (const size_t part : {64, 97, 4096}) {
                const TokenList streamed = ReadFirstCsvTokens("in.csv", choice, fs, limit, nullptr, part);
                ASSERT_EQ(Show(streamed.ToStrings()), Show(whole.ToStrings())) << "limit " << limit << ", part " << part;
                EXPECT_EQ(streamed.CutShort(), whole.CutShort()) << "limit " << limit << ", part " << part;
                EXPECT_EQ(streamed.Encoding().codePage.Number(), whole.Encoding().codePage.Number());
                EXPECT_EQ(streamed.Encoding().byteOrderMark, whole.Encoding().byteOrderMark);
            }
        }
    }
}

TEST(ReadFirstCsvTokens, AFileOverAGigabyteWithALimitIsNeverHeldWhole)
{
    test::FakeFileSystem fs;
    fs.files["in.csv"] = "a,b\r\nc,d\r\ne,f\r\n";
    // Said to be far larger than any buffer: held whole, it would fail.
    fs.reportedSize = uint64_t{1} << 50;
    const TokenList first = ReadCsvTokens("in.csv", EncodingChoice::Detect(kSjis), fs, 3);
    EXPECT_EQ(first.ToStrings(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(first.CutShort());
}

// Every place a part can end, in texts that hold each thing a part's end
// can cut: a value and the blanks and delimiter after it, a quoted value,
// a doubled quote, a lead byte and its second byte, a CR LF.
TEST(CsvTokenStream, EveryPartEndGivesTheSameTokens)
{
    const std::string texts[] = {
        std::string(60, 'a') + "   ,  b,c\r\n\"d,\"\"e\r\n\",\x81\r\n,\x93\x8C,\"\x81\"\",x  \r\n  y\n,",
        std::string(58, ',') + "\x81\x81\x81\x81\x81\x81\r\r\n\n\"\"\"\",\"a\rb\"" + std::string(40, ' ') + ",z",
        "\xEF\xBB\xBF" + std::string(61, 'x') + "\xE6\x9D\xB1\xE4\xBA\xAC, \xF0\x9F\x8D\x8E ,\"\xE6\x9D\xB1\"\r\n" +
            std::string(30, 'y'),
    };
    for (const std::string& text : texts) {
        test::FakeFileSystem fs;
        fs.files["in.csv"] = text;
        for (const EncodingChoice& choice : {EncodingChoice::Forced(kSjis), EncodingChoice::Detect(kSjis)}) {
            const std::vector<std::string> whole = ReadCsvTokens("in.csv", choice, fs).ToStrings();
            for (size_t part = 64; part <= text.size() + 1; ++part)
                ASSERT_EQ(Show(StreamTokens(fs, choice, part)), Show(whole)) << "part " << part << " of " << Show(text);
        }
    }
}

TEST(CsvTokenStream, ATokenLongerThanAPartMakesThePartGrow)
{
    test::FakeFileSystem fs;
    const std::string longValue(5000, 'x');
    fs.files["in.csv"] = "a,\"" + longValue + "\r\n" + longValue + "\",b," + longValue;
    const std::vector<std::string> tokens = StreamTokens(fs, EncodingChoice::Forced(kSjis), 64);
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[1], longValue + "\r\n" + longValue);
    EXPECT_EQ(tokens[3], longValue);
}

TEST(CsvTokenStream, FailsAsTheWholeFileReaderDoes)
{
    const struct {
        const char* what;
        bool failOpen, failSize;
        int failReadAtCall;
        std::string text;
    } cases[] = {
        {"open", true, false, 0, "a,b"},
        {"size", false, true, 0, "a,b"},
        {"first read", false, false, 1, "a,b"},
        {"a read later", false, false, 30, std::string(4000, 'a')},
        {"a read after a 0x00 that ends the text", false, false, 10, "a,b" + std::string(1, '\0') + std::string(4000, 'z')},
    };
    for (const auto& c : cases) {
        test::FakeFileSystem fs;
        fs.files["in.csv"] = c.text;
        fs.failOpen = c.failOpen;
        fs.failSize = c.failSize;
        fs.failReadAtCall = c.failReadAtCall;
        fs.readStep = 100;
        EXPECT_THROW(StreamTokens(fs, EncodingChoice::Forced(kSjis), 256), FileOpenError) << c.what;
    }
    test::FakeFileSystem fs;
    fs.files["in.csv"] = "\xFF\xFE" "a\0,\0";
    EXPECT_THROW(StreamTokens(fs, EncodingChoice::Detect(kSjis), 256), Utf16FileError);
}

std::vector<std::string> StreamRows(test::FakeFileSystem& fs, bool records, std::optional<int32_t> columns,
                                    size_t partBytes, int32_t& laidOut)
{
    const std::unique_ptr<RowStream> rows =
        OpenRowStream("in.csv", EncodingChoice::Forced(kSjis), fs, records, columns, partBytes);
    laidOut = rows->ColCount();
    std::vector<std::string> cells;
    std::vector<std::string_view> row;
    while (rows->NextRow(row)) {
        EXPECT_EQ(row.size(), static_cast<size_t>(laidOut));
        for (const std::string_view cell : row) cells.emplace_back(cell);
    }
    return cells;
}

std::vector<std::string> TableCells(const CellTable& table)
{
    std::vector<std::string> cells;
    for (int32_t r = 0; r < table.RowCount(); ++r)
        for (int32_t c = 0; c < table.ColCount(); ++c) cells.emplace_back(table.ReadCell(c, r));
    return cells;
}

TEST(RowStream, LaysOutTokensAndRecordsAsTheTableDoes)
{
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        test::FakeFileSystem fs;
        const std::string text = RandomText(random, 1 + round * 4);
        fs.files["in.csv"] = text;
        for (const bool records : {false, true}) {
            for (const std::optional<int32_t> columns : {std::optional<int32_t>(1), std::optional<int32_t>(3),
                                                        std::optional<int32_t>(7), std::optional<int32_t>()}) {
                if (!records && !columns) continue;
                CellTable table;
                table.ChangeColCount(columns.value_or(5));
                std::string wholeError, streamError;
                std::vector<std::string> whole, streamed;
                int32_t laidOut = 0;
                try {
                    if (records) OpenCsvRecords(table, "in.csv", EncodingChoice::Forced(kSjis), fs, columns);
                    else OpenCsvFile(table, "in.csv", EncodingChoice::Forced(kSjis), fs);
                    whole = TableCells(table);
                } catch (const QuorvelError& e) {
                    wholeError = e.what();
                }
                for (const size_t part : {64, 100, 4096}) {
                    try {
                        streamed = StreamRows(fs, records, columns, part, laidOut);
                        streamError.clear();
                    } catch (const QuorvelError& e) {
                        streamError = e.what();
                    }
                    ASSERT_EQ(streamError, wholeError) << Show(text);
                    if (!wholeError.empty()) continue;
                    EXPECT_EQ(laidOut, table.ColCount()) << Show(text);
                    // A table always has its header row; a text without
                    // tokens streams no row at all.
                    const bool noRows = std::all_of(whole.begin(), whole.end(), [](auto& c) { return c.empty(); }) &&
                                        table.RowCount() == 1;
                    if (noRows && streamed.empty()) continue;
                    ASSERT_EQ(Show(streamed), Show(whole))
                        << (records ? "records" : "tokens") << " at " << columns.value_or(0) << ", part " << part
                        << ", text " << Show(text);
                }
            }
        }
    }
}

TEST(LineCounter, CountsAsLineOfOffsetWhereverTheTextIsCut)
{
    const std::string text = "a\r\nb\rc\nd\r\r\n\n\re";
    for (size_t cut = 0; cut <= text.size(); ++cut) {
        LineCounter lines;
        lines.Feed(std::string_view(text).substr(0, cut));
        lines.Feed(std::string_view(text).substr(cut));
        EXPECT_EQ(lines.Line(), LineOfOffset(text, text.size())) << cut;
    }
}

}  // namespace
}  // namespace quorvel
