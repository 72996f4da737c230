#include "core/piece_registry.h"

#include <algorithm>
#include <memory>

#include "core/errors.h"

namespace quorvel {

namespace {

void Write(PieceFile& file, std::string_view bytes)
{
    if (!bytes.empty() && file.Write(bytes.data(), bytes.size()) < bytes.size()) throw FileWriteError();
}

}  // namespace

PieceRegistry::PieceRegistry(const std::string& inputPath, FileSystem& files)
    : files_(files), input_(files.IdentityOf(inputPath))
{
}

void PieceRegistry::SavePiece(const std::string& path, std::string_view bytes, size_t skipWhenAppending)
{
    // A name not taken yet is a new file, the common case: no identity to
    // ask for. Its identity is asked for only once a later name turns out
    // to be taken, and then once.
    if (std::unique_ptr<PieceFile> created = files_.CreateNewPiece(path)) {
        createdPaths_.push_back(path);
        Write(*created, bytes);
        return;
    }
    std::unique_ptr<PieceFile> file = files_.OpenPiece(path);
    if (!file) throw FileCreateError(path);
    const FileIdentity identity = file->Identity();
    // However the name came about, the input file is never replaced.
    if (input_ && identity == *input_) throw FileCreateError(path);
    LearnCreatedIdentities();
    const bool append = written_.count({identity.volume, identity.index}) != 0;
    if (!(append ? file->SeekToEnd() : file->Truncate())) throw FileCreateError(path);
    written_.insert({identity.volume, identity.index});
    Write(*file, bytes.substr(append ? std::min(skipWhenAppending, bytes.size()) : 0));
}

void PieceRegistry::LearnCreatedIdentities()
{
    for (const std::string& path : createdPaths_)
        if (const std::optional<FileIdentity> identity = files_.IdentityOf(path))
            written_.insert({identity->volume, identity->index});
    createdPaths_.clear();
}

}  // namespace quorvel
