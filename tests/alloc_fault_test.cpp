// Memory that runs out in the middle of a command: every allocation of a
// load, a sort and a split is made to fail in turn. Each time the command
// ends with the out-of-memory error and the table is as it was.
//
// This program replaces the global operator new, so it is a test program
// of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <new>

#include "core/csv_open.h"
#include "core/errors.h"
#include "core/row_sort.h"
#include "core/split_writer.h"
#include "fake_file_system.h"
#include "platform/portable_collation.h"

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

TEST(AllocationFailure, LoadLeavesTheTableAsItWas)
{
    int failures = 0;
    for (long k = 0;; ++k) {
        test::FakeFileSystem fs;
        fs.files["old.csv"] = kOld;
        fs.files["new.csv"] = kNew;
        CellTable table;
        table.ChangeColCount(3);
        OpenCsvFile(table, "old.csv", kSjis, fs);
        const std::vector<std::string> before = Snapshot(table);
        bool failed = false;
        {
            FailAfter fail(k);
            try {
                OpenCsvFile(table, "new.csv", kSjis, fs);
            } catch (const OutOfMemoryError& e) {
                failed = true;
                EXPECT_EQ(e.Message(), "メモリが不足しています");
            }
        }
        if (!failed) {
            EXPECT_EQ(table.ReadCell(2, 1), "q\"q") << "the load that did not fail is whole";
            std::printf("load: %ld allocations, each made to fail once\n", k);
            break;
        }
        ++failures;
        EXPECT_EQ(Snapshot(table), before) << "allocation " << k;
        // The program goes on: the same load then succeeds.
        OpenCsvFile(table, "new.csv", kSjis, fs);
        EXPECT_EQ(table.RowCount(), 4);
    }
    EXPECT_GT(failures, 3);
}

TEST(AllocationFailure, SortLeavesTheTableAsItWas)
{
    const PortableCollation collation(kSjis);
    for (long k = 0;; ++k) {
        test::FakeFileSystem fs;
        fs.files["new.csv"] = kNew;
        CellTable table;
        table.ChangeColCount(3);
        OpenCsvFile(table, "new.csv", kSjis, fs);
        const std::vector<std::string> before = Snapshot(table);
        bool failed = false;
        {
            FailAfter fail(k);
            try {
                SortDataRows(table, 0, collation);
            } catch (const std::bad_alloc&) {
                failed = true;
            }
        }
        if (!failed) {
            EXPECT_EQ(table.ReadCell(0, 1), "a");
            std::printf("sort: %ld allocations, each made to fail once\n", k);
            break;
        }
        EXPECT_EQ(Snapshot(table), before) << "allocation " << k;
    }
}

TEST(AllocationFailure, SplitKeepsTheEarlierPiecesAndTheTable)
{
    for (long k = 0;; ++k) {
        test::FakeFileSystem fs;
        fs.files["new.csv"] = kNew;
        CellTable table;
        table.ChangeColCount(3);
        OpenCsvFile(table, "new.csv", kSjis, fs);
        const std::vector<std::string> before = Snapshot(table);
        SplitState state;
        const SplitTarget target{"new.csv", kSjis, PathStyle::Posix(), fs};
        bool failed = false;
        {
            FailAfter fail(k);
            try {
                WriteSplitPieces(table, 0, target, nullptr, state);
            } catch (const std::bad_alloc&) {
                failed = true;
            }
        }
        EXPECT_EQ(Snapshot(table), before) << "allocation " << k;
        // Whatever was written is whole: a piece holds its rows or is absent.
        const std::map<std::string, std::string> whole = {
            {"new_b.csv", "b,1,\"q\"\"q\"\r\n"}, {"new_a.csv", "a,2,\"line\r\nbreak\"\r\n"}, {"new_c.csv", "c,3,x\r\n"}};
        for (const auto& [name, content] : whole) {
            if (const std::string* got = fs.Find(name)) {
                EXPECT_TRUE(got->empty() || *got == content) << name;
            }
        }
        if (!failed) {
            EXPECT_EQ(fs.files.size(), 4u);
            std::printf("split: %ld allocations, each made to fail once\n", k);
            break;
        }
    }
}

}  // namespace
}  // namespace quorvel
