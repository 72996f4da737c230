// A file that another program holds open for writing cannot be read.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/token_reader.h"
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

// Holds the file open for writing the way an editor or a spreadsheet does.
class WriterHoldingFile {
public:
    explicit WriterHoldingFile(const std::string& path)
    {
#ifdef _WIN32
        handle_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        ok_ = handle_ != INVALID_HANDLE_VALUE;
#else
        fd_ = ::open(path.c_str(), O_WRONLY);
        ok_ = fd_ >= 0 && ::flock(fd_, LOCK_EX) == 0;
#endif
    }
    ~WriterHoldingFile()
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

TEST(ReadCsvTokens, FileHeldOpenForWritingRaisesFileOpenError)
{
    test::ScratchDir dir;
    const std::string path = dir.File("held.csv");
    test::WriteFile(path, "a,b\r\n");
    {
        WriterHoldingFile writer(path);
        ASSERT_TRUE(writer.Holding());
        try {
            ReadCsvTokens(path, CodePage::ShiftJis(), NativeFileSystem());
            FAIL() << "read a file held open for writing";
        } catch (const FileOpenError& e) {
            EXPECT_EQ(e.Message(), "ファイル " + path + " は開けません");
        }
    }
    // Once the writer lets go, the file reads.
    EXPECT_EQ(ReadCsvTokens(path, CodePage::ShiftJis(), NativeFileSystem()).size(), 2u);
}

}  // namespace
}  // namespace quorvel
