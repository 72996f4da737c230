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

// Starts the peak afresh at the memory resident now, where the system can
// (Linux); returns false elsewhere.
bool ResetPeakMemory();

// A figure beside its target: "  what: 0.123 s (target <= 0.100 s: met)".
void PrintFigure(const char* what, double value, const char* unit, double target, bool atMost = true);

}  // namespace quorvel::bench
