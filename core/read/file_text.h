// A whole input file in memory: the first step of reading CSV text.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/interface/byte_buffer.h"
#include "core/interface/file_system.h"

namespace quorvel {

// A whole file in one buffer, followed by one 0x00 byte that is not part
// of `size`.
struct LoadedFile {
    ByteBuffer bytes;
    size_t size = 0;
};

// A buffer for `size` bytes plus the terminating 0x00; raises
// std::bad_alloc when memory runs out.
ByteBuffer AllocateFileBuffer(uint64_t size);

// Reads a file whole: open, one 64-bit size query, reads until the size
// is reached or the file ends early (a file that shrank gives the bytes
// that came). A failing open, size query or read raises FileOpenError.
LoadedFile LoadFileText(const std::string& path, FileSystem& files);

// Reads a file whole as LoadFileText does, but on a second thread and in
// growing steps, so that the caller can work through the first bytes
// while the rest arrive. A large file that the file layer can map is not
// read at all: its view is the buffer, whole from the start, and the file
// stays open for reading (nobody may write it) as long as the buffer lives.
class FileTextStream {
public:
    // Opens the file, takes its size and maps it or allocates the buffer,
    // raising FileOpenError or std::bad_alloc; then starts reading.
    FileTextStream(const std::string& path, FileSystem& files);
    // Stops the reading and waits for it.
    ~FileTextStream();
    FileTextStream(const FileTextStream&) = delete;
    FileTextStream& operator=(const FileTextStream&) = delete;

    // The buffer, of Capacity() + 1 bytes: readable as far as WaitFor says.
    const char* Bytes() const { return buffer_; }
    size_t Capacity() const { return capacity_; }

    // Hands the buffer over; it stays where it is and the reading goes on
    // into it, so its new owner must outlive this stream.
    ByteBuffer TakeBuffer() { return std::move(bytes_); }

    // Waits until `count` bytes are read or the file is read whole, and
    // returns how many bytes can be read: once the file is whole, its text
    // and the 0x00 after it. A failed read raises FileOpenError.
    size_t WaitFor(size_t count);
    size_t WaitForAll() { return WaitFor(~size_t{0}); }
    // Whether the file is read whole (then WaitFor counts the 0x00 too).
    bool IsWhole();
    // Ends the reading where it is, for a reader that needs no more; the
    // bytes read so far stay readable.
    void StopReading();

private:
    void ReadAll();
    bool ReadStep(size_t request, size_t done, size_t& got);
    // Publishes the bytes read so far; `whole` when the reading is over.
    void Publish(size_t read, bool whole, bool failed);

    std::string path_;
    std::unique_ptr<InputFile> file_;
    ByteBuffer bytes_;
    char* buffer_ = nullptr;  // stays valid when the buffer changes owner
    size_t capacity_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    size_t read_ = 0;
    bool whole_ = false;
    bool failed_ = false;
    bool stop_ = false;
    std::thread reader_;
};

}  // namespace quorvel
