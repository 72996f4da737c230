// Load throughput and peak memory: reads a CSV into an 8-column table as
// the Open command does (with the check of its lines against the rows, or
// without it), or by lines as the open by lines does.
//   quorvel-bench-load FILE [COLUMNS [TARGET-MB/S]] [--no-line-check | --by-lines]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_support.h"
#include "core/table/cell_table.h"
#include "core/read/csv_open.h"
#include "core/read/record_reader.h"
#include "core/errors.h"
#include "system/system_services.h"

int main(int argc, char** argv)
{
    using namespace quorvel;
    bool checkLines = true, byLines = false;
    std::vector<const char*> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-line-check") == 0) checkLines = false;
        else if (std::strcmp(argv[i], "--by-lines") == 0) byLines = true;
        else args.push_back(argv[i]);
    }
    if (args.empty()) {
        std::fprintf(stderr, "usage: quorvel-bench-load FILE [COLUMNS [TARGET-MB/S]] [--no-line-check | --by-lines]\n");
        return 2;
    }
    const char* const path = args[0];
    const int columns = args.size() > 1 ? std::atoi(args[1]) : 8;
    const double targetRate = args.size() > 2 ? std::atof(args[2]) : 1500;
    std::printf("reading %s\n", byLines ? "by lines" : checkLines ? "by tokens, lines checked" : "by tokens, lines not checked");
    const size_t before = bench::PeakMemoryBytes();
    CellTable table;
    table.ChangeColCount(columns);
    // Three loads into the same table (each load empties it first), every
    // one printed: the first meets fresh memory, as the window's first
    // Open does; the peak is that of a second table's worth at most.
    double seconds = 1e30;
    size_t peak = 0;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        try {
            const EncodingChoice choice = EncodingChoice::Detect(SystemCodePage());
            if (byLines) OpenCsvRecords(table, path, choice, NativeFileSystem(), std::nullopt);
            else OpenCsvFile(table, path, choice, NativeFileSystem(), OverCap::kRefuse, nullptr, checkLines);
        } catch (const QuorvelError& e) {
            std::fprintf(stderr, "load failed: %s\n", e.what());
            return 1;
        }
        const double took = bench::SecondsSince(start);
        std::printf("  load %d: %.3f s\n", run + 1, took);
        seconds = std::min(seconds, took);
        if (run == 0) peak = bench::PeakMemoryBytes();
    }

    // Touch every cell once so that the figures include a full read-back.
    size_t bytes = 0;
    for (int32_t r = 0; r < table.RowCount(); ++r)
        for (int32_t c = 0; c < table.ColCount(); ++c) bytes += table.ReadCell(c, r).size();

    std::FILE* f = std::fopen(path, "rb");
    std::fseek(f, 0, SEEK_END);
    const double fileBytes = static_cast<double>(std::ftell(f));
    std::fclose(f);
    std::printf("load (best of the three): %.1f MB in %.3f s = %.0f MB/s; %d rows x %d columns, %.1f MB of cell text\n",
                fileBytes / 1e6, seconds, fileBytes / 1e6 / seconds, table.RowCount(), table.ColCount(),
                static_cast<double>(bytes) / 1e6);
    std::printf("peak memory of the first load: %.1f MB = %.2f x file size (%.1f MB before it)\n",
                static_cast<double>(peak) / 1e6, static_cast<double>(peak) / fileBytes,
                static_cast<double>(before) / 1e6);
    bench::PrintFigure("load rate", fileBytes / 1e6 / seconds, "MB/s", targetRate, false);
    // What the load itself took: the peak beyond what the process held before.
    bench::PrintFigure("load's peak memory / file size", static_cast<double>(peak - before) / fileBytes, "x", 1.8);
    return 0;
}
