// Sort and split-save figures on a generated file: sorting by a column of
// few values and by the id column, splitting by the prefecture column, and
// splitting by the id column set against a plain loop that creates,
// writes and closes the same files.
//   quorvel-bench-split BIG.csv SMALL.csv WORKDIR (emptied by the caller)
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "core/cell_table.h"
#include "core/csv_open.h"
#include "core/errors.h"
#include "core/row_sort.h"
#include "core/split_writer.h"
#include "core/interface/collation.h"
#include "app/system_services.h"

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
    OpenCsvFile(table, path, SystemCodePage(), NativeFileSystem());
}

// The best of three: the figures of a shared machine vary from run to run.
template <typename Run>
double BestOfThree(Run run)
{
    double best = 1e30;
    for (int i = 0; i < 3; ++i) best = std::min(best, run());
    return best;
}

double TimeSort(const std::string& path, int column)
{
    return BestOfThree([&] {
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

// Each trial splits a fresh copy of the input in a fresh folder, so that
// every piece is a new file.
double TimeSplit(const std::string& path, int column, const std::string& work, size_t& pieces)
{
    static int trial = 0;
    return BestOfThree([&] {
        const std::string input = CopyInto(path, work + "/split" + std::to_string(++trial));
        CellTable table;
        Load(table, input);
        const CodePage codePage = SystemCodePage();
        const SplitTarget target{input, codePage, PathStyle::Native(), NativeFileSystem()};
        SplitState state;
        const auto start = std::chrono::steady_clock::now();
        pieces = WriteSplitPieces(table, column, target, [&](int32_t row) { table.SelectRow(row); }, state).size();
        return bench::SecondsSince(start);
    });
}

// The least any split can do for these pieces: create, write, close.
double TimePlainLoop(const std::string& work, const std::vector<std::string>& contents)
{
    static int trial = 0;
    return BestOfThree([&] {
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

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: quorvel-bench-split BIG.csv SMALL.csv WORKDIR\n");
        return 2;
    }
    const std::string big = argv[1], small = argv[2], work = argv[3];
    try {
        std::printf("sort by prefecture (47 values): %.3f s\n", TimeSort(big, kPrefectureColumn));
        std::printf("sort by id (all distinct):      %.3f s\n", TimeSort(big, kIdColumn));

        size_t pieces = 0;
        const double byPrefecture = TimeSplit(big, kPrefectureColumn, work, pieces);
        std::printf("split by prefecture: %zu pieces in %.3f s\n", pieces, byPrefecture);

        const double byId = TimeSplit(small, kIdColumn, work, pieces);
        // The same number of files, each the size of one row.
        CellTable table;
        Load(table, small);
        std::vector<std::string> contents;
        std::string line;
        for (int32_t r = 1; r < table.RowCount(); ++r) {
            BuildRowLine(table, r, SystemCodePage(), line);
            contents.push_back(line + "\r\n");
        }
        const double plain = TimePlainLoop(work, contents);
        std::printf("split by id: %zu pieces in %.3f s; plain create-write-close loop %.3f s; ratio %.2f\n", pieces,
                    byId, plain, byId / plain);
    } catch (const QuorvelError& e) {
        std::fprintf(stderr, "failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
