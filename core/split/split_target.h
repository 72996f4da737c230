// Where a split's pieces go and what they begin with: shared by the
// in-memory split, the streaming split and the dry run that plans either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text/codepage.h"
#include "core/text/path_parts.h"
#include "core/interface/file_system.h"

namespace quorvel {

struct SplitTarget {
    std::string inputPath;  // P: gives the folder and the base name
    const CodePage& codePage;
    PathStyle pathStyle;
    FileSystem& files;
    // Where the pieces go instead of beside the input, with the same names;
    // empty: beside the input.
    std::string outputFolder = {};
    // The paths are UTF-8 and a key names its piece by its characters (see
    // Utf8PieceFileName); otherwise paths are in `codePage` and the key's
    // bytes stand in the name as they are.
    bool namesInUtf8 = false;
};

struct SplitOptions {
    // About how many bytes of pieces are built before they are written:
    // what a split needs beyond the table.
    size_t batchBytes = size_t{32} << 20;
    // Each piece begins with the header row (row 0), in the line format of
    // the data rows; a piece appended to another one's file adds none.
    bool headerLine = false;
    // Each piece begins with the UTF-8 byte order mark, before the header
    // row, as the input did.
    bool byteOrderMark = false;
};

// What a split would write, piece by piece in the order it would write
// them, without writing anything.
struct PiecePlan {
    enum class Mark { kNew, kReplaces, kShares, kCannot };
    std::string path;
    size_t rows = 0;
    uint64_t bytes = 0;
    Mark mark = Mark::kNew;
    std::string note;  // kShares: the earlier piece's path; kCannot: why
};

// The full path of the piece for `key` under the target.
std::string PiecePath(const SplitTarget& target, std::string_view key);

// The path of chunk `number` (from 1) under the target: the stem of P,
// "_", the number and ".csv", beside P or in the output folder.
std::string ChunkPath(const SplitTarget& target, uint64_t number);

// A name for a split's working file beside `beside` (on its volume, so it
// can be renamed into place): "~quorvel-TAG-N.tmp", which no piece has.
// `tag` comes from NewWorkingFileTag, one per split.
std::string WorkingFilePath(const std::string& beside, const SplitTarget& target, uint64_t tag, uint64_t number);
uint64_t NewWorkingFileTag();

// Why the file system would refuse a piece's path, or empty.
std::string RefusedName(const std::string& path, const SplitTarget& target);

}  // namespace quorvel
