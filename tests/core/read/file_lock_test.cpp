// A file that another program holds open for writing cannot be read.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/read/token_reader.h"
#include "test_support.h"

namespace quorvel {
namespace {

TEST(ReadCsvTokens, FileHeldOpenForWritingRaisesFileOpenError)
{
    test::ScratchDir dir;
    const std::string path = dir.File("held.csv");
    test::WriteFile(path, "a,b\r\n");
    {
        test::FileHolder writer(path, test::FileHolder::kWriterSharingRead);
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
