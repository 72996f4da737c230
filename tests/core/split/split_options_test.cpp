// Split-save beyond the window's command: a header line in every piece,
// pieces into another folder, and the plan of a split without writing.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <string>
#include <vector>

#include "core/split/split_writer.h"
#include "fake_file_system.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Bytes;

const CodePage kSjis = CodePage::ShiftJis();

void Load(CellTable& table, int32_t columns, const std::vector<std::string>& tokens)
{
    table.ChangeColCount(columns);
    table.LayOutTokens(TokenList::FromStrings(tokens));
}

std::vector<std::string> Split(const CellTable& table, int32_t key, const SplitTarget& target, bool header)
{
    SplitState state;
    SplitOptions options;
    options.headerLine = header;
    return WriteSplitPieces(table, key, target, nullptr, state, options);
}

TEST(SplitHeaderLine, EveryPieceBeginsWithTheHeaderRowInTheLineFormat)
{
    CellTable table;
    Load(table, 2, {"k", "a,b", "x", "1", "y", "2", "x", "3"});
    test::FakeFileSystem fs;
    const SplitTarget target{"C:\\d\\t.csv", kSjis, PathStyle::Windows(), fs};
    Split(table, 0, target, true);
    EXPECT_EQ(*fs.Find("C:\\d\\t_x.csv"), "k,\"a,b\"\r\nx,1\r\nx,3\r\n");
    EXPECT_EQ(*fs.Find("C:\\d\\t_y.csv"), "k,\"a,b\"\r\ny,2\r\n");
    // Without the option, no header line: the default stays.
    test::FakeFileSystem plain;
    const SplitTarget plainTarget{"C:\\d\\t.csv", kSjis, PathStyle::Windows(), plain};
    Split(table, 0, plainTarget, false);
    EXPECT_EQ(*plain.Find("C:\\d\\t_x.csv"), "x,1\r\nx,3\r\n");
}

TEST(SplitHeaderLine, APieceSharingAFileAddsNoSecondHeader)
{
    CellTable table;
    Load(table, 2, {"k", "v", "A", "1", "a", "2"});
    test::FakeFileSystem fs;
    fs.caseInsensitive = true;
    const SplitTarget target{"C:\\d\\t.csv", kSjis, PathStyle::Windows(), fs};
    Split(table, 0, target, true);
    EXPECT_EQ(*fs.Find("C:\\d\\t_A.csv"), "k,v\r\nA,1\r\na,2\r\n");
}

TEST(SplitOutputFolder, PiecesKeepTheirNamesInTheOtherFolder)
{
    const struct {
        const char* input;
        const char* folder;
        PathStyle style;
        const char* piece;
    } cases[] = {
        {"C:\\d\\t.csv", "E:\\out", PathStyle::Windows(), "E:\\out\\t_k.csv"},
        {"C:\\d\\t.csv", "E:\\out\\", PathStyle::Windows(), "E:\\out\\t_k.csv"},
        {"C:\\d\\t.csv", "E:", PathStyle::Windows(), "E:t_k.csv"},
        {"t.csv", "E:\\[95][5C]", PathStyle::Windows(), "E:\\[95][5C]\\t_k.csv"},  // 表 ends in 0x5C: no separator
        {"/d/t.csv", "/out", PathStyle::Posix(), "/out/t_k.csv"},
        {"/d/t.csv", "/out/", PathStyle::Posix(), "/out/t_k.csv"},
        {"t.csv", "", PathStyle::Posix(), "t_k.csv"},
    };
    for (const auto& c : cases) {
        test::FakeFileSystem fs;
        const SplitTarget target{Bytes(c.input), kSjis, c.style, fs, Bytes(c.folder)};
        EXPECT_EQ(test::Show(PiecePath(target, "k")), test::Show(Bytes(c.piece))) << c.input << " into " << c.folder;
    }
}

TEST(PlanSplitPieces, GivesTheRowsAndBytesThatTheSplitWritesAndWritesNothing)
{
    CellTable table;
    Load(table, 3, {"h1", "h2", "h3", "a", "x y", "1", "b", "\"q\"", "2", "a", "", "3"});
    for (const bool header : {false, true}) {
        test::FakeFileSystem planned;
        const SplitTarget planTarget{"/d/t.csv", kSjis, PathStyle::Posix(), planned};
        SplitOptions options;
        options.headerLine = header;
        const std::vector<PiecePlan> plans = PlanSplitPieces(table, 0, planTarget, options);
        EXPECT_EQ(planned.openPieceCalls, 0) << "a plan writes nothing";
        EXPECT_TRUE(planned.files.empty());

        test::FakeFileSystem fs;
        const SplitTarget target{"/d/t.csv", kSjis, PathStyle::Posix(), fs};
        const std::vector<std::string> written = Split(table, 0, target, header);
        ASSERT_EQ(plans.size(), written.size());
        for (size_t i = 0; i < plans.size(); ++i) {
            EXPECT_EQ(plans[i].path, written[i]) << "the order of writing";
            EXPECT_EQ(plans[i].bytes, fs.Find(written[i])->size()) << written[i];
            EXPECT_EQ(plans[i].mark, PiecePlan::Mark::kNew);
        }
        EXPECT_EQ(plans[0].rows, 2u);
        EXPECT_EQ(plans[1].rows, 1u);
    }
}

TEST(PlanSplitPieces, MarksWhatWouldBeReplacedSharedOrRefused)
{
    CellTable table;
    Load(table, 2, {"k", "v", "A", "1", "a", "2", std::string(300, 'z'), "4", "old", "5", "a", "6"});
    test::FakeFileSystem fs;
    fs.caseInsensitive = true;
    fs.At("C:\\d\\t_old.csv") = "an earlier piece";
    const SplitTarget target{"C:\\d\\t.csv", kSjis, PathStyle::Windows(), fs};
    const std::vector<PiecePlan> plans = PlanSplitPieces(table, 0, target);
    ASSERT_EQ(plans.size(), 4u) << "the second a joins the first";
    EXPECT_EQ(plans[0].mark, PiecePlan::Mark::kNew);
    EXPECT_EQ(plans[1].path, "C:\\d\\t_a.csv");
    EXPECT_EQ(plans[1].mark, PiecePlan::Mark::kShares) << "t_A.csv and t_a.csv are one file here";
    EXPECT_EQ(plans[1].note, "C:\\d\\t_A.csv");
    EXPECT_EQ(plans[2].mark, PiecePlan::Mark::kCannot) << "longer than 259 bytes";
    EXPECT_EQ(plans[3].mark, PiecePlan::Mark::kReplaces);
    EXPECT_EQ(fs.openPieceCalls, 0);
    EXPECT_EQ(*fs.Find("C:\\d\\t_old.csv"), "an earlier piece");
}

#ifndef _WIN32
TEST(PlanSplitPieces, APieceThatIsTheInputFileCannotBeCreated)
{
    // A piece name that is another name of the input (a hard link).
    test::ScratchDir dir;
    const std::string input = dir.File("in.csv");
    test::WriteFile(input, "k\r\nx\r\n");
    ASSERT_EQ(::link(input.c_str(), dir.File("in_x.csv").c_str()), 0);
    CellTable table;
    Load(table, 1, {"k", "x"});
    const SplitTarget target{input, kSjis, PathStyle::Posix(), NativeFileSystem()};
    const std::vector<PiecePlan> plans = PlanSplitPieces(table, 0, target);
    ASSERT_EQ(plans.size(), 1u);
    EXPECT_EQ(plans[0].mark, PiecePlan::Mark::kCannot);
    EXPECT_EQ(plans[0].note, "the input file itself");
}
#endif

}  // namespace
}  // namespace quorvel
