// The file layer the table core reads and writes through. One
// implementation per platform; tests put their own in its place to make
// a read or a write fail at a chosen call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace quorvel {

// Which file a handle or path refers to: volume serial and file index on
// Windows, st_dev and st_ino on POSIX.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity& o) const { return volume == o.volume && index == o.index; }
    bool operator!=(const FileIdentity& o) const { return !(*this == o); }
};

// Frees what AllocateBuffer gave, the way it was allocated.
struct BufferFree {
    bool aligned = false;  // from posix_memalign, not operator new
    void operator()(char* bytes) const;
};
using ByteBuffer = std::unique_ptr<char[], BufferFree>;

// Uninitialised bytes from operator new; raises std::bad_alloc when memory
// runs out. Large buffers are laid out for huge pages where the platform
// has them, which spares a page fault per 4 KiB on a file of megabytes.
ByteBuffer AllocateBuffer(size_t size);

// A whole file in one buffer, followed by one 0x00 byte that is not part
// of `size`.
struct LoadedFile {
    ByteBuffer bytes;
    size_t size = 0;
};

// An input file open for reading; closed when destroyed.
class InputFile {
public:
    virtual ~InputFile() = default;
    // The size from a 64-bit query; false on failure.
    virtual bool QuerySize(uint64_t& size) = 0;
    // Reads up to `count` bytes into `into`; `got` is 0 at the end of the
    // file. False when the read fails.
    virtual bool Read(char* into, size_t count, size_t& got) = 0;
};

// A piece file open for writing, without sharing; closed when destroyed.
class PieceFile {
public:
    virtual ~PieceFile() = default;
    virtual FileIdentity Identity() const = 0;
    // Cuts the file to zero length; false on failure.
    virtual bool Truncate() = 0;
    // Moves the write position to the end; false on failure.
    virtual bool SeekToEnd() = 0;
    // Writes `count` bytes; returns how many the file took.
    virtual size_t Write(const char* bytes, size_t count) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens an existing file for reading only: others may read it but not
    // write it, and a file open for writing elsewhere is refused. Never
    // creates a file. nullptr on failure.
    virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path) = 0;

    // Opens the file for reading and writing with no sharing, creating it
    // if missing and leaving its content as it is. nullptr on failure.
    virtual std::unique_ptr<PieceFile> OpenPiece(const std::string& path) = 0;

    // The identity of an existing file, if it can be opened.
    virtual std::optional<FileIdentity> IdentityOf(const std::string& path) = 0;
};

// The platform's own file layer.
FileSystem& NativeFileSystem();

// Allocates a buffer for `size` bytes plus the terminating 0x00; raises
// std::bad_alloc when memory runs out.
ByteBuffer AllocateFileBuffer(uint64_t size);

// Reads a file whole: open, one 64-bit size query, reads until the size
// is reached or the file ends early (a file that shrank gives the bytes
// that came). A failing open, size query or read raises FileOpenError.
LoadedFile ReadWholeFile(const std::string& path, FileSystem& files);

}  // namespace quorvel
