// What a streaming split tells while it runs, and how it is asked to stop.
#pragma once

#include <cstdint>

namespace quorvel {

struct SplitProgress {
    uint64_t bytesDone = 0;
    uint64_t fileSize = 0;
    uint64_t rows = 0;    // data rows read
    uint64_t pieces = 0;  // pieces met
};

// Told of the split's progress, from the thread that reads, some times a
// second; asked as often whether to stop. The thread that writes tells of
// each piece file it makes and asks too, every 64 new pieces: a split with
// a piece for every few rows spends its time there.
class SplitObserver {
public:
    virtual ~SplitObserver() = default;
    virtual void Progress(const SplitProgress& /*progress*/) {}
    virtual void PiecesMade(uint64_t /*pieces*/) {}
    virtual bool StopRequested() { return false; }
};

}  // namespace quorvel
