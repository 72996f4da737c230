// File layer on POSIX: open(2), fstat(2), read(2), write(2).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "file_system.h"

namespace quorvel {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

private:
    int fd_;
};

FileIdentity IdentityOfStat(const struct stat& st)
{
    return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

class PosixInputFile final : public InputFile {
public:
    explicit PosixInputFile(int fd) : fd_(fd) {}
    bool QuerySize(uint64_t& size) override
    {
        struct stat st;
        if (::fstat(fd_.Get(), &st) != 0) return false;
        size = static_cast<uint64_t>(st.st_size);
        return true;
    }
    bool Read(char* into, size_t count, size_t& got) override
    {
        for (;;) {
            const ssize_t n = ::read(fd_.Get(), into, count);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return false;
            got = static_cast<size_t>(n);
            return true;
        }
    }

private:
    FileDescriptor fd_;
};

class PosixPieceFile final : public PieceFile {
public:
    PosixPieceFile(int fd, FileIdentity identity, uint64_t size) : fd_(fd), identity_(identity), size_(size) {}
    FileIdentity Identity() const override { return identity_; }
    bool Truncate() override
    {
        // A file just created is empty and open at its start already.
        if (size_ == 0) return true;
        return ::ftruncate(fd_.Get(), 0) == 0 && ::lseek(fd_.Get(), 0, SEEK_SET) == 0;
    }
    bool SeekToEnd() override { return ::lseek(fd_.Get(), 0, SEEK_END) >= 0; }
    size_t Write(const char* bytes, size_t count) override
    {
        size_t done = 0;
        while (done < count) {
            const ssize_t n = ::write(fd_.Get(), bytes + done, count - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        return done;
    }

private:
    FileDescriptor fd_;
    FileIdentity identity_;
    uint64_t size_;
};

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return nullptr;
        auto file = std::make_unique<PosixInputFile>(fd);
        struct stat st;
        if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) return nullptr;
        // Others may read but not write the file while it is read, as far
        // as advisory locks can say so: a file locked for writing elsewhere
        // is refused, as Windows refuses it.
        if (::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) return nullptr;
        return file;
    }

    std::unique_ptr<PieceFile> OpenPiece(const std::string& path) override
    {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) return nullptr;
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixPieceFile>(fd, IdentityOfStat(st), static_cast<uint64_t>(st.st_size));
    }

    std::unique_ptr<PieceFile> CreateNewPiece(const std::string& path) override
    {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) return nullptr;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixPieceFile>(fd, FileIdentity{}, 0);
    }

    bool IsFolder(const std::string& path) override
    {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    bool RemoveFile(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

    bool ReplaceFile(const std::string& from, const std::string& to) override
    {
        return ::rename(from.c_str(), to.c_str()) == 0;
    }

    std::optional<FileIdentity> IdentityOf(const std::string& path) override
    {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) return std::nullopt;
        return IdentityOfStat(st);
    }
};

}  // namespace

FileSystem& NativeFileSystem()
{
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace quorvel
