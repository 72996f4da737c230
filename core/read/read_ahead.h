// Reads a file on a thread of its own, a few blocks ahead of the reader:
// the system's copy of the file's bytes then happens beside the scan
// instead of before it.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "core/interface/file_system.h"

namespace quorvel {

class ReadAhead {
public:
    // Reads `file` up to `size` bytes (or its end, if it shrank) in blocks
    // of `blockBytes`, at most `blocks` of them waiting. Without a thread
    // to be had it reads when asked.
    ReadAhead(InputFile& file, uint64_t size, size_t blockBytes = size_t{1} << 20, size_t blocks = 4);
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // As InputFile::Read: up to `count` bytes into `into`, `got` 0 at the
    // end; false when a read failed.
    bool Read(char* into, size_t count, size_t& got);

private:
    struct Block {
        std::vector<char> bytes;
        size_t size = 0;
        size_t taken = 0;
    };
    void ReadBlocks();
    bool ReadBlock(Block& block);

    InputFile& file_;
    uint64_t left_;
    size_t blockBytes_;
    size_t blocks_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Block> ready_;  // in file order
    std::vector<Block> free_;
    bool ended_ = false;       // no more blocks will come
    bool failed_ = false;
    bool stop_ = false;
    std::thread reader_;
};

}  // namespace quorvel
