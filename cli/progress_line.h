// The split's progress on a terminal: one line on stderr, rewritten a few
// times a second: percent of bytes, rows, MB/s and the time left. And the
// stop that Ctrl+C asks for.
#pragma once

#include <atomic>
#include <chrono>
#include <ostream>

#include "core/split/stream_split.h"

namespace quorvel::cli {

// What the terminal gives the split: whether to show progress, a flag
// that Ctrl+C sets, and one that says whether anything listens to it (a
// Ctrl+C that nothing listens to ends the program as ever).
struct Console {
    bool showProgress = false;
    const std::atomic<bool>* interrupted = nullptr;
    std::atomic<bool>* listening = nullptr;
};

class ProgressLine final : public SplitObserver {
public:
    // Listens to Ctrl+C while it lives.
    ProgressLine(std::ostream& err, const Console& console);
    // Clears the line, so that what follows starts on a clean one.
    ~ProgressLine() override;

    void Progress(const SplitProgress& progress) override;
    bool StopRequested() override;

private:
    using Clock = std::chrono::steady_clock;
    std::ostream& err_;
    Console console_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastShown_ = start_;
    size_t shownWidth_ = 0;
};

}  // namespace quorvel::cli
