// Sort and split-save figures on a generated file: sorting by a column of
// few values and by the id column, splitting by the prefecture column, and
// splitting by the id column set against a plain loop that creates,
// writes and closes the same files.
//   quorvel-bench-split BIG.csv SMALL.csv WORKDIR (emptied by the caller)
//   quorvel-bench-split --pieces SMALL.csv WORKDIR TARGET-RATIO: the many
//     pieces alone, as run under Wine
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/table/cell_table.h"
#include "core/read/csv_open.h"
#include "core/errors.h"
#include "core/table/row_sort.h"
#include "core/split/split_writer.h"
#include "core/interface/collation.h"
#include "system/system_services.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using namespace quorvel;

constexpr int kColumns = 8;
constexpr int kIdColumn = 0;
constexpr int kPrefectureColumn = 2;

void Load(CellTable& table, const std::string& path)
{
    table.ChangeColCount(kColumns);
    OpenCsvFile(table, path, EncodingChoice::Detect(SystemCodePage()), NativeFileSystem());
}

// The best of three, every run printed: the figures of a shared machine
// vary from run to run.
template <typename Run>
double BestOfThree(const char* what, Run run)
{
    double best = 1e30;
    std::printf("  every run of %s:", what);
    for (int i = 0; i < 3; ++i) {
        const double seconds = run();
        std::printf(" %.3f", seconds);
        best = std::min(best, seconds);
    }
    std::printf(" s\n");
    return best;
}

double TimeSort(const std::string& path, int column, const char* what)
{
    return BestOfThree(what, [&] {
        CellTable table;
        Load(table, path);
        const auto start = std::chrono::steady_clock::now();
        SortDataRows(table, column, NativeCollation());
        return bench::SecondsSince(start);
    });
}

std::string CopyInto(const std::string& file, const std::string& folder)
{
#ifdef _WIN32
    CreateDirectoryA(folder.c_str(), nullptr);
#else
    ::mkdir(folder.c_str(), 0755);
#endif
    const std::string copy = folder + "/" + file.substr(file.find_last_of("/\\") + 1);
    std::ifstream in(file, std::ios::binary);
    std::ofstream out(copy, std::ios::binary);
    out << in.rdbuf();
    return copy;
}

struct SplitFigures {
    double seconds = 1e30;  // the best of three
    std::vector<std::string> pieces;
    double extraBytes = -1;  // peak memory beyond the loaded table, where measurable
};

// Each trial splits a fresh copy of the input in a fresh folder, so that
// every piece is a new file.
SplitFigures TimeSplit(const std::string& path, int column, const std::string& work)
{
    static int trial = 0;
    SplitFigures figures;
    std::printf("  every run of the split:");
    for (int i = 0; i < 3; ++i) {
        const std::string input = CopyInto(path, work + "/split" + std::to_string(++trial));
        CellTable table;
        Load(table, input);
        const CodePage codePage = SystemCodePage();
        const SplitTarget target{input, codePage, PathStyle::Native(), NativeFileSystem()};
        SplitState state;
        const bool peakReset = bench::ResetPeakMemory();
        const size_t before = bench::PeakMemoryBytes();
        const auto start = std::chrono::steady_clock::now();
        figures.pieces = WriteSplitPieces(table, column, target, [&](int32_t row) { table.SelectRow(row); }, state);
        const double seconds = bench::SecondsSince(start);
        std::printf(" %.3f", seconds);
        figures.seconds = std::min(figures.seconds, seconds);
        if (peakReset)
            figures.extraBytes = std::max(figures.extraBytes, static_cast<double>(bench::PeakMemoryBytes() - before));
    }
    std::printf(" s\n");
    return figures;
}

std::vector<std::string> ReadFiles(const std::vector<std::string>& paths)
{
    std::vector<std::string> contents;
    for (const std::string& path : paths) {
        std::ifstream in(path, std::ios::binary);
        contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return contents;
}

// The least any split can do for these pieces: create, write, close.
double TimePlainLoop(const std::string& work, const std::vector<std::string>& contents)
{
    static int trial = 0;
    return BestOfThree("the plain loop", [&] {
        const std::string folder = work + "/plain" + std::to_string(++trial);
#ifdef _WIN32
        CreateDirectoryA(folder.c_str(), nullptr);
#else
        ::mkdir(folder.c_str(), 0755);
#endif
        const auto start = std::chrono::steady_clock::now();
        for (size_t i = 0; i < contents.size(); ++i) {
            const std::string piece = folder + "/plain_" + std::to_string(i) + ".csv";
#ifdef _WIN32
            HANDLE f = CreateFileA(piece.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            DWORD written;
            WriteFile(f, contents[i].data(), static_cast<DWORD>(contents[i].size()), &written, nullptr);
            CloseHandle(f);
#else
            const int fd = ::open(piece.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
            if (::write(fd, contents[i].data(), contents[i].size()) < 0) std::perror("write");
            ::close(fd);
#endif
        }
        return bench::SecondsSince(start);
    });
}

}  // namespace

// Many pieces: the input split by its id column, one piece a row, against
// the plain loop writing the same bytes into as many files.
void ComparePieces(const std::string& path, const std::string& work, double target)
{
    const SplitFigures byId = TimeSplit(path, kIdColumn, work);
    const double plain = TimePlainLoop(work, ReadFiles(byId.pieces));
    std::printf("split by id, %zu pieces: %.3f s; plain create-write-close loop of the same files: %.3f s\n",
                byId.pieces.size(), byId.seconds, plain);
    bench::PrintFigure("split / plain loop", byId.seconds / plain, "x", target);
}

int main(int argc, char** argv)
{
    try {
        if (argc == 5 && std::string(argv[1]) == "--pieces") {
            ComparePieces(argv[2], argv[3], std::atof(argv[4]));
            return 0;
        }
        if (argc != 4) {
            std::fprintf(stderr, "usage: quorvel-bench-split BIG.csv SMALL.csv WORKDIR\n"
                                 "       quorvel-bench-split --pieces SMALL.csv WORKDIR TARGET-RATIO\n");
            return 2;
        }
        const std::string big = argv[1], small = argv[2], work = argv[3];
        std::printf("sort, in process (best of three):\n");
        bench::PrintFigure("by prefecture (47 values)", TimeSort(big, kPrefectureColumn, "the sort by prefecture"), "s", 0.1);
        bench::PrintFigure("by id (all distinct)", TimeSort(big, kIdColumn, "the sort by id"), "s", 0.3);

        const SplitFigures byPrefecture = TimeSplit(big, kPrefectureColumn, work);
        const double plain = TimePlainLoop(work, ReadFiles(byPrefecture.pieces));
        std::printf("split by prefecture, in process (best of three): %zu pieces\n", byPrefecture.pieces.size());
        bench::PrintFigure("split", byPrefecture.seconds, "s", 0.08);
        std::printf("  plain create-write-close loop of the same %zu files: %.3f s; split / loop: %.2f x\n",
                    byPrefecture.pieces.size(), plain, byPrefecture.seconds / plain);
        if (byPrefecture.extraBytes >= 0)
            bench::PrintFigure("peak memory beyond the table", byPrefecture.extraBytes / (1 << 20), "MiB", 32);
        ComparePieces(small, work, 1.1);
    } catch (const QuorvelError& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
