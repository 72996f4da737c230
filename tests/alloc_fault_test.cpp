// Memory that runs out in the middle of a command: every allocation of a
// load, a sort and a split is made to fail in turn. Each time the command
// ends with the out-of-memory error and the table is as it was.
//
// This program replaces the global operator new, so it is a test program
// of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <map>
#include <cstdio>
#include <new>

#include "core/read/csv_open.h"
#include "core/errors.h"
#include "core/table/row_sort.h"
#include "core/split/split_writer.h"
#include "fake_file_system.h"
#include "core/text/portable_collation.h"

// The replacement pairs operator new with malloc and delete with free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
// Allocations left before one fails; negative: none fails.
std::atomic<long> allocationsLeft{-1};
}  // namespace

void* operator new(size_t size)
{
    if (allocationsLeft.load() >= 0 && allocationsLeft.fetch_sub(1) == 0) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace quorvel {
namespace {

const CodePage kSjis = CodePage::ShiftJis();

class FailAfter {
public:
    explicit FailAfter(long allocations) { allocationsLeft = allocations; }
    ~FailAfter() { allocationsLeft = -1; }
    static bool Spent() { return allocationsLeft.load() < 0; }
};

std::vector<std::string> Snapshot(const CellTable& table)
{
    std::vector<std::string> cells = {std::to_string(table.RowCount()), std::to_string(table.ColCount())};
    for (int32_t r = 0; r < table.RowCount(); ++r)
        for (int32_t c = 0; c < table.ColCount(); ++c) cells.emplace_back(table.ReadCell(c, r));
    return cells;
}

const char* kOld = "h1,h2,h3\r\nz,1,x\r\ny,2,\"a,b\"\r\n";
const char* kNew = "k,v,w\r\nb,1,\"q\"\"q\"\r\na,2,\"line\nbreak\"\r\nc,3,x\r\n";

// A table of three columns loaded from `name` of the file system.
void Load(CellTable& table, test::FakeFileSystem& fs, const char* name)
{
    table.ChangeColCount(3);
    OpenCsvFile(table, name, kSjis, fs);
}

// Runs the command with its k-th allocation failing; true when it failed
// for want of memory, which it must report as such.
bool FailsAt(long k, const std::function<void()>& command)
{
    FailAfter fail(k);
    try {
        command();
        return false;
    } catch (const OutOfMemoryError& e) {
        EXPECT_EQ(e.Message(), "メモリが不足しています");
        return true;
    } catch (const std::bad_alloc&) {
        return true;
    }
}

TEST(AllocationFailure, LoadLeavesTheTableAsItWas)
{
    long k = 0;
    for (;; ++k) {
        test::FakeFileSystem fs;
        fs.files["old.csv"] = kOld;
        fs.files["new.csv"] = kNew;
        CellTable table;
        Load(table, fs, "old.csv");
        const std::vector<std::string> before = Snapshot(table);
        if (!FailsAt(k, [&] { OpenCsvFile(table, "new.csv", kSjis, fs); })) {
            EXPECT_EQ(table.ReadCell(2, 1), "q\"q") << "the load that did not fail is whole";
            break;
        }
        EXPECT_EQ(Snapshot(table), before) << "allocation " << k;
        // The program goes on: the same load then succeeds.
        OpenCsvFile(table, "new.csv", kSjis, fs);
        EXPECT_EQ(table.RowCount(), 4);
    }
    std::printf("load: %ld allocations, each made to fail once\n", k);
    EXPECT_GT(k, 3);
}

TEST(AllocationFailure, SortLeavesTheTableAsItWas)
{
    const PortableCollation collation(kSjis);
    long k = 0;
    for (;; ++k) {
        test::FakeFileSystem fs;
        fs.files["new.csv"] = kNew;
        CellTable table;
        Load(table, fs, "new.csv");
        const std::vector<std::string> before = Snapshot(table);
        if (!FailsAt(k, [&] { SortDataRows(table, 0, collation); })) {
            EXPECT_EQ(table.ReadCell(0, 1), "a");
            break;
        }
        EXPECT_EQ(Snapshot(table), before) << "allocation " << k;
    }
    std::printf("sort: %ld allocations, each made to fail once\n", k);
}

TEST(AllocationFailure, SplitKeepsTheEarlierPiecesAndTheTable)
{
    // Whatever was written is whole: a piece holds its rows or is absent.
    const std::map<std::string, std::string> whole = {
        {"new_b.csv", "b,1,\"q\"\"q\"\r\n"}, {"new_a.csv", "a,2,\"line\r\nbreak\"\r\n"}, {"new_c.csv", "c,3,x\r\n"}};
    long k = 0;
    for (;; ++k) {
        test::FakeFileSystem fs;
        fs.files["new.csv"] = kNew;
        CellTable table;
        Load(table, fs, "new.csv");
        const std::vector<std::string> before = Snapshot(table);
        SplitState state;
        const SplitTarget target{"new.csv", kSjis, PathStyle::Posix(), fs};
        const bool failed = FailsAt(k, [&] { WriteSplitPieces(table, 0, target, nullptr, state); });
        EXPECT_EQ(Snapshot(table), before) << "allocation " << k;
        for (const auto& [name, content] : whole) {
            if (const std::string* got = fs.Find(name)) {
                EXPECT_TRUE(got->empty() || *got == content) << name;
            }
        }
        if (!failed) {
            EXPECT_EQ(fs.files.size(), 4u);
            break;
        }
    }
    std::printf("split: %ld allocations, each made to fail once\n", k);
}

}  // namespace
}  // namespace quorvel
