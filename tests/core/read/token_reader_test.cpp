// The token reader: every row of the rule table, the step-by-step
// reference against the fast reader on generated input, and the file
// layer's failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>

#include "core/errors.h"
#include "core/read/token_reader.h"
#include "reference/csv_steps.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Bytes;
using test::Show;

std::vector<std::string> FastTokens(std::string_view fileBytes, const CodePage& codePage)
{
    LoadedFile file;
    file.bytes = AllocateFileBuffer(fileBytes.size());
    std::copy(fileBytes.begin(), fileBytes.end(), file.bytes.get());
    file.size = fileBytes.size();
    return SplitCsvText(std::move(file), codePage).ToStrings();
}

struct TokenCase {
    const char* input;
    std::vector<const char*> tokens;
};

std::vector<std::string> Decode(const std::vector<const char*>& notations)
{
    std::vector<std::string> out;
    for (const char* n : notations) out.push_back(Bytes(n));
    return out;
}

// Input file -> tokens, code page 932. Each row also holds without the
// final line break and with one added.
const TokenCase kTokenCases[] = {
    {"a,[SP]b[SP],c", {"a", "b", "c"}},
    {"a[SP]b,c", {"a", "b", "c"}},
    {"a[TAB]b", {"a", "b"}},
    {"[1A]", {}},
    {"a,[7F],b", {"a", "[7F]", "b"}},
    {",,", {"", ""}},
    {"[SP],[SP]", {""}},
    {"a,[SP],b", {"a", "", "b"}},
    {"a,", {"a"}},
    {"a,,", {"a", ""}},
    {",a", {"", "a"}},
    {"a,[CR][LF],b", {"a", "", "b"}},
    {"a[CR][LF],b", {"a", "b"}},
    {"a,b,c,[CR][LF]d,e,f,", {"a", "b", "c", "d", "e", "f"}},
    {"a[CR][LF]b", {"a", "b"}},
    {"[Q]x,y[Q],z", {"x,y", "z"}},
    {"[Q]a[Q][Q]b[Q]", {"a[Q]b"}},
    {"[Q][Q]", {""}},
    {"[Q][Q][Q][Q]", {"[Q]"}},
    {"[Q]a[Q][Q][Q]", {"a[Q]"}},
    {"[Q][SP]a[SP][Q]", {"[SP]a[SP]"}},
    {"[Q]a[Q][SP][SP],[SP][SP][Q]b[Q]", {"a", "b"}},
    {"ab[Q]cd,e", {"ab[Q]cd", "e"}},
    {"[Q]ab[Q]cd,e", {"ab", "cd", "e"}},
    {"[Q]x[LF]y[Q],z", {"x[CR][LF]y", "z"}},
    {"[Q]x[CR]y[Q],z", {"x[CR][LF]y", "z"}},
    {"[Q]x[LF][LF]y[Q]", {"x[CR][LF][CR][LF]y"}},
    {"a[CR]b[CR]c", {"a", "b", "c"}},
    {"a[LF]b[LF]c", {"a", "b", "c"}},
    {"[CR][LF][CR][LF]a[CR][LF][CR][LF]", {"a"}},
    {"a[00]b,c[CR][LF]d", {"a"}},
    {"[00]a", {}},
    {"[FF][FE]a[00],[00]b[00]", {"[FF][FE]a"}},
    {"[EF][BB][BF]a,b", {"[EF][BB][BF]a", "b"}},
    {"[EF][BB][BF][Q]a[Q],b", {"[EF][BB][BF][Q]a[Q]", "b"}},
    {"", {}},
    {"[95][5C],[83][7C]", {"[95][5C]", "[83][7C]"}},
    {"[Q][95][5C][Q]", {"[95][5C]"}},
    {"x[81][CR][LF]y", {"x[81][CR]", "y"}},
    {"[Q][81][Q][Q]b", {"[81][Q]", "b"}},
};

// Both readers give the listed tokens for every case.
void ExpectTokens(const std::vector<TokenCase>& cases, const CodePage& codePage)
{
    for (const TokenCase& c : cases) {
        const std::string expected = Show(Decode(c.tokens));
        EXPECT_EQ(Show(FastTokens(Bytes(c.input), codePage)), expected) << c.input;
        EXPECT_EQ(Show(reference::ReadTokens(Bytes(c.input), codePage)), expected) << c.input;
    }
}

class TokenTable : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenTable, FastAndReferenceGiveTheListedTokens)
{
    const CodePage sjis = CodePage::ShiftJis();
    const std::vector<std::string> expected = Decode(GetParam().tokens);
    const std::string input = Bytes(GetParam().input);
    for (const std::string& variant : {input, input + "\r\n"}) {
        EXPECT_EQ(Show(FastTokens(variant, sjis)), Show(expected)) << "input " << Show(variant);
        EXPECT_EQ(Show(reference::ReadTokens(variant, sjis)), Show(expected)) << "input " << Show(variant);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, TokenTable, ::testing::ValuesIn(kTokenCases));

// Unterminated quotes: the value runs to the end and takes the final
// CR LF, whether or not the file had one.
TEST(TokenReader, UnterminatedQuoteTakesTheRestOfTheText)
{
    ExpectTokens({
        {"[Q]abc", {"abc[CR][LF]"}},
        {"[Q]abc[CR][LF]", {"abc[CR][LF]"}},
        {"[Q]abc[LF]", {"abc[CR][LF]"}},
        {"[Q]abc[CR]", {"abc[CR][LF]"}},
        {"[Q]a[CR][LF]b,c", {"a[CR][LF]b,c[CR][LF]"}},
        {"a,[Q]b", {"a", "b[CR][LF]"}},
        {"[Q]", {"[CR][LF]"}},
        {"[Q]a[Q][Q]", {"a[Q][CR][LF]"}},
        {"[Q]a[81]", {"a[81][CR][LF]"}},
    }, CodePage::ShiftJis());
}

// A lead byte before a line break takes the break's CR as its second
// byte, whatever the file's own break was.
TEST(TokenReader, LeadByteBeforeLineBreak)
{
    ExpectTokens({
        {"x[81][LF]y", {"x[81][CR]", "y"}},
        {"x[81][CR]y", {"x[81][CR]", "y"}},
        {"x[81]", {"x[81][CR]"}},
        {"x[81][00]y", {"x[81][CR]"}},
        {"x[81][CR],y", {"x[81][CR]", "y"}},
        {"[Q]x[81][LF]y[Q]", {"x[81][CR][LF]y"}},
        {"[Q]x[81][CR]y[Q]", {"x[81][CR][LF]y"}},
        {"[Q][81][Q]", {"[81][Q][CR][LF]"}},
    }, CodePage::ShiftJis());
}

TEST(TokenReader, SingleByteCodePageHasNoSecondBytes)
{
    ExpectTokens({
        {"[Q][81][Q][Q]b", {"[81][Q]b[CR][LF]"}},
        {"x[81][CR][LF]y", {"x[81]", "y"}},
        {"[Q][95][5C][Q],[E9]", {"[95][5C]", "[E9]"}},
    }, CodePage(1252));
}

TEST(TokenReaderSteps, SplitLinesAndJoinLines)
{
    using reference::JoinLines;
    using reference::SplitLines;
    EXPECT_EQ(SplitLines(Bytes("a[LF][CR]b")), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines(Bytes("a[CR][CR]b")), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitLines(Bytes("a[CR][LF]")), (std::vector<std::string>{"a"}));
    EXPECT_EQ(SplitLines(Bytes("[LF]")), (std::vector<std::string>{""}));
    EXPECT_EQ(SplitLines(""), (std::vector<std::string>{}));
    EXPECT_EQ(JoinLines({"a", "", "b"}), Bytes("a[CR][LF][CR][LF]b[CR][LF]"));
    EXPECT_EQ(JoinLines({}), "");
}

// Random files built from the bytes that matter to the rules: the fast
// reader must agree with the steps on every one.
std::string RandomCsv(std::mt19937& rng, size_t length)
{
    static const char kAlphabet[] = {',', '"', '"', ' ', '\t', '\r', '\n', 'a', 'b', '\x81', '\x95', '\x5C',
                                     '\xE0', '\xFC', '\xA6', '\x7F', '\x1A', '\x00', '\x22', ','};
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 1);
    std::string out;
    for (size_t i = 0; i < length; ++i) out.push_back(kAlphabet[pick(rng)]);
    return out;
}

TEST(TokenReader, FastReaderEqualsStepsOnGeneratedInput)
{
    std::mt19937 rng(20261209);
    const CodePage pages[] = {CodePage::ShiftJis(), CodePage(1252), CodePage::Utf8()};
    std::uniform_int_distribution<size_t> length(0, 40);
    for (int i = 0; i < 20000; ++i) {
        const std::string input = RandomCsv(rng, length(rng));
        for (const CodePage& page : pages) {
            ASSERT_EQ(Show(FastTokens(input, page)), Show(reference::ReadTokens(input, page)))
                << "input " << Show(input) << " code page " << page.Number();
        }
    }
}

// Files of several 64-byte blocks, with long runs of lead bytes and every
// spot the blocks hand to the byte loop (a break after a lead byte, a
// doubled quote, a lone CR or LF in quotes, no closing quote), under code
// pages whose lead bytes are compared in vectors or looked up per byte.
std::string RandomLongCsv(std::mt19937& rng, size_t length)
{
    static const char* const kPieces[] = {",", "\"", " ", "\r\n", "\r", "\n", "abc", "\x81", "\x95\x5C",
                                          "\x83\x81\x82", "\x88\x9F\xE0\x81", "\x81\r", "\x81\n", "\"\"",
                                          "12345678", "\x00", "\t", "\xA6",
                                          // UTF-8: あ (each byte a Shift_JIS lead byte) and 𠮷
                                          "\xE3\x81\x82", "\xF0\xA0\xAE\xB7"};
    std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
    std::string out;
    while (out.size() < length) {
        const char* piece = kPieces[pick(rng)];
        out.append(piece, piece[0] == 0 ? 1 : std::strlen(piece));
    }
    return out;
}

TEST(TokenReader, FastReaderEqualsStepsOnLongGeneratedInput)
{
    std::mt19937 rng(64);
    const CodePage pages[] = {CodePage::ShiftJis(), CodePage(1252), CodePage::Utf8(),
                              CodePage(1, {{0x81, 0x81}, {0x83, 0x83}, {0x88, 0x88}, {0x95, 0x95}, {0xE0, 0xE0}})};
    std::uniform_int_distribution<size_t> length(60, 700);
    std::bernoulli_distribution rareNul(0.1);
    for (int i = 0; i < 2000; ++i) {
        std::string input = RandomLongCsv(rng, length(rng));
        // Most files hold no 0x00, which would end their text early.
        if (!rareNul(rng)) input.erase(std::remove(input.begin(), input.end(), '\0'), input.end());
        for (const CodePage& page : pages) {
            ASSERT_EQ(Show(FastTokens(input, page)), Show(reference::ReadTokens(input, page)))
                << "input " << Show(input) << " code page " << page.Number();
        }
    }
}

TEST(TokenReader, UnchangedTokensAreViewsIntoTheFileBuffer)
{
    LoadedFile file;
    const std::string text = Bytes("abc,[Q]de[Q],[Q]f[Q][Q]g[Q][CR][LF]");
    file.bytes = AllocateFileBuffer(text.size());
    std::copy(text.begin(), text.end(), file.bytes.get());
    file.size = text.size();
    const char* buffer = file.bytes.get();
    TokenList tokens = SplitCsvText(std::move(file), CodePage::ShiftJis());
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].data(), buffer);
    EXPECT_EQ(tokens[1].data(), buffer + 5);
    EXPECT_EQ(tokens[2], Bytes("f[Q]g"));
}

// ---- Reading real files -------------------------------------------------

TEST(ReadCsvTokens, ReadsAFileWhole)
{
    test::ScratchDir dir;
    const std::string path = dir.File("list.csv");
    test::WriteFile(path, Bytes("no,[8E][59][92][6E][CR][LF]1,[90][C2][90][58][CR][LF]"));
    const TokenList tokens = ReadCsvTokens(path, CodePage::ShiftJis(), NativeFileSystem());
    EXPECT_EQ(Show(tokens.ToStrings()), Show(Decode({"no", "[8E][59][92][6E]", "1", "[90][C2][90][58]"})));
    EXPECT_EQ(tokens.SourcePath(), path);
}

// A file large enough that its references fill chunks readied by another
// thread while it is still being read.
TEST(ReadCsvTokens, ALargeFileGivesTheTokensOfItsWholeText)
{
    test::ScratchDir dir;
    std::string text;
    for (int i = 0; text.size() < (size_t{18} << 20); ++i)
        text += std::to_string(i) + ",\x93\x8C\x8B\x9E\x93\x73,\"a,b\"" + (i % 5 ? "\r\n" : ",");
    const std::string path = dir.File("large.csv");
    test::WriteFile(path, text);
    const TokenList read = ReadCsvTokens(path, CodePage::ShiftJis(), NativeFileSystem());
    LoadedFile whole;
    whole.bytes = AllocateFileBuffer(text.size());
    std::copy(text.begin(), text.end(), whole.bytes.get());
    whole.size = text.size();
    const TokenList expected = SplitCsvText(std::move(whole), CodePage::ShiftJis());
    ASSERT_EQ(read.size(), expected.size());
    for (size_t i = 0; i < read.size(); ++i) ASSERT_EQ(read[i], expected[i]) << "token " << i;
}

TEST(ReadCsvTokens, EmptyFileGivesNoTokens)
{
    test::ScratchDir dir;
    const std::string path = dir.File("empty.csv");
    test::WriteFile(path, "");
    EXPECT_TRUE(ReadCsvTokens(path, CodePage::ShiftJis(), NativeFileSystem()).empty());
}

TEST(ReadCsvTokens, MissingFileRaisesFileOpenErrorWithThePath)
{
    test::ScratchDir dir;
    const std::string path = dir.File("missing.csv");
    try {
        ReadCsvTokens(path, CodePage::ShiftJis(), NativeFileSystem());
        FAIL() << "no error";
    } catch (const FileOpenError& e) {
        EXPECT_EQ(e.Message(), "ファイル " + path + " は開けません");
        EXPECT_EQ(e.Path(), path);
    }
}

TEST(ReadCsvTokens, AFolderIsNoFile)
{
    test::ScratchDir dir;
    EXPECT_THROW(ReadCsvTokens(dir.Path(), CodePage::ShiftJis(), NativeFileSystem()), FileOpenError);
}

// 表 is 0x95 0x5C in Shift_JIS, a second byte that looks like "\"; the
// core's paths are UTF-8, where no byte of a character does.
TEST(ReadCsvTokens, PathHoldingAJapaneseFolderAndName)
{
    test::ScratchDir dir;
    const std::string folder = dir.File(u8"表");
    ASSERT_TRUE(test::MakeFolder(folder));
    const std::string path = folder + test::Separator() + u8"表.csv";
    test::WriteFile(path, "a,b\r\n");
    EXPECT_EQ(ReadCsvTokens(path, CodePage::ShiftJis(), NativeFileSystem()).ToStrings(),
              (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace quorvel
