// A piece file that another program holds open without sharing cannot be
// written: the pieces before it stay, none after it is written.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/split_writer.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace quorvel {
namespace {

class ExclusiveHolder {
public:
    explicit ExclusiveHolder(const std::string& path)
    {
#ifdef _WIN32
        handle_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        ok_ = handle_ != INVALID_HANDLE_VALUE;
#else
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT, 0644);
        ok_ = fd_ >= 0 && ::flock(fd_, LOCK_EX) == 0;
#endif
    }
    ~ExclusiveHolder()
    {
#ifdef _WIN32
        if (ok_) CloseHandle(handle_);
#else
        if (fd_ >= 0) ::close(fd_);
#endif
    }
    bool Holding() const { return ok_; }

private:
    bool ok_ = false;
#ifdef _WIN32
    HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
    int fd_ = -1;
#endif
};

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
        ExclusiveHolder holder(dir.File("t_b.csv"));
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
