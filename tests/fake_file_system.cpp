#include "fake_file_system.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace quorvel::test {

class FakeInputFile final : public InputFile {
public:
    FakeInputFile(FakeFileSystem& fs, std::string content) : fs_(fs), content_(std::move(content)) {}
    bool QuerySize(uint64_t& size) override
    {
        if (fs_.failSize) return false;
        size = fs_.reportedSize.value_or(content_.size());
        return true;
    }
    bool Read(char* into, size_t count, size_t& got) override
    {
        if (++fs_.readCalls == fs_.failReadAtCall) return false;
        size_t n = std::min(count, content_.size() - position_);
        if (fs_.readStep) n = std::min(n, fs_.readStep);
        std::memcpy(into, content_.data() + position_, n);
        position_ += n;
        got = n;
        return true;
    }

    ByteBuffer MapWhole(uint64_t size) override
    {
        ++fs_.mapCalls;
        if (!fs_.mapFiles || size != content_.size()) return nullptr;
        // A copy of the file with the 0x00 after it, counted while held.
        struct View {
            std::string bytes;
            std::shared_ptr<int> live;
            View(std::string b, std::shared_ptr<int> l) : bytes(std::move(b)), live(std::move(l)) { ++*live; }
            ~View() { --*live; }
        };
        auto view = std::make_shared<View>(content_, fs_.liveViews);
        const char* bytes = view->bytes.c_str();
        return KeptBuffer(bytes, std::move(view));
    }

private:
    FakeFileSystem& fs_;
    std::string content_;
    size_t position_ = 0;
};

class FakePieceFile final : public PieceFile {
public:
    FakePieceFile(FakeFileSystem& fs, std::string canonical, bool shortWrite)
        : fs_(fs), canonical_(std::move(canonical)), shortWrite_(shortWrite)
    {
        fs_.mostOpenFiles = std::max(fs_.mostOpenFiles, ++fs_.openFiles);
    }
    ~FakePieceFile() override { --fs_.openFiles; }
    FileIdentity Identity() const override { return {7, fs_.IdentityIndex(canonical_)}; }
    bool Truncate() override
    {
        fs_.files[canonical_].clear();
        position_ = 0;
        return true;
    }
    bool SeekToEnd() override
    {
        position_ = fs_.files[canonical_].size();
        return true;
    }
    size_t Write(const char* bytes, size_t count) override
    {
        ++fs_.writeCalls;
        const size_t taken = shortWrite_ ? std::min(count, fs_.shortWriteKeeps) : count;
        std::string& content = fs_.files[canonical_];
        content.resize(std::max(content.size(), position_ + taken));
        std::memcpy(&content[position_], bytes, taken);
        position_ += taken;
        return taken;
    }

private:
    FakeFileSystem& fs_;
    std::string canonical_;
    bool shortWrite_;
    size_t position_ = 0;
};

std::string FakeFileSystem::Canonical(const std::string& path) const
{
    if (!caseInsensitive) return path;
    std::string folded = path;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

const std::string* FakeFileSystem::Find(const std::string& path) const
{
    auto it = files.find(Canonical(path));
    return it == files.end() ? nullptr : &it->second;
}

uint64_t FakeFileSystem::IdentityIndex(const std::string& canonical)
{
    auto it = identities_.find(canonical);
    if (it != identities_.end()) return it->second;
    const uint64_t index = identities_.size() + 1;
    identities_[canonical] = index;
    return index;
}

std::unique_ptr<InputFile> FakeFileSystem::OpenForReading(const std::string& path)
{
    const std::string* content = Find(path);
    if (failOpen || !content) return nullptr;
    return std::make_unique<FakeInputFile>(*this, *content);
}

std::unique_ptr<PieceFile> FakeFileSystem::OpenPiece(const std::string& path)
{
    ++openPieceCalls;
    if (openPieceCalls == failCreateAtCall) return nullptr;
    created.push_back(path);
    const std::string canonical = Canonical(path);
    files[canonical];  // created if missing, content kept
    return std::make_unique<FakePieceFile>(*this, canonical, openPieceCalls == shortWriteAtCall);
}

std::unique_ptr<PieceFile> FakeFileSystem::CreateNewPiece(const std::string& path)
{
    if (!createNew) return nullptr;
    ++createNewCalls;
    if (Find(path) || createNewCalls == refuseCreateNewAtCall) return nullptr;
    created.push_back(path);
    const std::string canonical = Canonical(path);
    files[canonical];
    return std::make_unique<FakePieceFile>(*this, canonical, false);
}

std::optional<FileIdentity> FakeFileSystem::IdentityOf(const std::string& path)
{
    if (!Find(path)) return std::nullopt;
    return FileIdentity{7, IdentityIndex(Canonical(path))};
}

bool FakeFileSystem::RemoveFile(const std::string& path)
{
    if (++removeCalls == failRemoveAtCall) return false;
    return files.erase(Canonical(path)) != 0;
}

bool FakeFileSystem::ReplaceFile(const std::string& from, const std::string& to)
{
    if (++replaceCalls == failReplaceAtCall) return false;
    const auto found = files.find(Canonical(from));
    if (found == files.end()) return false;
    std::string content = std::move(found->second);
    files.erase(found);
    files[Canonical(to)] = std::move(content);
    // The renamed file keeps its identity under its new name.
    const auto identity = identities_.find(Canonical(from));
    if (identity != identities_.end()) {
        identities_[Canonical(to)] = identity->second;
        identities_.erase(identity);
    }
    return true;
}

}  // namespace quorvel::test
