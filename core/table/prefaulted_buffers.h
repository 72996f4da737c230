// Fresh memory costs the system a page fault and a cleared page on first
// touch, which for the token list of a large file takes longer than
// finding the tokens. This supply allocates and touches fixed-size buffers
// on a thread of its own, a few ahead of their use.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>

#include "core/interface/byte_buffer.h"

namespace quorvel {

class PrefaultedBuffers {
public:
    // Keeps up to `ahead` touched buffers of `bytes` each ready.
    PrefaultedBuffers(size_t bytes, size_t ahead);
    // Stops the thread and frees the buffers not taken.
    ~PrefaultedBuffers();
    PrefaultedBuffers(const PrefaultedBuffers&) = delete;
    PrefaultedBuffers& operator=(const PrefaultedBuffers&) = delete;

    // A touched buffer, or a fresh one when none is ready; raises
    // std::bad_alloc as AllocateBuffer does.
    ByteBuffer Take();

    // About how many buffers are still to be taken, as the taker foresees
    // it: no more than that are readied, so that none is left over.
    void ForeseeTakes(size_t count);

private:
    void Run();

    const size_t bytes_;
    const size_t ahead_;
    std::mutex mutex_;
    std::condition_variable wanted_;
    std::deque<ByteBuffer> ready_;
    size_t foreseen_ = ~size_t{0};
    bool stop_ = false;
    std::thread filler_;
};

}  // namespace quorvel
