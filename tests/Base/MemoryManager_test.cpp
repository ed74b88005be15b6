#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Base/Thread.h"

namespace {
// Collects what the manager writes to LogConsole.
struct LogCapture {
    TErrStreamConsole console;
    tagIConsole* saved = LogConsole;
    LogCapture() { LogConsole = &console; }
    ~LogCapture() { LogConsole = saved; }
    std::string Text() const { return console.Text(); }
};

const char kForeignFree[] = "Why are we freeing a block that we didn't alloc?!\n";
const char kForeignRealloc[] = "Why are we reallocing a block that we didn't alloc?!\n";

bool AllBytes(const void* p, size_t from, size_t to, uint8_t value)
{
    const auto* bytes = static_cast<const uint8_t*>(p);
    for (size_t i = from; i < to; ++i)
        if (bytes[i] != value) return false;
    return true;
}

// Makes p + offset an inner pointer of the header block p.
void* MarkInner(void* p, uint32_t offset)
{
    const uint32_t word = 0x80000000u | offset;
    std::memcpy(static_cast<char*>(p) + offset - 4, &word, 4);
    return static_cast<char*>(p) + offset;
}
}  // namespace

TEST(MemoryManager, ZeroSizesGiveNull)
{
    EXPECT_EQ(QS_ALLOC(0, true), nullptr);
    EXPECT_EQ(QS_REALLOC(nullptr, 0), nullptr);
    QS_FREE(nullptr);  // ignored
    EXPECT_FALSE(MemoryManager::IsAllocated(nullptr));
}

TEST(MemoryManager, SmallRequestsTakeTheSmallestFittingCell)
{
    struct Case {
        size_t request;
        int cell;
    };
    const Case cases[] = {{1, 8}, {8, 8}, {9, 16}, {16, 16}, {17, 32}, {24, 32}, {33, 64},
                          {64, 64}, {65, 128}, {128, 128}, {129, 256}, {256, 256}};
    const int64_t total = MemoryManager::TotalHeaderBytes();
    for (const Case& c : cases) {
        void* p = QS_ALLOC(c.request, false);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(MemoryManager::PoolCellSize(p), c.cell) << c.request;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % std::min(c.cell, 16), 0u) << c.request;
        EXPECT_FALSE(MemoryManager::IsAllocated(p)) << "a pool cell has no header";
        std::memset(p, 0xAB, c.cell);  // the whole cell is usable
        QS_FREE(p);
    }
    EXPECT_EQ(MemoryManager::TotalHeaderBytes(), total) << "pool cells are not counted";
}

TEST(MemoryManager, ClearZeroesTheWholeCell)
{
    void* p = QS_ALLOC(24, false);
    std::memset(p, 0xAB, 32);
    QS_FREE(p);
    void* q = QS_ALLOC(20, true);
    ASSERT_EQ(q, p) << "a freed cell heads its pool's free list";
    EXPECT_TRUE(AllBytes(q, 0, 32, 0));
    QS_FREE(q);
}

TEST(MemoryManager, PoolsGrowBeyondOneSlabAndTakeEveryCellBack)
{
    std::vector<void*> cells;
    for (int i = 0; i < 20000; ++i) {  // more than the 16383 cells of one slab
        void* p = QS_ALLOC(8, false);
        ASSERT_NE(p, nullptr);
        std::memcpy(p, &i, sizeof i);
        cells.push_back(p);
    }
    for (int i = 0; i < 20000; ++i) {
        int value;
        std::memcpy(&value, cells[i], sizeof value);
        ASSERT_EQ(value, i) << "cells overlap";
        ASSERT_EQ(MemoryManager::PoolCellSize(cells[i]), 8);
    }
    for (void* p : cells) QS_FREE(p);
    LogCapture log;
    void* again = QS_ALLOC(8, false);
    QS_FREE(again);
    EXPECT_EQ(log.Text(), "");
}

TEST(MemoryManager, LargeRequestsTakeAlignedHeaderBlocksCountedInTheTotal)
{
    const int64_t total = MemoryManager::TotalHeaderBytes();
    void* p = QS_ALLOC(257, true);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(MemoryManager::PoolCellSize(p), 0);
    EXPECT_TRUE(MemoryManager::IsAllocated(p));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u);
    EXPECT_TRUE(AllBytes(p, 0, 257, 0));
    EXPECT_EQ(MemoryManager::TotalHeaderBytes(), total + 257);
    QS_FREE(p);
    EXPECT_EQ(MemoryManager::TotalHeaderBytes(), total);
}

TEST(MemoryManager, SizesBeyondTheHeaderSizeWordGiveNull)
{
    EXPECT_EQ(QS_ALLOC(0xFFFFFFEFull, false), nullptr);
    EXPECT_EQ(QS_ALLOC(size_t{1} << 40, false), nullptr);
    void* p = QS_ALLOC(300, false);
    EXPECT_EQ(QS_REALLOC(p, size_t{1} << 40), nullptr);
    EXPECT_TRUE(MemoryManager::IsAllocated(p)) << "a failed growth keeps the old block";
    QS_FREE(p);
}

TEST(MemoryManager, ReallocNeverShrinks)
{
    void* cell = QS_ALLOC(20, false);
    EXPECT_EQ(QS_REALLOC(cell, 30), cell) << "the 32-byte cell already holds 30 bytes";
    EXPECT_EQ(QS_REALLOC(cell, 4), cell);
    void* block = QS_ALLOC(300, false);
    EXPECT_EQ(QS_REALLOC(block, 300), block);
    EXPECT_EQ(QS_REALLOC(block, 10), block);
    QS_FREE(cell);
    QS_FREE(block);
}

TEST(MemoryManager, GrowingAHeaderBlockCopiesAndZeroFills)
{
    void* p = QS_ALLOC(300, false);
    std::memset(p, 0x5A, 300);
    const int64_t total = MemoryManager::TotalHeaderBytes();
    void* q = QS_REALLOC(p, 500);
    ASSERT_NE(q, nullptr);
    EXPECT_NE(q, p);
    EXPECT_TRUE(AllBytes(q, 0, 300, 0x5A));
    EXPECT_TRUE(AllBytes(q, 300, 500, 0));
    EXPECT_EQ(MemoryManager::TotalHeaderBytes(), total + 200);
    EXPECT_FALSE(MemoryManager::IsAllocated(p));
    QS_FREE(q);
}

TEST(MemoryManager, BlocksGrowingPastAMegabyteKeepTheirBytesAndClearTheRest)
{
    constexpr size_t kStart = 300000, kMiddle = size_t{3} << 20, kEnd = size_t{9} << 20;
    auto* p = static_cast<uint8_t*>(QS_ALLOC(kStart, false));
    std::memset(p, 0x5A, kStart);
    const int64_t total = MemoryManager::TotalHeaderBytes();
    // The first growth moves the block to mapped pages, the later ones extend those.
    auto* q = static_cast<uint8_t*>(QS_REALLOC(p, kMiddle));
    ASSERT_NE(q, nullptr);
    EXPECT_TRUE(AllBytes(q, 0, kStart, 0x5A));
    EXPECT_TRUE(AllBytes(q, kStart, kMiddle, 0));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(q) % 16, 0u);
    EXPECT_TRUE(MemoryManager::IsAllocated(q));
    EXPECT_EQ(MemoryManager::TotalHeaderBytes(), total + int64_t(kMiddle - kStart));
    std::memset(q + kMiddle - 10, 0x33, 10);
    void* inner = MarkInner(q, 64);
    EXPECT_TRUE(MemoryManager::IsAllocated(inner));

    EXPECT_EQ(QS_REALLOC(q, kStart), q) << "blocks never shrink";
    auto* r = static_cast<uint8_t*>(QS_REALLOC(q, kEnd));
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(AllBytes(r, 0, 60, 0x5A));
    EXPECT_TRUE(AllBytes(r, kMiddle - 10, kMiddle, 0x33));
    EXPECT_TRUE(AllBytes(r, kMiddle, kEnd, 0));
    EXPECT_TRUE(MemoryManager::IsAllocated(r));
    if (r != q) {
        EXPECT_FALSE(MemoryManager::IsAllocated(q));
    }
    EXPECT_EQ(MemoryManager::TotalHeaderBytes(), total + int64_t(kEnd - kStart));

    void* slot = r;
    EXPECT_FALSE(MemoryManager::ReallocPtr(&slot, size_t{1} << 40, __FILE__, __LINE__));
    EXPECT_EQ(slot, r);
    EXPECT_TRUE(AllBytes(r, kMiddle - 10, kMiddle, 0x33)) << "a failed growth keeps the block";
    QS_FREE(r);
    EXPECT_FALSE(MemoryManager::IsAllocated(r));
    EXPECT_EQ(MemoryManager::TotalHeaderBytes(), total - int64_t(kStart));
}

TEST(MemoryManager, GrowingACellCopiesTheWholeCellAndReturnsIt)
{
    void* p = QS_ALLOC(24, false);
    std::memset(p, 0x33, 32);
    void* q = QS_REALLOC(p, 40);
    ASSERT_NE(q, p);
    EXPECT_EQ(MemoryManager::PoolCellSize(q), 64);
    EXPECT_TRUE(AllBytes(q, 0, 32, 0x33));
    EXPECT_TRUE(AllBytes(q, 32, 64, 0));
    void* reused = QS_ALLOC(24, false);
    EXPECT_EQ(reused, p) << "the old cell went back to its pool";
    void* big = QS_REALLOC(q, 1000);
    EXPECT_TRUE(MemoryManager::IsAllocated(big));
    EXPECT_TRUE(AllBytes(big, 0, 32, 0x33));
    EXPECT_TRUE(AllBytes(big, 64, 1000, 0));
    QS_FREE(reused);
    QS_FREE(big);
}

TEST(MemoryManager, ReallocOfNullAllocatesZeroed)
{
    void* p = QS_REALLOC(nullptr, 200);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(AllBytes(p, 0, 200, 0));
    void* slot = nullptr;
    MemoryManager::ReallocPtr(&slot, 400, __FILE__, __LINE__);
    EXPECT_TRUE(MemoryManager::IsAllocated(slot));
    QS_FREE(p);
    QS_FREE(slot);
}

TEST(MemoryManager, FailedReallocPtrKeepsTheOldBlockInItsSlot)
{
    LogCapture log;
    char* block = static_cast<char*>(QS_ALLOC(300, false));
    std::memset(block, 0x5A, 300);
    void* slot = block;
    EXPECT_FALSE(MemoryManager::ReallocPtr(&slot, 0xFFFFFFF8u, __FILE__, __LINE__));  // size + header overflows
    ASSERT_EQ(slot, block);
    EXPECT_TRUE(MemoryManager::IsAllocated(slot));
    EXPECT_TRUE(AllBytes(slot, 0, 300, 0x5A));
    EXPECT_TRUE(MemoryManager::ReallocPtr(&slot, 600, __FILE__, __LINE__));
    EXPECT_NE(slot, block);
    EXPECT_TRUE(AllBytes(slot, 0, 300, 0x5A));
    QS_FREE(slot);

    int foreign = 0;
    slot = &foreign;
    EXPECT_FALSE(MemoryManager::ReallocPtr(&slot, 64, __FILE__, __LINE__));
    EXPECT_EQ(slot, &foreign);
}

TEST(MemoryManager, InnerPointersOfHeaderBlocksAreKnownAndNeverMoveOrFree)
{
    LogCapture log;
    void* block = QS_ALLOC(1000, true);
    const int64_t total = MemoryManager::TotalHeaderBytes();
    void* inner = MarkInner(block, 64);
    EXPECT_TRUE(MemoryManager::IsAllocated(inner));
    QS_FREE(inner);
    EXPECT_TRUE(MemoryManager::IsAllocated(block));
    EXPECT_EQ(MemoryManager::TotalHeaderBytes(), total);
    EXPECT_EQ(QS_REALLOC(inner, 100000), inner);
    EXPECT_EQ(log.Text(), "");

    // The word in front must name exactly the distance to the block.
    const uint32_t wrong = 0x80000000u | 32;
    std::memcpy(static_cast<char*>(block) + 200 - 4, &wrong, 4);
    EXPECT_FALSE(MemoryManager::IsAllocated(static_cast<char*>(block) + 200));
    QS_FREE(block);
    EXPECT_FALSE(MemoryManager::IsAllocated(inner));
}

TEST(MemoryManager, InnerOffsetsStopAt8192)
{
    void* block = QS_ALLOC(9000, true);
    EXPECT_TRUE(MemoryManager::IsAllocated(MarkInner(block, 8188)));
    EXPECT_FALSE(MemoryManager::IsAllocated(MarkInner(block, 8196)));
    QS_FREE(block);
}

TEST(MemoryManager, ForeignPointersAreRefusedAndNeverFreed)
{
    static char staticData[64];
    char stackData[64];
    char* heap = static_cast<char*>(std::malloc(64));
    void* cell = QS_ALLOC(32, false);
    void* freedBlock = QS_ALLOC(500, false);
    QS_FREE(freedBlock);
    void* const foreign[] = {staticData, stackData, heap, heap + 16, static_cast<char*>(cell) + 8, freedBlock};
    for (void* p : foreign) {
        LogCapture log;
        EXPECT_FALSE(MemoryManager::IsAllocated(p));
        EXPECT_EQ(MemoryManager::PoolCellSize(p), 0);
        QS_FREE(p);
        EXPECT_EQ(log.Text(), kForeignFree);
    }
    for (void* p : foreign) {
        LogCapture log;
        EXPECT_EQ(QS_REALLOC(p, 1000), nullptr);
        EXPECT_EQ(log.Text(), kForeignRealloc);
    }
    std::free(heap);  // still ours to free: the manager never handed it to free()
    QS_FREE(cell);
}

TEST(MemoryManager, ReportUsageWritesTheTotal)
{
    void* block = QS_ALLOC(5000, false);
    LogCapture log;
    const long long total = MemoryManager::TotalHeaderBytes();
    MemoryManager::ReportUsage();
    char expected[128];
    std::snprintf(expected, sizeof expected, "Total memory used = %lld(0x%08llx) bytes\n", total,
                  static_cast<unsigned long long>(total));
    EXPECT_EQ(log.Text(), expected);
    QS_FREE(block);
}

TEST(MemoryManager, ThreadsAllocateConcurrently)
{
    struct Work {
        int seed;
        bool ok;
    };
    auto body = [](Thread* thread) -> int {
        auto* work = static_cast<Work*>(thread->UserData());
        std::vector<uint8_t*> blocks;
        for (int round = 0; round < 2000; ++round) {
            const size_t size = 1 + static_cast<size_t>((round * 37 + work->seed * 11) % 600);
            auto* p = static_cast<uint8_t*>(QS_ALLOC(size, false));
            std::memset(p, work->seed, size);
            blocks.push_back(p);
            if (blocks.size() > 50) {
                uint8_t* old = blocks.front();
                blocks.erase(blocks.begin());
                old = static_cast<uint8_t*>(QS_REALLOC(old, 700));
                if (old[0] != work->seed || old[699] != 0) work->ok = false;
                QS_FREE(old);
            }
        }
        for (uint8_t* p : blocks) {
            if (p[0] != work->seed) work->ok = false;
            QS_FREE(p);
        }
        return 0;
    };
    const int64_t total = MemoryManager::TotalHeaderBytes();
    Work work[4] = {{1, true}, {2, true}, {3, true}, {4, true}};
    Thread threads[4];
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(threads[i].Start(body, &work[i]));
    for (int i = 0; i < 4; ++i) {
        threads[i].Join();
        EXPECT_TRUE(work[i].ok) << i;
    }
    EXPECT_EQ(MemoryManager::TotalHeaderBytes(), total);
}

#if defined(__SANITIZE_ADDRESS__)
TEST(MemoryManagerDeathTest, UseOfAFreedCellIsCaughtBySanitizerBuilds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto* p = static_cast<volatile char*>(QS_ALLOC(48, false));
    QS_FREE(const_cast<char*>(p));
    EXPECT_DEATH(p[40] = 1, "use-after-poison");
}

TEST(MemoryManagerDeathTest, WritesPastAMappedBlockAreCaughtBySanitizerBuilds)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    void* block = QS_ALLOC(1000, false);
    auto* p = static_cast<volatile char*>(QS_REALLOC(block, (size_t{1} << 20) + 100));
    p[(1 << 20) + 99] = 1;
    EXPECT_DEATH(p[(1 << 20) + 100] = 1, "use-after-poison");
    QS_FREE(const_cast<char*>(p));
}
#endif
