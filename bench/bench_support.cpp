#include "bench/bench_support.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include <cstdio>

namespace quorvel::bench {

size_t PeakMemoryBytes()
{
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
#else
#ifdef __linux__
    // The peak that ResetPeakMemory starts afresh.
    if (std::FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        size_t kib = 0;
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %zu kB", &kib) == 1) break;
        std::fclose(f);
        if (kib != 0) return kib * 1024;
    }
#endif
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<size_t>(usage.ru_maxrss) * 1024;
#endif
}

bool ResetPeakMemory()
{
#ifdef __linux__
    // Writing 5 to clear_refs resets the peak (VmHWM) to the resident size.
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (!f) return false;
    const bool done = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && done;
#else
    return false;
#endif
}

void PrintFigure(const char* what, double value, const char* unit, double target, bool atMost)
{
    const bool met = atMost ? value <= target : value >= target;
    std::printf("  %s: %.3f %s (target %s %.3f %s: %s)\n", what, value, unit, atMost ? "<=" : ">=", target, unit,
                met ? "met" : "NOT met");
}

}  // namespace quorvel::bench
