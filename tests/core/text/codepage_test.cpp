// Lead bytes, the character step and the second-byte test.
#include <gtest/gtest.h>

#include "core/text/codepage.h"
#include "system/system_services.h"
#include "cli/terminal_text.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Bytes;

TEST(CodePage, ShiftJisLeadBytes)
{
    const CodePage sjis = CodePage::ShiftJis();
    for (int b = 0; b < 256; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(sjis.IsLeadByte(static_cast<uint8_t>(b)), lead) << b;
    }
    EXPECT_TRUE(sjis.IsDoubleByte());
}

TEST(CodePage, SingleByteCodePagesHaveNoLeadBytes)
{
    for (int number : {1252, 437, 28591}) {
        const auto page = CodePageByNumber(number);
        ASSERT_TRUE(page) << number;
        EXPECT_FALSE(page->IsDoubleByte());
        for (int b = 0; b < 256; ++b) EXPECT_FALSE(page->IsLeadByte(static_cast<uint8_t>(b)));
    }
}

TEST(CodePage, PlatformKnowsShiftJis)
{
    const auto page = CodePageByNumber(932);
    ASSERT_TRUE(page);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(page->IsLeadByte(static_cast<uint8_t>(b)), CodePage::ShiftJis().IsLeadByte(static_cast<uint8_t>(b)));
    EXPECT_EQ(SystemCodePage().Number(), 932) << "tests run under code page 932";
}

TEST(CodePage, NextChar)
{
    const CodePage sjis = CodePage::ShiftJis();
    const std::string text = Bytes("a[95][5C][81]");
    EXPECT_EQ(sjis.NextChar(text.c_str(), 0), 1u);
    EXPECT_EQ(sjis.NextChar(text.c_str(), 1), 3u);
    EXPECT_EQ(sjis.NextChar(text.c_str(), 3), 4u) << "a lead byte before the end is one character";
    EXPECT_EQ(sjis.NextChar(text.c_str(), 4), 4u) << "the end stays where it is";
    const std::string cr = Bytes("[81][CR]");
    EXPECT_EQ(sjis.NextChar(cr.c_str(), 0), 2u) << "a lead byte takes a CR as its second byte";
}

TEST(CodePage, SecondByteTest)
{
    const CodePage sjis = CodePage::ShiftJis();
    const struct {
        const char* text;
        size_t position;
        size_t scanStart;
        bool second;
    } cases[] = {
        {"[95][5C]", 1, 0, true},      // 表
        {"a[5C]", 1, 0, false},
        {"[95][95][5C]", 2, 0, false}, // two lead bytes form one character
        {"[95][95][95][5C]", 3, 0, true},
        {"[95][41][95][5C]", 3, 0, true},
        {"[95][95][5C]", 2, 1, true},  // counting stops at the scan start
        {"[5C]", 0, 0, false},
    };
    for (const auto& c : cases) EXPECT_EQ(sjis.IsSecondByte(Bytes(c.text), c.position, c.scanStart), c.second) << c.text;
    EXPECT_FALSE(CodePage(1252).IsSecondByte(Bytes("[95][5C]"), 1));
}

TEST(CodePage, ToUtf8ForTerminals)
{
    EXPECT_EQ(ToUtf8("東京", CodePage::ShiftJis()), "\xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_EQ(ToUtf8("", CodePage::ShiftJis()), "");
}

}  // namespace
}  // namespace quorvel
