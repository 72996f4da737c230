// The I/O floors of a split, timed in the same run as the split:
//   quorvel-bench-floor FILE PIECES FOLDER
//     reads FILE in large blocks and writes the same bytes into PIECES
//     files in FOLDER, block by block in turn
//   quorvel-bench-floor --loop FROM FOLDER
//     reads every file in FROM into memory, then creates, writes and
//     closes a file of the same name and bytes in FOLDER, one by one
// Each prints its seconds.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"

namespace {

int BlocksIntoPieces(const char* file, size_t pieces, const std::string& folder)
{
    const auto start = std::chrono::steady_clock::now();
    std::FILE* in = std::fopen(file, "rb");
    if (!in || pieces == 0) return 1;
    std::vector<std::FILE*> out(pieces);
    for (size_t i = 0; i < pieces; ++i) {
        out[i] = std::fopen((folder + "/floor_" + std::to_string(i) + ".csv").c_str(), "wb");
        if (!out[i]) return 1;
        std::setvbuf(out[i], nullptr, _IONBF, 0);  // the blocks are large already
    }
    std::vector<char> block(size_t{4} << 20);
    size_t n = 0;
    for (size_t got; (got = std::fread(block.data(), 1, block.size(), in)) > 0; ++n)
        if (std::fwrite(block.data(), 1, got, out[n % pieces]) != got) return 1;
    for (std::FILE* f : out) std::fclose(f);
    std::fclose(in);
    std::printf("%.3f\n", quorvel::bench::SecondsSince(start));
    return 0;
}

int CreateWriteCloseLoop(const std::string& from, const std::string& folder)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : std::filesystem::directory_iterator(from)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files.emplace_back(entry.path().filename().string(),
                           std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }
    const auto start = std::chrono::steady_clock::now();
    for (const auto& [name, bytes] : files) {
        std::FILE* out = std::fopen((folder + "/" + name).c_str(), "wb");
        if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return 1;
        std::fclose(out);
    }
    std::printf("%.3f\n", quorvel::bench::SecondsSince(start));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--loop") return CreateWriteCloseLoop(argv[2], argv[3]);
    if (argc == 4) return BlocksIntoPieces(argv[1], std::strtoul(argv[2], nullptr, 10), argv[3]);
    std::fprintf(stderr, "usage: quorvel-bench-floor FILE PIECES FOLDER | --loop FROM FOLDER\n");
    return 2;
}
