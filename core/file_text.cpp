#include "core/file_text.h"

#include <algorithm>
#include <memory>
#include <new>

#include "core/errors.h"

namespace quorvel {

namespace {
// No machine holds more; asking for it would only fail slower.
constexpr uint64_t kMaxBuffer = uint64_t{1} << 48;
// Reads go in steps that every platform's read call can take.
constexpr size_t kMaxRequest = size_t{1} << 30;
}  // namespace

ByteBuffer AllocateFileBuffer(uint64_t size)
{
    if (size >= kMaxBuffer) throw std::bad_alloc();
    // Left uninitialised on purpose: only the bytes that are read are used.
    ByteBuffer bytes = AllocateBuffer(static_cast<size_t>(size) + 1);
    bytes[static_cast<size_t>(size)] = 0;
    return bytes;
}

LoadedFile LoadFileText(const std::string& path, FileSystem& files)
{
    std::unique_ptr<InputFile> file = files.OpenForReading(path);
    uint64_t size = 0;
    if (!file || !file->QuerySize(size)) throw FileOpenError(path);
    LoadedFile loaded;
    loaded.bytes = AllocateFileBuffer(size);
    size_t done = 0;
    while (done < size) {
        size_t got = 0;
        const size_t request = static_cast<size_t>(std::min<uint64_t>(size - done, kMaxRequest));
        if (!file->Read(loaded.bytes.get() + done, request, got)) throw FileOpenError(path);
        if (got == 0) break;  // the file shrank since its size was taken
        done += got;
    }
    loaded.size = done;
    loaded.bytes[done] = 0;
    return loaded;
}

}  // namespace quorvel
