// A piece file that another program holds open without sharing cannot be
// written: the pieces before it stay, none after it is written.
#include <gtest/gtest.h>

#include "core/read/csv_open.h"
#include "core/errors.h"
#include "core/split/file_split.h"
#include "core/split/split_writer.h"
#include "test_support.h"

namespace quorvel {
namespace {

TEST(WriteSplitPiecesOnDisk, PieceHeldOpenByAnotherProgram)
{
    test::ScratchDir dir;
    const std::string input = dir.File("t.csv");
    CellTable table;
    table.ChangeColCount(2);
    table.LayOutTokens(TokenList::FromStrings({"k", "v", "a", "1", "b", "2", "c", "3"}));
    SplitState state;
    const CodePage sjis = CodePage::ShiftJis();
    const SplitTarget target{input, sjis, PathStyle::Native(), NativeFileSystem()};
    {
        test::FileHolder holder(dir.File("t_b.csv"), test::FileHolder::kExclusive);
        ASSERT_TRUE(holder.Holding());
        try {
            WriteSplitPieces(table, 0, target, nullptr, state);
            FAIL() << "no error";
        } catch (const FileCreateError& e) {
            EXPECT_EQ(e.Message(), "ファイル " + dir.File("t_b.csv") + " を作成できません");
        }
    }
    EXPECT_EQ(test::ReadFile(dir.File("t_a.csv")), "a,1\r\n");
    EXPECT_EQ(test::ReadFile(dir.File("t_b.csv")), "") << "left as it was";
    EXPECT_FALSE(test::FileExists(dir.File("t_c.csv")));
}

// The split of a whole file replaces nothing unless every piece is
// complete: a piece whose existing file another program holds open fails
// the split with that piece's name, and every file stays as it was.
TEST(SplitFileAsShownOnDisk, AnExistingPieceHeldOpenByAnotherProgramReplacesNothing)
{
    test::ScratchDir dir;
    const std::string input = dir.File("t.csv");
    test::WriteFile(input, "k,v\r\na,1\r\nb,2\r\nc,3\r\n");
    test::WriteFile(dir.File("t_a.csv"), "old a\r\n");
    test::WriteFile(dir.File("t_c.csv"), "old c\r\n");
    CellTable table;
    table.ChangeColCount(2);
    OpenCsvFile(table, input, EncodingChoice::Detect(CodePage::ShiftJis()), NativeFileSystem(), OverCap::kPreview);
    FileSplitRequest request;
    request.inputPath = input;
    request.choice = EncodingChoice::Detect(CodePage::ShiftJis());
    request.columns = ShownColumns::Of(table);
    {
        test::FileHolder holder(dir.File("t_c.csv"), test::FileHolder::kWriterSharingRead);
        ASSERT_TRUE(holder.Holding());
        try {
            SplitFileAsShown(request, NativeFileSystem(), nullptr);
#ifdef _WIN32
            FAIL() << "no error";
#endif
        } catch (const FileCreateError& e) {
            EXPECT_EQ(e.Message(), "ファイル " + dir.File("t_c.csv") + " を作成できません");
        }
    }
#ifdef _WIN32
    EXPECT_EQ(test::ReadFile(dir.File("t_a.csv")), "old a\r\n");
    EXPECT_EQ(test::ReadFile(dir.File("t_c.csv")), "old c\r\n");
    EXPECT_EQ(test::ListFolder(dir.Path()).size(), 3u) << "no working file, no new piece";
#endif
    // Once it is let go, the split replaces both.
    SplitFileAsShown(request, NativeFileSystem(), nullptr);
    EXPECT_EQ(test::ReadFile(dir.File("t_a.csv")), "a,1\r\n");
    EXPECT_EQ(test::ReadFile(dir.File("t_b.csv")), "b,2\r\n");
    EXPECT_EQ(test::ReadFile(dir.File("t_c.csv")), "c,3\r\n");
    EXPECT_EQ(test::ListFolder(dir.Path()).size(), 4u);
}

}  // namespace
}  // namespace quorvel
