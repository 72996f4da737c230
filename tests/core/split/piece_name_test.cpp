// Piece names: the input's folder and stem, "_", the key made safe for a
// file name, ".csv".
#include <gtest/gtest.h>

#include "core/split/piece_name.h"
#include "test_support.h"

namespace quorvel {
namespace {

using test::Bytes;

struct NameCase {
    const char* input;
    const char* key;
    const char* piece;
};

TEST(PieceFileName, WindowsPaths)
{
    const NameCase cases[] = {
        {"C:\\data\\list.csv", "東京", "C:\\data\\list_東京.csv"},
        {"C:\\data\\list.csv", "", "C:\\data\\list_.csv"},
        {"C:\\data\\list.csv", "a.b", "C:\\data\\list_a.b.csv"},
        {"C:\\data\\list.csv", "表", "C:\\data\\list_表.csv"},
        {"C:\\data\\list.csv", "x\\y", "C:\\data\\list_x_y.csv"},
        {"C:\\data\\list.csv", "12:30", "C:\\data\\list_12_30.csv"},
        {"C:\\data\\list.csv", "abc\\", "C:\\data\\list_abc_.csv"},
        {"C:\\data\\list.csv", "a/b", "C:\\data\\list_a_b.csv"},
        {"C:\\data\\list", "A", "C:\\data\\list_A.csv"},
        {"C:\\my.data\\list", "A", "C:\\my.data\\list_A.csv"},
        {"C:\\data\\list.old.csv", "A", "C:\\data\\list.old_A.csv"},
        {"C:\\data\\list.", "A", "C:\\data\\list_A.csv"},
        {"C:\\data\\.csv", "A", "C:\\data\\_A.csv"},
        {"C:\\表\\list.csv", "A", "C:\\表\\list_A.csv"},
        {"C:\\表.d\\list", "A", "C:\\表.d\\list_A.csv"},
        {"C:list.csv", "A", "C:list_A.csv"},
        {"list.csv", "A", "list_A.csv"},
        {"C:\\data\\list.csv", "\\list", "C:\\data\\list__list.csv"},
        {"C:\\data\\list.csv", "/../../x", "C:\\data\\list__.._.._x.csv"},
        {"C:\\data\\list.csv", "*?\"<>|", "C:\\data\\list_______.csv"},
        {"C:\\data\\list.csv", "a[TAB]b[1F]", "C:\\data\\list_a_b_.csv"},
        {"C:\\data\\list.csv", "[81]", "C:\\data\\list__.csv"},
        {"C:\\data\\list.csv", "ソ", "C:\\data\\list_ソ.csv"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(test::Show(PieceFileName(Bytes(c.input), Bytes(c.key), CodePage::ShiftJis(), PathStyle::Windows())),
                  test::Show(Bytes(c.piece)))
            << c.input << " + " << c.key;
    }
}

TEST(PieceFileName, PosixPaths)
{
    const NameCase cases[] = {
        {"/data/list.csv", "東京", "/data/list_東京.csv"},
        {"/data/list.csv", "a/b", "/data/list_a_b.csv"},
        {"/data/list.csv", "x\\y", "/data/list_x_y.csv"},
        {"/my.data/list", "A", "/my.data/list_A.csv"},
        {"/data/list.old.csv", "A", "/data/list.old_A.csv"},
        {"/data/.csv", "A", "/data/_A.csv"},
        {"list.csv", "", "list_.csv"},
        {"/表/list.csv", "..", "/表/list_...csv"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(test::Show(PieceFileName(c.input, c.key, CodePage::ShiftJis(), PathStyle::Posix())),
                  test::Show(c.piece))
            << c.input << " + " << c.key;
    }
}

TEST(PieceFileName, SingleByteCodePageHasNoSecondBytes)
{
    // Under 1252 the 0x5C of 0x95 0x5C is a separator in the folder and a
    // forbidden byte in the key.
    EXPECT_EQ(test::Show(PieceFileName(Bytes("C:\\a[95]\\list.csv"), Bytes("[95][5C]"), CodePage(1252),
                                       PathStyle::Windows())),
              test::Show(Bytes("C:\\a[95]\\list_[95]_.csv")));
}

TEST(PieceFileName, FolderAndStem)
{
    const CodePage sjis = CodePage::ShiftJis();
    EXPECT_EQ(FolderPart("C:\\data\\list.csv", sjis, PathStyle::Windows()), "C:\\data\\");
    EXPECT_EQ(FolderPart("list.csv", sjis, PathStyle::Windows()), "");
    EXPECT_EQ(FolderPart("C:\\表", sjis, PathStyle::Windows()), "C:\\");
    EXPECT_EQ(StemPart("C:\\my.data\\list", sjis, PathStyle::Windows()), "C:\\my.data\\list");
    EXPECT_EQ(StemPart("/a/b.c.d", sjis, PathStyle::Posix()), "/a/b.c");
}

}  // namespace
}  // namespace quorvel
