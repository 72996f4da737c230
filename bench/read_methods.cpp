// Ways to bring a whole file into memory under Windows (and Wine), timed
// on one file: ReadFile into fresh memory, ReadFile into memory already
// touched, and a file mapping whose pages are touched by a pass over the
// bytes. Each is followed by the same pass (a sum of the bytes, eight at a
// step) so that the figures compare what a reader pays before and while
// it scans.   quorvel-bench-read FILE [RUNS]
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

uint64_t SumBytes(const char* bytes, size_t size)
{
    uint64_t sum = 0;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        sum += word;
    }
    for (; i < size; ++i) sum += static_cast<unsigned char>(bytes[i]);
    return sum;
}

struct File {
    HANDLE handle = INVALID_HANDLE_VALUE;
    uint64_t size = 0;
    explicit File(const char* path)
    {
        handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        LARGE_INTEGER s{};
        if (handle == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle, &s)) {
            std::fprintf(stderr, "cannot open %s\n", path);
            std::exit(1);
        }
        size = static_cast<uint64_t>(s.QuadPart);
    }
    ~File() { CloseHandle(handle); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
};

void ReadAll(const File& file, char* into)
{
    constexpr DWORD kBlock = DWORD{4} << 20;
    uint64_t done = 0;
    while (done < file.size) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(kBlock, file.size - done));
        if (!ReadFile(file.handle, into + done, want, &got, nullptr) || got == 0) break;
        done += got;
    }
}

// ReadFile into memory that nobody has touched yet.
double FreshRead(const char* path, uint64_t& sum)
{
    const auto start = std::chrono::steady_clock::now();
    File file(path);
    std::unique_ptr<char[]> bytes(new char[file.size]);
    ReadAll(file, bytes.get());
    sum = SumBytes(bytes.get(), file.size);
    return Seconds(start);
}

// ReadFile into fresh pages straight from VirtualAlloc, not the heap.
double VirtualRead(const char* path, uint64_t& sum)
{
    const auto start = std::chrono::steady_clock::now();
    File file(path);
    char* bytes = static_cast<char*>(VirtualAlloc(nullptr, file.size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ReadAll(file, bytes);
    sum = SumBytes(bytes, file.size);
    const double seconds = Seconds(start);
    VirtualFree(bytes, 0, MEM_RELEASE);
    return seconds;
}

// ReadFile into memory touched before the clock starts.
double TouchedRead(const char* path, uint64_t& sum)
{
    File file(path);
    std::unique_ptr<char[]> bytes(new char[file.size]);
    std::memset(bytes.get(), 0, file.size);
    const auto start = std::chrono::steady_clock::now();
    ReadAll(file, bytes.get());
    sum = SumBytes(bytes.get(), file.size);
    return Seconds(start);
}

// A read-only view of the whole file, its pages brought in by the pass.
double MappedPass(const char* path, uint64_t& sum)
{
    const auto start = std::chrono::steady_clock::now();
    File file(path);
    HANDLE mapping = CreateFileMappingA(file.handle, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (!view) {
        std::fprintf(stderr, "no mapping\n");
        std::exit(1);
    }
    sum = SumBytes(static_cast<const char*>(view), file.size);
    const double seconds = Seconds(start);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorvel-bench-read FILE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    const char* path = argv[1];
    for (int run = 1; run <= runs; ++run) {
        uint64_t a = 0, b = 0, c = 0, d = 0;
        const double fresh = FreshRead(path, a);
        const double virtualFresh = VirtualRead(path, d);
        const double touched = TouchedRead(path, b);
        const double mapped = MappedPass(path, c);
        std::printf("  run %d: ReadFile into fresh memory %.3f s (from VirtualAlloc %.3f s); into touched memory %.3f s; "
                    "file mapping %.3f s%s\n",
                    run, fresh, virtualFresh, touched, mapped, a == b && b == c && c == d ? "" : " (sums differ!)");
    }
    return 0;
}
