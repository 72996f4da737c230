#include "core/read/read_ahead.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace quorvel {

ReadAhead::ReadAhead(InputFile& file, uint64_t size, size_t blockBytes, size_t blocks)
    : file_(file), left_(size), blockBytes_(blockBytes), blocks_(std::max<size_t>(blocks, 1))
{
    try {
        reader_ = std::thread([this] { ReadBlocks(); });
    } catch (const std::system_error&) {
        // No thread: Read reads each block itself.
    }
}

ReadAhead::~ReadAhead()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (reader_.joinable()) reader_.join();
}

// One block from the file: as full as the file allows. False on a failed
// read; an empty block is the end.
bool ReadAhead::ReadBlock(Block& block)
{
    block.bytes.resize(blockBytes_);
    block.size = block.taken = 0;
    while (block.size < blockBytes_ && left_ > 0) {
        const size_t request = static_cast<size_t>(std::min<uint64_t>(blockBytes_ - block.size, left_));
        size_t got = 0;
        if (!file_.Read(block.bytes.data() + block.size, request, got)) return false;
        if (got == 0) {
            left_ = 0;  // the file shrank: what came is all
            break;
        }
        block.size += got;
        left_ -= got;
    }
    return true;
}

void ReadAhead::ReadBlocks()
{
    for (;;) {
        Block block;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return stop_ || ready_.size() < blocks_; });
            if (stop_) return;
            if (!free_.empty()) {
                block = std::move(free_.back());
                free_.pop_back();
            }
        }
        const bool ok = ReadBlock(block);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!ok) failed_ = true;
            else if (block.size > 0) ready_.push_back(std::move(block));
            if (!ok || block.size == 0 || left_ == 0) ended_ = true;
        }
        changed_.notify_all();
        if (!ok || left_ == 0) return;
    }
}

bool ReadAhead::Read(char* into, size_t count, size_t& got)
{
    got = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    if (!reader_.joinable() && ready_.empty() && !ended_ && !failed_) {
        // No thread: this call reads the next block.
        Block block;
        const bool ok = ReadBlock(block);
        if (!ok) failed_ = true;
        else if (block.size > 0) ready_.push_back(std::move(block));
        if (!ok || block.size == 0 || left_ == 0) ended_ = true;
    }
    changed_.wait(lock, [&] { return !ready_.empty() || ended_ || failed_; });
    // Blocks read before a failure are still given; the failure comes
    // after them, as it would from the file itself.
    while (got < count && !ready_.empty()) {
        Block& block = ready_.front();
        const size_t n = std::min(count - got, block.size - block.taken);
        std::memcpy(into + got, block.bytes.data() + block.taken, n);
        block.taken += n;
        got += n;
        if (block.taken == block.size) {
            free_.push_back(std::move(block));
            ready_.pop_front();
        }
    }
    lock.unlock();
    changed_.notify_all();
    return got > 0 || !failed_;
}

}  // namespace quorvel
