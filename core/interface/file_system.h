// The file layer the table core reads and writes through. One
// implementation per platform; tests put their own in its place to make
// a read or a write fail at a chosen call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "byte_buffer.h"  // beside this header

namespace quorvel {

// Which file a handle or path refers to: volume serial and file index on
// Windows, st_dev and st_ino on POSIX.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity& o) const { return volume == o.volume && index == o.index; }
    bool operator!=(const FileIdentity& o) const { return !(*this == o); }
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
    // The file's `size` bytes in place, as a read-only view followed by a
    // 0x00 that the view holds, for as long as the buffer lives; the file
    // stays open as it was opened (others may read it, nobody may write
    // it) until then, and this object reads no more. An empty buffer where
    // the layer or the file does not allow it; the caller reads instead.
    virtual ByteBuffer MapWhole(uint64_t /*size*/) { return nullptr; }
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

    // Creates the piece as a new file, with no sharing, failing if the
    // name is taken: a new file is neither the input nor an earlier piece,
    // so neither its identity nor a truncation is asked for (its Identity()
    // is not meaningful). nullptr when it cannot, for whatever reason; the
    // caller then goes through OpenPiece. Layers without it give nullptr.
    virtual std::unique_ptr<PieceFile> CreateNewPiece(const std::string& /*path*/) { return nullptr; }

    // The identity of an existing file, if it can be opened.
    virtual std::optional<FileIdentity> IdentityOf(const std::string& path) = 0;

    // True when the path names an existing folder.
    virtual bool IsFolder(const std::string& path) = 0;

    // Removes a file that the split made for its own use; false on failure.
    virtual bool RemoveFile(const std::string& path) = 0;

    // Renames a file that the split wrote to `to` in the same folder,
    // replacing a file of that name; false on failure, and then both
    // files are as they were.
    virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
};

// The platform's own file layer. (Platform layer.)
FileSystem& NativeFileSystem();

}  // namespace quorvel
