#include "core/table/prefaulted_buffers.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace quorvel {

namespace {
constexpr size_t kPageBytes = 4096;
}

PrefaultedBuffers::PrefaultedBuffers(size_t bytes, size_t ahead) : bytes_(bytes), ahead_(ahead)
{
    try {
        filler_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        // No thread: Take allocates each buffer itself.
    }
}

PrefaultedBuffers::~PrefaultedBuffers()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wanted_.notify_all();
    if (filler_.joinable()) filler_.join();
}

ByteBuffer PrefaultedBuffers::Take()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (foreseen_ != 0 && foreseen_ != ~size_t{0}) --foreseen_;
        if (!ready_.empty()) {
            ByteBuffer buffer = std::move(ready_.front());
            ready_.pop_front();
            wanted_.notify_all();
            return buffer;
        }
    }
    wanted_.notify_all();
    return AllocateBuffer(bytes_);
}

void PrefaultedBuffers::ForeseeTakes(size_t count)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        foreseen_ = count;
    }
    wanted_.notify_all();
}

void PrefaultedBuffers::Run()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wanted_.wait(lock, [&] { return stop_ || ready_.size() < std::min(ahead_, foreseen_); });
            if (stop_) return;
        }
        ByteBuffer buffer;
        try {
            buffer = AllocateBuffer(bytes_);
        } catch (const std::bad_alloc&) {
            return;  // the taker will meet the shortage itself
        }
        // One write per page makes the system map and clear it here.
        volatile char* bytes = buffer.get();
        for (size_t i = 0; i < bytes_; i += kPageBytes) bytes[i] = 0;
        std::lock_guard<std::mutex> lock(mutex_);
        ready_.push_back(std::move(buffer));
    }
}

}  // namespace quorvel
