// Timing and memory figures for the benchmarks.
#pragma once

#include <chrono>
#include <cstddef>

namespace quorvel::bench {

inline double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The process's peak resident memory so far, in bytes.
size_t PeakMemoryBytes();

}  // namespace quorvel::bench
