// File layer on Windows: CreateFileW, GetFileSizeEx, ReadFile, WriteFile,
// and a view of a large input file (CreateFileMappingW, MapViewOfFile).
// Paths come in UTF-8 and go to the wide functions, so that a name may
// hold any character, whatever the ANSI code page.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

#include "file_system.h"
#include "win32/win32_handle.h"
#include "win32/win32_wide.h"

namespace quorvel {

namespace {

// ReadFile and WriteFile take a 32-bit count; larger requests go in steps.
constexpr DWORD kMaxRequest = 0x40000000;

// An input file. Its bytes may be mapped instead of read, but only on a
// fixed drive: a view of a file on a network or removable drive raises an
// exception at the next touch of a page once the drive has gone away.
class Win32InputFile final : public InputFile {
public:
    Win32InputFile(FileHandle file, std::wstring path) : file_(std::move(file)), path_(std::move(path)) {}
    bool QuerySize(uint64_t& size) override
    {
        LARGE_INTEGER value;
        if (!GetFileSizeEx(file_.Get(), &value)) return false;
        size = static_cast<uint64_t>(value.QuadPart);
        return true;
    }
    bool Read(char* into, size_t count, size_t& got) override
    {
        DWORD n = 0;
        if (!ReadFile(file_.Get(), into, static_cast<DWORD>(std::min<size_t>(count, kMaxRequest)), &n, nullptr))
            return false;
        got = n;
        return true;
    }
    ByteBuffer MapWhole(uint64_t size) override
    {
        // The 0x00 after the text is the zero fill of the view's last page,
        // which a file of whole pages does not have.
        if (size == 0 || size % PageSize() == 0 || size > SIZE_MAX || !OnFixedDrive()) return nullptr;
        FileHandle mapping(CreateFileMappingW(file_.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (!mapping.Valid()) return nullptr;
        auto mapped = std::make_shared<MappedFile>();
        mapped->view = MappedView(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(size)));
        if (!mapped->view.Valid()) return nullptr;
        // The file stays open as it was opened, so that nobody writes it
        // while its bytes are cells; the view keeps the mapping.
        mapped->file = std::move(file_);
        const char* bytes = static_cast<const char*>(mapped->view.Get());
        return KeptBuffer(bytes, std::move(mapped));
    }

private:
    struct MappedFile {
        FileHandle file;
        MappedView view;  // unmapped first, then the file closed
    };
    static uint64_t PageSize()
    {
        SYSTEM_INFO info;
        GetSystemInfo(&info);
        return info.dwPageSize;
    }
    bool OnFixedDrive() const
    {
        wchar_t root[MAX_PATH + 1];
        return GetVolumePathNameW(path_.c_str(), root, MAX_PATH + 1) && GetDriveTypeW(root) == DRIVE_FIXED;
    }

    FileHandle file_;
    std::wstring path_;
};

class Win32PieceFile final : public PieceFile {
public:
    Win32PieceFile(FileHandle file, FileIdentity identity, uint64_t size)
        : file_(std::move(file)), identity_(identity), size_(size)
    {
    }
    FileIdentity Identity() const override { return identity_; }
    bool Truncate() override
    {
        // A file just created is empty and open at its start already.
        if (size_ == 0) return true;
        LARGE_INTEGER zero{};
        return SetFilePointerEx(file_.Get(), zero, nullptr, FILE_BEGIN) && SetEndOfFile(file_.Get());
    }
    bool SeekToEnd() override
    {
        LARGE_INTEGER zero{};
        return SetFilePointerEx(file_.Get(), zero, nullptr, FILE_END) != 0;
    }
    size_t Write(const char* bytes, size_t count) override
    {
        size_t done = 0;
        while (done < count) {
            const DWORD request = static_cast<DWORD>(std::min<size_t>(count - done, kMaxRequest));
            DWORD written = 0;
            if (!WriteFile(file_.Get(), bytes + done, request, &written, nullptr) || written == 0) break;
            done += written;
        }
        return done;
    }

private:
    FileHandle file_;
    FileIdentity identity_;
    uint64_t size_;
};

std::optional<FileIdentity> IdentityOfHandle(HANDLE file, uint64_t* size = nullptr)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return std::nullopt;
    if (size) *size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

class Win32FileSystem final : public FileSystem {
public:
    std::unique_ptr<InputFile> OpenForReading(const std::string& path) override
    {
        std::wstring wide = WideFromUtf8(path);
        FileHandle file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return nullptr;
        return std::make_unique<Win32InputFile>(std::move(file), std::move(wide));
    }

    std::unique_ptr<PieceFile> OpenPiece(const std::string& path) override
    {
        FileHandle file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return nullptr;
        uint64_t size = 0;
        const auto identity = IdentityOfHandle(file.Get(), &size);
        if (!identity) return nullptr;
        return std::make_unique<Win32PieceFile>(std::move(file), *identity, size);
    }

    std::unique_ptr<PieceFile> CreateNewPiece(const std::string& path) override
    {
        FileHandle file(CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return nullptr;
        return std::make_unique<Win32PieceFile>(std::move(file), FileIdentity{}, 0);
    }

    bool IsFolder(const std::string& path) override
    {
        const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    bool RemoveFile(const std::string& path) override { return DeleteFileW(WideFromUtf8(path).c_str()) != 0; }

    bool ReplaceFile(const std::string& from, const std::string& to) override
    {
        return MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    }

    std::optional<FileIdentity> IdentityOf(const std::string& path) override
    {
        FileHandle file(CreateFileW(WideFromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return std::nullopt;
        return IdentityOfHandle(file.Get());
    }
};

}  // namespace

FileSystem& NativeFileSystem()
{
    static Win32FileSystem fileSystem;
    return fileSystem;
}

}  // namespace quorvel
