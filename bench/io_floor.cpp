// The I/O floor of a split: reads a file in large blocks and writes the
// same bytes into N files in the folder, block by block in turn, each
// file created, written and closed as a split does. Prints the seconds.
//   quorvel-bench-floor FILE PIECES FOLDER
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench_support.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: quorvel-bench-floor FILE PIECES FOLDER\n");
        return 2;
    }
    const size_t pieces = std::strtoul(argv[2], nullptr, 10);
    const std::string folder = argv[3];
    const auto start = std::chrono::steady_clock::now();
    std::FILE* in = std::fopen(argv[1], "rb");
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
