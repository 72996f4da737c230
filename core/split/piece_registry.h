// What becomes of each piece's path, decided in one place for the split
// and for the dry run that plans it, and the opening of piece files as
// decided.
//
// A split writes its pieces in an order; each piece's path is decided in
// that order: a path the file system would refuse, or that is the input
// file, cannot be written; a path that names the same file as an earlier
// piece (list_A.csv and list_a.csv where case is ignored) shares that
// piece's file and is appended to it; a path naming an existing file
// replaces it; any other path is a new file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/split/split_target.h"
#include "core/interface/file_system.h"

namespace quorvel {

struct PieceDecision {
    PiecePlan::Mark mark = PiecePlan::Mark::kNew;
    size_t sharesWith = 0;  // kShares: the earlier piece's number
    std::string note;       // kCannot: why
};

class PieceDecider {
public:
    explicit PieceDecider(const SplitTarget& target);

    // Decides the next piece (numbered from 0 in the order of the calls).
    // The split creates each piece it decides before it asks for the next;
    // the dry run creates none, and takes names that differ only in ASCII
    // case for one file on Windows, as the split finds them to be where
    // the folder ignores case (Windows' own); so both decide alike.
    PieceDecision Decide(const std::string& path);

    // The earlier piece whose file this is, if any: files this split has
    // created are asked for their identity only when needed, and once.
    std::optional<size_t> PieceOfIdentity(const FileIdentity& identity);

    bool IsInput(const FileIdentity& identity) const { return input_ && identity == *input_; }
    size_t Count() const { return pieces_.size(); }

private:
    struct Piece {
        std::string path;
    };
    std::string FoldedName(const std::string& path) const;

    const SplitTarget& target_;
    std::optional<FileIdentity> input_;
    std::vector<Piece> pieces_;
    std::vector<size_t> unprobed_;  // created new, identity not asked for yet
    std::map<std::pair<uint64_t, uint64_t>, size_t> pieceOfIdentity_;
    std::unordered_map<std::string, size_t> pieceOfFoldedName_;
};

// Marks each plan, in their order, as a split would meet them.
void MarkPlans(std::vector<PiecePlan>& plans, const SplitTarget& target);

// Opens piece files as the decider decides and writes them.
class PieceRegistry {
public:
    explicit PieceRegistry(const SplitTarget& target);

    // Opens the next piece for its first bytes: created, or truncated when
    // it replaces a file, or at its end when it shares an earlier piece's
    // file (`appending` is then set). Raises FileCreateError.
    std::unique_ptr<PieceFile> OpenFirst(const std::string& path, bool& appending);

    // The same for a piece already decided by Decider().
    std::unique_ptr<PieceFile> OpenAsDecided(const std::string& path, const PieceDecision& decision, bool& appending);

    // Writes `bytes` as the next piece in one request; the first
    // `skipWhenAppending` bytes (the header) are left out when the file is
    // an earlier piece's. Raises FileCreateError or FileWriteError.
    void SavePiece(const std::string& path, std::string_view bytes, size_t skipWhenAppending = 0);

    // Opens a piece opened before, at its end, for more of its lines.
    // Raises FileCreateError.
    std::unique_ptr<PieceFile> Reopen(const std::string& path);

    PieceDecider& Decider() { return decider_; }

private:
    FileSystem& files_;
    PieceDecider decider_;
};

// Writes all of `bytes`; raises FileWriteError when the file takes fewer.
void WriteAll(PieceFile& file, std::string_view bytes);

}  // namespace quorvel
