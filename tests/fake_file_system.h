// A file layer in memory whose reads and writes can be made to fail at a
// chosen call: the stand-in for a full disk, a vanished file or a folder
// that refuses new files.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/interface/file_system.h"

namespace quorvel::test {

class FakeFileSystem : public FileSystem {
public:
    // Files by path; a name maps to its file through `Canonical`.
    std::map<std::string, std::string> files;

    // Reading.
    bool failOpen = false;
    bool failSize = false;
    int failReadAtCall = 0;          // counted over all reads, 1-based; 0 never
    int readCalls = 0;
    std::optional<uint64_t> reportedSize;  // a size the file no longer has
    size_t readStep = 0;             // bytes per read call; 0 all at once
    bool mapFiles = false;           // MapWhole gives a view of the file
    int mapCalls = 0;
    // Views given and still held by their buffers.
    std::shared_ptr<int> liveViews = std::make_shared<int>(0);

    // Writing. Counted over OpenPiece calls, 1-based; 0 never.
    int failCreateAtCall = 0;
    int shortWriteAtCall = 0;
    size_t shortWriteKeeps = 3;      // bytes a short write still takes
    bool caseInsensitive = false;    // list_A.csv and list_a.csv are one file
    bool createNew = false;          // CreateNewPiece creates names not taken
    int refuseCreateNewAtCall = 0;   // counted over CreateNewPiece calls, 1-based: that one creates nothing

    // What happened, for the tests to check.
    int openPieceCalls = 0;
    int createNewCalls = 0;
    int writeCalls = 0;
    int openFiles = 0;      // piece files open now
    int mostOpenFiles = 0;  // the most open at once
    std::vector<std::string> created;  // paths opened as pieces, in order

    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override;
    std::unique_ptr<PieceFile> OpenPiece(const std::string& path) override;
    std::unique_ptr<PieceFile> CreateNewPiece(const std::string& path) override;
    std::optional<FileIdentity> IdentityOf(const std::string& path) override;
    bool IsFolder(const std::string& path) override { return folders.count(path) != 0; }
    std::set<std::string> folders;  // paths that are folders
    bool RemoveFile(const std::string& path) override;
    bool ReplaceFile(const std::string& from, const std::string& to) override;
    int failRemoveAtCall = 0;   // counted over RemoveFile calls, 1-based; 0 never
    int failReplaceAtCall = 0;  // counted over ReplaceFile calls, 1-based; 0 never
    int removeCalls = 0;
    int replaceCalls = 0;

    std::string Canonical(const std::string& path) const;
    const std::string* Find(const std::string& path) const;
    std::string& At(const std::string& path) { return files[Canonical(path)]; }

private:
    friend class FakeInputFile;
    friend class FakePieceFile;
    std::map<std::string, uint64_t> identities_;
    uint64_t IdentityIndex(const std::string& canonical);
};

}  // namespace quorvel::test
