// The window side's texts and paths, byte for byte.
#include <gtest/gtest.h>

#include "test_support.h"
#include "ui/app_paths.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {
namespace {

using test::Bytes;

TEST(ErrorBoxText, AppendsAFullStopAfterAGreaterLastCharacter)
{
    const CodePage sjis = CodePage::ShiftJis();
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"ファイル C:\\a.csv は開けません", "ファイル C:\\a.csv は開けません."},
        {"abc", "abc."},
        {"123", "123."},
        {"done.", "done."},
        {"(x)", "(x)"},
        {"wow!", "wow!"},
        {"end ", "end "},
        {"a-", "a-"},
        {"終わり。", "終わり。."},
        {"", ""},
        {"/", "/."},
        {"x[81]", "x[81]."},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorBoxText(Bytes(c.message), sjis), Bytes(c.shown)) << c.message;
}

TEST(SplitQuestion, IsBuiltByteForByte)
{
    EXPECT_EQ(SplitQuestion("産地"), "産地 を対象にCSVファイルを分割保存します。\n\nよろしいですか？");
    EXPECT_EQ(SplitQuestion(""), " を対象にCSVファイルを分割保存します。\n\nよろしいですか？");
    EXPECT_EQ(SplitQuestion("").substr(0, 1), " ");
}

TEST(MessageClipboardText, DividersCaptionTextButtons)
{
    const std::string divider = "---------------------------\r\n";
    EXPECT_EQ(MessageClipboardText("確認", "よろしいですか？", {"はい(&Y)", "いいえ(&N)"}),
              divider + "確認\r\n" + divider + "よろしいですか？\r\n" + divider + "はい(Y)   いいえ(N)   \r\n" + divider);
}

TEST(OpenDialogFilter, PairsSeparatedByZeroBytes)
{
    const std::string filter = OpenDialogFilter();
    EXPECT_EQ(filter, std::string("CSVファイル (*.csv)\0*.csv\0すべてのファイル (*.*)\0*.*\0", 49 + 4));
}

TEST(AppPaths, FolderAndBaseName)
{
    const CodePage sjis = CodePage::ShiftJis();
    const struct {
        const char* exe;
        const char* dir;
        const char* base;
    } cases[] = {
        {"C:\\Tools\\Quorvel.exe", "C:\\Tools", "Quorvel"},
        {"C:\\Quorvel.exe", "C:\\", "Quorvel"},
        {"C:\\表\\Quorvel.exe", "C:\\表", "Quorvel"},
        {"C:\\ソフト\\表.exe", "C:\\ソフト", "表"},
        {"C:\\Tools\\My Tool.exe", "C:\\Tools", "My Tool"},
        {"C:\\Tools\\a.b.exe", "C:\\Tools", "a.b"},
        {"C:\\Tools\\noext", "C:\\Tools", "noext"},
        {"\\\\server\\share\\q.exe", "\\\\server\\share", "q"},
        {"Quorvel.exe", "", "Quorvel"},
        {"C:Quorvel.exe", "C:", "Quorvel"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AppDirOf(Bytes(c.exe), sjis), Bytes(c.dir)) << c.exe;
        EXPECT_EQ(ExeBaseNameOf(Bytes(c.exe), sjis), Bytes(c.base)) << c.exe;
    }
    EXPECT_EQ(GuidePath("C:\\Tools"), "C:\\Tools/Readme.txt");
    EXPECT_EQ(GuidePath("C:\\"), "C:\\/Readme.txt");
    EXPECT_EQ(InfoPageAddress("My Tool"), "https://www.quorvel.jp/info.php?pf=w&sn=My Tool");
}

}  // namespace
}  // namespace quorvel::ui

namespace quorvel::ui {
namespace {

TEST(BigFileTexts, AreBuiltByteForByte)
{
    EXPECT_EQ(PreviewStatusText(), "先頭 1,048,559 行を表示中: 分割保存はファイル全体が対象です");
    EXPECT_EQ(SplitProgressText(37, 893184, 47), "37%  893,184 行  47 ファイル");
    EXPECT_EQ(SplitProgressText(0, 0, 0), "0%  0 行  0 ファイル");
    EXPECT_EQ(SplitProgressText(100, 2400000, 1000), "100%  2,400,000 行  1,000 ファイル");
    EXPECT_EQ(LoadProgressText(5, 999), "読み込み中 5%  999 行");
    EXPECT_EQ(LoadProgressText(42, 1048560), "読み込み中 42%  1,048,560 行");
}

TEST(ByLinesTexts, AreBuiltByteForByte)
{
    // Shift_JIS bytes, as the window shows them.
    EXPECT_EQ(std::string(text::kOpenLinesItem), "\x8D\x73\x92\x50\x88\xCA\x82\xC5\x8A\x4A\x82\xAD(&L)...");
    EXPECT_EQ(std::string(text::kOpenLinesItemHint), "行単位で開く");
    EXPECT_EQ(std::string(text::kByLinesMark), "行単位");
    EXPECT_EQ(PartedLinesStatusText(2), "2 行目から表の行がファイルの行とずれています: 行単位で開く (Ctrl+L) で開き直せます");
    EXPECT_EQ(PartedLinesStatusText(1733), "1,733 行目から表の行がファイルの行とずれています: 行単位で開く (Ctrl+L) で開き直せます");
}

TEST(ParseChunkRows, TakesWholeNumbersFromOneOn)
{
    struct Case {
        const char* typed;
        uint64_t rows;
    };
    for (const Case& c : {Case{"1000000", 1000000}, Case{"1", 1}, Case{"007", 7}, Case{"0", 0}, Case{"", 0},
                          Case{"-5", 0}, Case{"1e6", 0}, Case{" 5", 0}, Case{"5 ", 0}, Case{"１", 0},
                          Case{"1099511627776", 1099511627776}, Case{"1099511627777", 0},
                          Case{"99999999999999", 0}, Case{"18446744073709551617", 0}})
        EXPECT_EQ(ParseChunkRows(c.typed), c.rows) << c.typed;
}

}  // namespace
}  // namespace quorvel::ui
