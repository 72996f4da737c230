// A split whose pieces replace nothing until every piece is complete.
// Pieces are written to working files beside them and renamed into place
// at the end; a split that fails or stops leaves the folder as it was.
//
// It stands between a split and the file system: every piece the split
// opens is written to a working file, while the piece's own name holds
// the file that the name stands for (an existing file, or an empty one
// made for the name), so that the split decides which names are the same
// file as it always does, by the file system's own identity.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/split/split_target.h"
#include "core/interface/file_system.h"

namespace quorvel {

class StagedFileSystem final : public FileSystem {
public:
    // Stages the pieces of a split under `target` (its code page and path
    // style name the working files) on `base`.
    StagedFileSystem(FileSystem& base, const SplitTarget& target);
    // Discards what is not committed.
    ~StagedFileSystem() override;
    StagedFileSystem(const StagedFileSystem&) = delete;
    StagedFileSystem& operator=(const StagedFileSystem&) = delete;

    // Renames every working file to its piece's name, in the order the
    // pieces were first opened, the files they replace first set aside.
    // Raises FileCreateError naming the piece whose name could not be
    // freed or taken; every name then holds what it held before the split,
    // and the working files are removed.
    void Commit();
    // Removes the working files and the empty files made for new names.
    void Discard() noexcept;

    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;
    std::unique_ptr<PieceFile> OpenPiece(const std::string& path) override;
    std::unique_ptr<PieceFile> CreateNewPiece(const std::string& path) override;
    std::optional<FileIdentity> IdentityOf(const std::string& path) override { return base_.IdentityOf(path); }
    bool IsFolder(const std::string& path) override { return base_.IsFolder(path); }
    bool RemoveFile(const std::string& path) override;
    bool ReplaceFile(const std::string& from, const std::string& to) override { return base_.ReplaceFile(from, to); }

private:
    struct Staged {
        std::string path;         // the piece's name
        std::string workingPath;  // where its bytes are written
        FileIdentity identity;    // of the file the name stands for
        bool madeForName = false; // the name's file is an empty one made here
    };
    // The piece's staged entry for a name not staged yet, of the given file
    // (none: the name is free); `working` is its working file when made
    // here. nullptr when the name's file or the working file cannot be made.
    Staged* Stage(const std::string& path, std::optional<FileIdentity> identity, std::unique_ptr<PieceFile>& working);
    Staged* Find(const std::string& path);
    // Puts back the files that Commit set aside (by staged entry; empty:
    // none), under their names.
    void RestoreAside(const std::vector<std::string>& asideOf) noexcept;
    // The piece's working file, staged on its first open.
    std::unique_ptr<PieceFile> OpenStaged(const std::string& path, std::optional<FileIdentity> identity);

    FileSystem& base_;
    const SplitTarget& target_;
    uint64_t tag_;
    uint64_t count_ = 0;
    std::vector<std::unique_ptr<Staged>> staged_;
    std::map<std::pair<uint64_t, uint64_t>, Staged*> byIdentity_;
};

}  // namespace quorvel
