#include "core/split/staged_file_system.h"

#include <cstddef>

#include "core/errors.h"

namespace quorvel {

namespace {

// A piece's file as the split sees it: the name's file by identity, the
// working file for its bytes.
class StagedPiece final : public PieceFile {
public:
    StagedPiece(std::unique_ptr<PieceFile> working, const FileIdentity& identity)
        : working_(std::move(working)), identity_(identity)
    {
    }
    FileIdentity Identity() const override { return identity_; }
    bool Truncate() override { return working_->Truncate(); }
    bool SeekToEnd() override { return working_->SeekToEnd(); }
    size_t Write(const char* bytes, size_t count) override { return working_->Write(bytes, count); }

private:
    std::unique_ptr<PieceFile> working_;
    FileIdentity identity_;
};

std::pair<uint64_t, uint64_t> KeyOf(const FileIdentity& identity) { return {identity.volume, identity.index}; }

}  // namespace

StagedFileSystem::StagedFileSystem(FileSystem& base, const SplitTarget& target)
    : base_(base), target_(target), tag_(NewWorkingFileTag())
{
}

StagedFileSystem::~StagedFileSystem() { Discard(); }

StagedFileSystem::Staged* StagedFileSystem::Find(const std::string& path)
{
    if (staged_.empty()) return nullptr;
    const std::optional<FileIdentity> identity = base_.IdentityOf(path);
    if (!identity) return nullptr;
    const auto found = byIdentity_.find(KeyOf(*identity));
    return found == byIdentity_.end() ? nullptr : found->second;
}

StagedFileSystem::Staged* StagedFileSystem::Stage(const std::string& path, std::optional<FileIdentity> identity,
                                                  std::unique_ptr<PieceFile>& working)
{
    auto staged = std::make_unique<Staged>();
    staged->path = path;
    if (!identity) {
        // An empty file holds the new name, so that the file system says
        // which later names are the same file, and nobody takes it meanwhile.
        if (base_.CreateNewPiece(path)) {
            staged->madeForName = true;
            identity = base_.IdentityOf(path);
        } else {
            // A layer without CreateNewPiece, or a name taken meanwhile.
            const bool existed = base_.IdentityOf(path).has_value();
            const std::unique_ptr<PieceFile> made = base_.OpenPiece(path);
            if (!made) return nullptr;
            identity = made->Identity();
            staged->madeForName = !existed;
        }
        if (!identity) {
            if (staged->madeForName) base_.RemoveFile(path);
            return nullptr;
        }
    }
    staged->identity = *identity;
    const auto found = byIdentity_.find(KeyOf(*identity));
    if (found != byIdentity_.end()) return found->second;
    // An existing file that could not be written now (another program
    // holds it open, it is read-only) fails its piece here, as the
    // table's split would, before the split does all its work.
    if (!staged->madeForName && !base_.OpenPiece(path)) return nullptr;

    staged->workingPath = WorkingFilePath(path, target_, tag_, ++count_);
    working = base_.CreateNewPiece(staged->workingPath);
    if (!working) working = base_.OpenPiece(staged->workingPath);
    if (!working || !working->Truncate()) {
        working.reset();
        base_.RemoveFile(staged->workingPath);
        if (staged->madeForName) base_.RemoveFile(path);
        return nullptr;
    }
    byIdentity_[KeyOf(*identity)] = staged.get();
    staged_.push_back(std::move(staged));
    return staged_.back().get();
}

std::unique_ptr<PieceFile> StagedFileSystem::OpenStaged(const std::string& path, std::optional<FileIdentity> identity)
{
    if (identity) {
        const auto found = byIdentity_.find(KeyOf(*identity));
        if (found != byIdentity_.end()) {
            std::unique_ptr<PieceFile> working = base_.OpenPiece(found->second->workingPath);
            if (!working) return nullptr;
            return std::make_unique<StagedPiece>(std::move(working), found->second->identity);
        }
    }
    std::unique_ptr<PieceFile> working;
    const Staged* staged = Stage(path, identity, working);
    if (!staged) return nullptr;
    // The name may be an earlier piece's after all (made meanwhile).
    if (!working) working = base_.OpenPiece(staged->workingPath);
    if (!working) return nullptr;
    return std::make_unique<StagedPiece>(std::move(working), staged->identity);
}

std::unique_ptr<PieceFile> StagedFileSystem::OpenPiece(const std::string& path)
{
    return OpenStaged(path, base_.IdentityOf(path));
}

std::unique_ptr<PieceFile> StagedFileSystem::CreateNewPiece(const std::string& path)
{
    if (base_.IdentityOf(path)) return nullptr;  // the name is taken
    return OpenStaged(path, std::nullopt);
}

std::unique_ptr<InputFile> StagedFileSystem::OpenForReading(const std::string& path)
{
    const Staged* staged = Find(path);
    return base_.OpenForReading(staged ? staged->workingPath : path);
}

bool StagedFileSystem::RemoveFile(const std::string& path)
{
    Staged* staged = Find(path);
    if (!staged) return base_.RemoveFile(path);
    bool removed = base_.RemoveFile(staged->workingPath);
    if (staged->madeForName) removed = base_.RemoveFile(staged->path) && removed;
    byIdentity_.erase(KeyOf(staged->identity));
    for (auto it = staged_.begin(); it != staged_.end(); ++it)
        if (it->get() == staged) {
            staged_.erase(it);
            break;
        }
    return removed;
}

void StagedFileSystem::Commit()
{
    // Three steps, so that a rename refused at any point (a file that
    // another program holds open, a read-only one) leaves every name with
    // what it held: the files the pieces replace are first set aside under
    // working names, then the pieces take their names, and only then are
    // the old files removed.
    std::vector<std::string> asideOf(staged_.size());
    for (size_t i = 0; i < staged_.size(); ++i) {
        Staged& staged = *staged_[i];
        if (staged.madeForName) continue;
        std::string aside = WorkingFilePath(staged.path, target_, tag_, ++count_);
        if (!base_.ReplaceFile(staged.path, aside)) {
            const std::string failed = staged.path;
            RestoreAside(asideOf);
            Discard();
            throw FileCreateError(failed);
        }
        asideOf[i] = std::move(aside);
    }
    for (size_t i = 0; i < staged_.size(); ++i) {
        Staged& staged = *staged_[i];
        if (base_.ReplaceFile(staged.workingPath, staged.path)) continue;
        const std::string failed = staged.path;
        // The pieces placed so far go back to their working files.
        for (size_t j = 0; j < i; ++j) base_.ReplaceFile(staged_[j]->path, staged_[j]->workingPath);
        RestoreAside(asideOf);
        Discard();
        throw FileCreateError(failed);
    }
    for (const std::string& aside : asideOf)
        if (!aside.empty()) base_.RemoveFile(aside);
    staged_.clear();
    byIdentity_.clear();
}

void StagedFileSystem::RestoreAside(const std::vector<std::string>& asideOf) noexcept
{
    // Each such name is free again: its piece went back or never came.
    // A file that cannot go back stays under its working name, not lost.
    for (size_t i = 0; i < asideOf.size(); ++i)
        if (!asideOf[i].empty()) base_.ReplaceFile(asideOf[i], staged_[i]->path);
}

void StagedFileSystem::Discard() noexcept
{
    for (const std::unique_ptr<Staged>& staged : staged_) {
        base_.RemoveFile(staged->workingPath);
        if (staged->madeForName) base_.RemoveFile(staged->path);
    }
    staged_.clear();
    byIdentity_.clear();
}

}  // namespace quorvel
