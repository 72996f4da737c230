// The pieces one split has written, by file identity, so that a later key
// whose name lands on one of them (list_A.csv and list_a.csv on a file
// system that ignores case) appends to it instead of replacing it, and so
// that the input file is never written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/interface/file_system.h"

namespace quorvel {

class PieceRegistry {
public:
    PieceRegistry(const std::string& inputPath, FileSystem& files);

    // Creates the piece, or truncates a file of that name that this split
    // has not written, and writes `bytes` in one request; the first
    // `skipWhenAppending` bytes (a header line) are left out when the file
    // is one this split wrote already. Raises FileCreateError or
    // FileWriteError.
    void SavePiece(const std::string& path, std::string_view bytes, size_t skipWhenAppending = 0);

private:
    void LearnCreatedIdentities();

    FileSystem& files_;
    std::optional<FileIdentity> input_;
    std::set<std::pair<uint64_t, uint64_t>> written_;
    std::vector<std::string> createdPaths_;  // written, identity not asked for yet
};

}  // namespace quorvel
