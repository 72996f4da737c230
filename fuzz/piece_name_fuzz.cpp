// For any key and input path, the piece path stays in the input's folder,
// begins with the input's stem and "_", ends in ".csv" and is never the
// input path; its file name holds no separator.
#include "core/split/piece_name.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quorvel;
    if (size < 2) return 0;
    const CodePage codePage = fuzz::ChosenCodePage(data[0]);
    const size_t pathLength = std::min<size_t>(data[1], size - 2);
    const std::string_view path(reinterpret_cast<const char*>(data) + 2, pathLength);
    const std::string_view key(reinterpret_cast<const char*>(data) + 2 + pathLength, size - 2 - pathLength);
    if (path.find('\0') != std::string_view::npos || key.find('\0') != std::string_view::npos) return 0;

    for (const PathStyle style : {PathStyle::Windows(), PathStyle::Posix()}) {
        const std::string piece = PieceFileName(path, key, codePage, style);
        const std::string_view folder = FolderPart(path, codePage, style);
        const std::string stemAndBar = std::string(StemPart(path, codePage, style)) + "_";
        if (FolderPart(piece, codePage, style) != folder) fuzz::Fail("the piece leaves the input's folder");
        if (piece.compare(0, stemAndBar.size(), stemAndBar) != 0) fuzz::Fail("the piece does not begin with stem _");
        if (piece.size() < 4 || piece.compare(piece.size() - 4, 4, ".csv") != 0) fuzz::Fail("no .csv at the end");
        if (piece == path) fuzz::Fail("the piece is the input file");
        for (size_t i = folder.size(); i < piece.size(); ++i) {
            const char c = piece[i];
            if (style.IsSeparator(c) && !codePage.IsSecondByte(piece, i))
                fuzz::Fail("a separator in the piece's file name");
        }
    }
    return 0;
}
