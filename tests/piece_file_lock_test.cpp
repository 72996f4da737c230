// A piece file that another program holds open without sharing cannot be
// written: the pieces before it stay, none after it is written.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/split_writer.h"
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

}  // namespace
}  // namespace quorvel
