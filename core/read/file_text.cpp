#include "core/read/file_text.h"

#include <algorithm>
#include <memory>
#include <new>
#include <system_error>

#include "core/errors.h"

namespace quorvel {

namespace {
// No machine holds more; asking for it would only fail slower.
constexpr uint64_t kMaxBuffer = uint64_t{1} << 48;
// A smaller file is read: its reading costs little, and the file is not
// kept open while the table holds it.
constexpr uint64_t kMapFrom = uint64_t{16} << 20;
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
    FileTextStream stream(path, files);
    LoadedFile loaded;
    loaded.size = stream.WaitForAll() - 1;
    loaded.bytes = stream.TakeBuffer();
    return loaded;
}

FileTextStream::FileTextStream(const std::string& path, FileSystem& files) : path_(path)
{
    file_ = files.OpenForReading(path);
    uint64_t size = 0;
    if (!file_ || !file_->QuerySize(size)) throw FileOpenError(path);
    if (size >= kMapFrom && size < kMaxBuffer && (bytes_ = file_->MapWhole(size))) {
        // The file's pages are the text: nothing to read or copy, and no
        // fresh memory to touch.
        buffer_ = bytes_.get();
        capacity_ = static_cast<size_t>(size);
        read_ = capacity_;
        whole_ = true;
        file_.reset();
        return;
    }
    bytes_ = AllocateFileBuffer(size);
    buffer_ = bytes_.get();
    capacity_ = static_cast<size_t>(size);
    try {
        reader_ = std::thread([this] { ReadAll(); });
    } catch (const std::system_error&) {
        ReadAll();  // no thread to be had: read it all now
    }
}

FileTextStream::~FileTextStream() { StopReading(); }

void FileTextStream::StopReading()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    if (reader_.joinable()) reader_.join();
}

void FileTextStream::ReadAll()
{
    // Small steps first, so that the first bytes arrive soon; then steps
    // of a few megabytes, each made readable as it arrives.
    constexpr size_t kFirstStep = size_t{1} << 18, kLastStep = size_t{4} << 20;
    size_t step = kFirstStep;
    size_t done = 0;
    bool failed = false;
    while (done < capacity_) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stop_) return;
        }
        size_t got = 0;
        const size_t request = std::min(capacity_ - done, step);
        if (!ReadStep(request, done, got)) {
            failed = true;
            break;
        }
        if (got == 0) break;  // the file shrank since its size was taken
        done += got;
        if (done < capacity_) Publish(done, false, false);
        step = std::min(step * 2, kLastStep);
    }
    if (!failed) buffer_[done] = 0;
    Publish(done, true, failed);
}

bool FileTextStream::ReadStep(size_t request, size_t done, size_t& got)
{
    try {
        return file_->Read(buffer_ + done, request, got);
    } catch (...) {
        return false;  // nothing may leave the reading thread
    }
}

void FileTextStream::Publish(size_t read, bool whole, bool failed)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        read_ = read;
        whole_ = whole;
        failed_ = failed;
    }
    changed_.notify_all();
}

bool FileTextStream::IsWhole()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return whole_;
}

size_t FileTextStream::WaitFor(size_t count)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return whole_ || read_ >= count; });
    if (failed_) throw FileOpenError(path_);
    return whole_ ? read_ + 1 : read_;
}

}  // namespace quorvel
