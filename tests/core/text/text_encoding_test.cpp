// Which encoding a file is read in, the UTF-8 steps, and the conversions
// of text for names and display.
#include <gtest/gtest.h>

#include <random>

#include "core/text/code_page_characters.h"
#include "core/errors.h"
#include "core/read/record_reader.h"
#include "core/text/text_encoding.h"
#include "core/read/token_reader.h"
#include "core/text/utf8.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Bytes;
using test::Show;
using Verdict = EncodingDetector::Verdict;

const char* Name(Verdict v)
{
    switch (v) {
    case Verdict::kUndecided: return "undecided";
    case Verdict::kFallback: return "code page";
    case Verdict::kUtf8: return "UTF-8";
    case Verdict::kUtf8WithMark: return "UTF-8 with mark";
    case Verdict::kUtf16: return "UTF-16";
    }
    return "?";
}

struct DetectionCase {
    const char* what;
    std::string text;
    Verdict verdict;
};

std::vector<DetectionCase> DetectionCases()
{
    const std::string ascii(100000, 'a');
    return {
        {"empty", "", Verdict::kFallback},
        {"ASCII only", "no,name\r\n1,x\r\n", Verdict::kFallback},
        {"byte order mark", Bytes("[EF][BB][BF]a,b"), Verdict::kUtf8WithMark},
        {"byte order mark alone", Bytes("[EF][BB][BF]"), Verdict::kUtf8WithMark},
        {"mark before Shift_JIS bytes", Bytes("[EF][BB][BF][82][A0]"), Verdict::kUtf8WithMark},
        {"UTF-16 LE", Bytes("[FF][FE]a[00],[00]"), Verdict::kUtf16},
        {"UTF-16 BE", Bytes("[FE][FF][00]a"), Verdict::kUtf16},
        {"part of a mark", Bytes("[EF][BB]"), Verdict::kFallback},
        {"Shift_JIS", Bytes("no,[8E][59][92][6E][CR][LF]1,[90][C2][90][58][CR][LF]"), Verdict::kFallback},
        {"UTF-8", "no,\xE7\x94\xA3\xE5\x9C\xB0\r\n", Verdict::kUtf8},
        {"UTF-8 beyond the BMP", "\xF0\xA0\xAE\xB7,x", Verdict::kUtf8},
        {"Japanese only in the last row", ascii + "\r\n\xE6\x9D\xB1\xE4\xBA\xAC\r\n", Verdict::kUtf8},
        {"Shift_JIS only in the last row", ascii + Bytes("[CR][LF][93][8C][8B][9E]"), Verdict::kFallback},
        {"UTF-8 cut short at the end", "a,\xE6\x9D", Verdict::kFallback},
        {"overlong form", "a,\xC0\xAF", Verdict::kFallback},
        {"surrogate", "a,\xED\xA0\x80", Verdict::kFallback},
        {"past U+10FFFF", "a,\xF4\x90\x80\x80", Verdict::kFallback},
        {"invalid after the window", "\xE6\x9D\xB1" + ascii + "\x82\xA0", Verdict::kUtf8},
        {"invalid inside the window", "\xE6\x9D\xB1" + std::string(1000, 'a') + "\x82\xA0", Verdict::kFallback},
        {"a 0x00 ends the text before any high byte", std::string("ab\0\x82\xA0", 5), Verdict::kFallback},
        {"a 0x00 after UTF-8", std::string("\xE6\x9D\xB1\0\x82", 5), Verdict::kUtf8},
        // Half-width katakana ﾃｽ is C3 BD in Shift_JIS, well-formed UTF-8 (ý).
        {"Shift_JIS that reads as UTF-8", Bytes("[C3][BD]"), Verdict::kUtf8},
    };
}

TEST(EncodingDetection, DecidesByMarkOrByTheBytesFromTheFirstHighByte)
{
    for (const DetectionCase& c : DetectionCases())
        EXPECT_STREQ(Name(DetectEncoding(c.text)), Name(c.verdict)) << c.what;
}

// Fed as a file arrives, in steps of any size, the decision is the one
// taken on the whole text.
TEST(EncodingDetection, FedInStepsGivesTheWholeTextsVerdict)
{
    for (const DetectionCase& c : DetectionCases()) {
        for (size_t step : {size_t{1}, size_t{2}, size_t{3}, size_t{4097}, size_t{65536}}) {
            EncodingDetector detector;
            Verdict verdict = Verdict::kUndecided;
            for (size_t size = std::min(step, c.text.size());; size = std::min(size + step, c.text.size())) {
                const bool whole = size == c.text.size();
                verdict = detector.Feed(c.text.data(), size, whole);
                if (verdict != Verdict::kUndecided || whole) break;
            }
            EXPECT_STREQ(Name(verdict), Name(c.verdict)) << c.what << ", steps of " << step;
        }
    }
}

TEST(EncodingDetection, AChoiceGivesTheEncoding)
{
    const CodePage sjis = CodePage::ShiftJis();
    const FileEncoding utf8 = EncodingOf(Verdict::kUtf8WithMark, EncodingChoice::Detect(sjis), "f.csv");
    EXPECT_TRUE(utf8.IsUtf8());
    EXPECT_TRUE(utf8.byteOrderMark);
    EXPECT_EQ(utf8.TextStart(), 3u);
    EXPECT_EQ(EncodingOf(Verdict::kFallback, EncodingChoice::Detect(sjis), "f.csv").codePage.Number(), 932);
    // Forced: 932 reads a UTF-8 file as today, mark and all; 65001 leaves
    // the mark out.
    const FileEncoding forced = EncodingOf(Verdict::kUtf8WithMark, EncodingChoice::Forced(sjis), "f.csv");
    EXPECT_EQ(forced.codePage.Number(), 932);
    EXPECT_FALSE(forced.byteOrderMark);
    EXPECT_TRUE(EncodingOf(Verdict::kUtf8WithMark, EncodingChoice::Forced(CodePage::Utf8()), "f.csv").byteOrderMark);
    EXPECT_NO_THROW(EncodingOf(Verdict::kUtf16, EncodingChoice::Forced(sjis), "f.csv"));
    try {
        EncodingOf(Verdict::kUtf16, EncodingChoice::Detect(sjis), "C:\\d\\f.csv");
        FAIL() << "UTF-16 read";
    } catch (const Utf16FileError& e) {
        EXPECT_EQ(e.Path(), "C:\\d\\f.csv");
        EXPECT_NE(e.Message().find("UTF-16"), std::string::npos);
    }
}

TEST(Utf8, CharacterLengths)
{
    struct Case {
        const char* bytes;
        size_t length;
        char32_t code;
    };
    const Case cases[] = {
        {"a", 1, 'a'},           {"\xC2\xA9", 2, 0xA9},          {"\xE3\x81\x82", 3, 0x3042},
        {"\xEF\xBB\xBF", 3, 0xFEFF}, {"\xF0\xA0\xAE\xB7", 4, 0x20BB7}, {"\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
        {"\x80", 0, 0},          {"\xC1\xBF", 0, 0},             {"\xE0\x9F\xBF", 0, 0},
        {"\xED\xA0\x80", 0, 0},  {"\xF4\x90\x80\x80", 0, 0},     {"\xE3\x81", 0, 0},
        {"\xE3\x41\x82", 0, 0},  {"\xF5\x80\x80\x80", 0, 0},
    };
    for (const Case& c : cases) {
        char32_t code = 0;
        const std::string bytes = c.bytes;
        EXPECT_EQ(Utf8CharLength(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), code), c.length)
            << Show(bytes);
        if (c.length) {
            EXPECT_EQ(code, c.code) << Show(bytes);
        }
    }
    EXPECT_EQ(FirstInvalidUtf8("abcdefghij\xE3\x81\x82xyz"), std::string_view::npos);
    EXPECT_EQ(FirstInvalidUtf8("abcdefghij\xE3\x81x"), 10u);
    EXPECT_EQ(Utf16Length("a\xE3\x81\x82\xF0\xA0\xAE\xB7\xFF"), 5u);
    std::string written;
    for (char32_t c : {char32_t{0x41}, char32_t{0xA9}, char32_t{0x3042}, char32_t{0x20BB7}}) AppendUtf8(written, c);
    EXPECT_EQ(written, "A\xC2\xA9\xE3\x81\x82\xF0\xA0\xAE\xB7");
}

TEST(TextConversion, ShiftJisToUtf8AndBack)
{
    const CodePage sjis = CodePage::ShiftJis();
    EXPECT_EQ(TextToUtf8("東京ｱ①髙", sjis, Unconvertible::kQuestionMark), u8"東京ｱ①髙");
    EXPECT_EQ(Utf8ToText(u8"東京ｱ①髙", sjis), "東京ｱ①髙");
    // What does not convert: a lone lead byte, an unassigned code.
    EXPECT_EQ(TextToUtf8(Bytes("a[85][40]b[82]"), sjis, Unconvertible::kPercentHex), "a%85%40b%82");
    EXPECT_EQ(TextToUtf8(Bytes("a[85][40]"), sjis, Unconvertible::kQuestionMark), "a??");
    EXPECT_EQ(TextToUtf8(Bytes("a[FF]"), CodePage::Utf8(), Unconvertible::kReplacement), "a\xEF\xBF\xBD");
    // 𠮷 is not in Shift_JIS: kept as its bytes, or the substitute.
    EXPECT_EQ(Utf8ToText("\xF0\xA0\xAE\xB7", sjis), "\xF0\xA0\xAE\xB7");
    EXPECT_EQ(Utf8ToText("\xF0\xA0\xAE\xB7x", sjis, '?'), "?x");
}

// Every character Shift_JIS has comes back to its code; where two codes
// stand for one character, the one Windows writes.
TEST(TextConversion, ShiftJisCodesRoundTrip)
{
    const CodePageCharacters& table = CodePageCharacters::Of(CodePage::ShiftJis());
    size_t characters = 0;
    for (uint32_t code = 0x8140; code <= 0xFCFC; ++code) {
        const char32_t c = table.Decode(static_cast<uint16_t>(code));
        if (c == CodePageCharacters::kNone) continue;
        ++characters;
        const auto back = table.Encode(c);
        ASSERT_TRUE(back.has_value()) << std::hex << code;
        if (code >> 8 != 0xED && code >> 8 != 0xEE && code < 0xFA40) {
            if (*back != code) {
                // Only the NEC row 13 duplicates of JIS row 2 symbols differ.
                EXPECT_EQ(code >> 8, 0x87u) << std::hex << code << " -> " << *back;
            }
        }
    }
    EXPECT_GT(characters, 7000u);
    EXPECT_EQ(table.Encode(0x2252), 0x81E0);  // ≒: the JIS code, not NEC row 13's
    EXPECT_EQ(table.Encode(0x7E8A), 0xFA5C);  // 纊: the IBM code, not NEC-selected
}

TEST(LineOfOffset, CountsEveryKindOfLineBreak)
{
    const std::string text = "a\r\nb\rc\nd\n\re";
    EXPECT_EQ(LineOfOffset(text, 0), 1u);
    EXPECT_EQ(LineOfOffset(text, 3), 2u);
    EXPECT_EQ(LineOfOffset(text, 5), 3u);
    EXPECT_EQ(LineOfOffset(text, 7), 4u);
    EXPECT_EQ(LineOfOffset(text, 11), 6u);
}

// ---- Reading files in either encoding -------------------------------------

TokenList ReadDetected(const std::string& path)
{
    return ReadCsvTokens(path, EncodingChoice::Detect(CodePage::ShiftJis()), NativeFileSystem());
}

TEST(ReadUtf8, CommasAfterCharactersWhoseBytesAreShiftJisLeadBytes)
{
    test::ScratchDir dir;
    const std::string path = dir.File("u.csv");
    // あ is E3 81 82: under the Shift_JIS rule 82 would take the comma.
    test::WriteFile(path, "\xE3\x81\x82,b\r\n\xE6\x9D\xB1\xE4\xBA\xAC,\"\xE3\x81\x82\"\r\n");
    const TokenList tokens = ReadDetected(path);
    EXPECT_TRUE(tokens.Encoding().IsUtf8());
    EXPECT_FALSE(tokens.Encoding().byteOrderMark);
    EXPECT_EQ(Show(tokens.ToStrings()), Show(std::vector<std::string>{"\xE3\x81\x82", "b", "\xE6\x9D\xB1\xE4\xBA\xAC",
                                                                      "\xE3\x81\x82"}));
    // Read as Shift_JIS, as before: the fields merge.
    EXPECT_EQ(ReadCsvTokens(path, CodePage::ShiftJis(), NativeFileSystem()).size(), 3u);
}

TEST(ReadUtf8, TheByteOrderMarkBelongsToNoCell)
{
    test::ScratchDir dir;
    const std::string path = dir.File("bom.csv");
    test::WriteFile(path, "\xEF\xBB\xBF\xE9\x83\xBD\xE9\x81\x93\xE5\xBA\x9C\xE7\x9C\x8C,n\r\n\xE6\x9D\xB1,1\r\n");
    const TokenList tokens = ReadDetected(path);
    EXPECT_TRUE(tokens.Encoding().byteOrderMark);
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[0], "\xE9\x83\xBD\xE9\x81\x93\xE5\xBA\x9C\xE7\x9C\x8C");  // 都道府県
    // A mark followed at once by a quoted value or blanks.
    test::WriteFile(path, "\xEF\xBB\xBF\"a,b\",c");
    EXPECT_EQ(Show(ReadDetected(path).ToStrings()), Show(std::vector<std::string>{"a,b", "c"}));
    test::WriteFile(path, "\xEF\xBB\xBF");
    EXPECT_EQ(ReadDetected(path).size(), 0u);
    // The records reader too.
    test::WriteFile(path, "\xEF\xBB\xBFk,v\r\n\xE3\x81\x82,1\r\n");
    CellTable table;
    const FileEncoding encoding =
        OpenCsvRecords(table, path, EncodingChoice::Detect(CodePage::ShiftJis()), NativeFileSystem(), std::nullopt);
    EXPECT_TRUE(encoding.byteOrderMark);
    EXPECT_EQ(table.ReadCell(0, 0), "k");
    EXPECT_EQ(table.ReadCell(0, 1), "\xE3\x81\x82");
}

TEST(ReadUtf8, BytesThatAreNotUtf8AreKeptAndTheirLineTold)
{
    test::ScratchDir dir;
    const std::string path = dir.File("bad.csv");
    std::string text = "\xE6\x9D\xB1,a\r\n" + std::string(70000, 'x') + "\r\nb,\x82\xA0z\r\n";
    test::WriteFile(path, text);
    const TokenList tokens = ReadDetected(path);
    EXPECT_TRUE(tokens.Encoding().IsUtf8());
    EXPECT_EQ(tokens.Encoding().firstInvalidLine, 3u);
    EXPECT_EQ(tokens[tokens.size() - 1], "\x82\xA0z");
    test::WriteFile(path, "\xE6\x9D\xB1,a\r\n");
    EXPECT_EQ(ReadDetected(path).Encoding().firstInvalidLine, 0u);
}

TEST(ReadUtf8, Utf16IsRefusedWithItsName)
{
    test::ScratchDir dir;
    const std::string path = dir.File("wide.csv");
    test::WriteFile(path, Bytes("[FF][FE]a[00],[00]b[00]"));
    EXPECT_THROW(ReadDetected(path), Utf16FileError);
    CellTable table;
    EXPECT_THROW(
        OpenCsvRecords(table, path, EncodingChoice::Detect(CodePage::ShiftJis()), NativeFileSystem(), std::nullopt),
        Utf16FileError);
    try {
        ReadDetected(path);
    } catch (const Utf16FileError& e) {
        EXPECT_EQ(e.Path(), path);
    }
}

// The real Shift_JIS file reads as it always has.
TEST(ReadUtf8, TheTokyoFileStaysShiftJis)
{
    const std::string path = std::string(QUORVEL_SHARED_DATA) + "/13TOKYO.CSV";
    if (!test::FileExists(path)) GTEST_SKIP() << "no " << path;
    const TokenList detected = ReadDetected(path);
    const TokenList forced = ReadCsvTokens(path, CodePage::ShiftJis(), NativeFileSystem());
    EXPECT_EQ(detected.Encoding().codePage.Number(), 932);
    ASSERT_EQ(detected.size(), forced.size());
    for (size_t i = 0; i < forced.size(); ++i) ASSERT_EQ(detected[i], forced[i]) << i;
}

}  // namespace
}  // namespace quorvel
