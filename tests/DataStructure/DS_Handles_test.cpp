#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "DataStructure/DsTestSupport.h"

namespace {
using DsHandlesTest = DsFixture;

TEST_F(DsHandlesTest, DestroyedSlotsAreReusedLowestFirst)
{
    const int32_t base = DsListTable.count;
    const int32_t a = DsList_Create(), b = DsList_Create(), c = DsList_Create();
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(c, a + 2);
    EXPECT_TRUE(DsList_Destroy(b));
    EXPECT_FALSE(DsList_Destroy(b));
    EXPECT_EQ(DsList_Create(), b);
    EXPECT_EQ(DsListTable.count, std::max(base, c + 1));
}

TEST_F(DsHandlesTest, TablesStartAtSixteenSlotsAndDouble)
{
    DsHandleTable<int> table;
    std::vector<int> items(33);
    for (int i = 0; i < 16; ++i) table.Store(&items[static_cast<size_t>(i)]);
    EXPECT_EQ(table.capacity, 16);
    EXPECT_EQ(table.Store(&items[16]), 16);
    EXPECT_EQ(table.capacity, 32);
    for (int i = 17; i < 33; ++i) EXPECT_EQ(table.Store(&items[static_cast<size_t>(i)]), i);
    EXPECT_EQ(table.capacity, 64);
    EXPECT_EQ(table.Take(3), &items[3]);
    EXPECT_EQ(table.Get(3), nullptr);
    EXPECT_EQ(table.Get(33), nullptr);  // above the count
    EXPECT_EQ(table.Get(-1), nullptr);
    EXPECT_EQ(table.Alloc(), 3);
    // Emptied slots come back lowest first, whatever order they emptied in.
    EXPECT_EQ(table.Take(20), &items[20]);
    EXPECT_EQ(table.Take(1), &items[1]);
    EXPECT_EQ(table.Store(&items[1]), 1);
    EXPECT_EQ(table.Store(&items[3]), 3);
    EXPECT_EQ(table.Store(&items[20]), 20);
    EXPECT_EQ(table.Alloc(), 33);
    QS_FREE(table.slots);
}

TEST_F(DsHandlesTest, ExistsChecksTypeAndHandle)
{
    const int32_t list = DsList_Create(), stack = DsStack_Create();
    struct Case {
        int32_t handle, type;
        bool exists;
    } cases[] = {
        {list, DS_TYPE_LIST, true}, {stack, DS_TYPE_STACK, true}, {list, 7, false},
        {-1, DS_TYPE_MAP, false},   {1 << 20, DS_TYPE_LIST, false},
    };
    for (const Case& c : cases) EXPECT_EQ(Ds_Exists(c.handle, c.type), c.exists) << c.handle << " " << c.type;
    DsList_Destroy(list);
    EXPECT_FALSE(Ds_Exists(list, DS_TYPE_LIST));
    EXPECT_EQ(console.text, "");
}

TEST_F(DsHandlesTest, NativeHelpersReportHandlesThatNameNothing)
{
    const int32_t gone = DsList_Create();
    DsList_Destroy(gone);
    DsList_AddInt64Value(gone, 1);
    DsMap_AddRealValue(-1, "k", 1);
    DsMap_Clear(1 << 20);
    EXPECT_FALSE(DsMap_LockedAddReal(-1, "k", 1));
    size_t reports = 0;
    for (size_t at = console.text.find("Data structure with index does not exist."); at != std::string::npos;
         at = console.text.find("Data structure with index does not exist.", at + 1))
        ++reports;
    EXPECT_EQ(reports, 3u);
}

TEST_F(DsHandlesTest, NativeHelpersFillMapsAndLists)
{
    const int32_t map = DsMap_Create(), list = DsList_Create();
    DsMap_AddRealValue(map, "r", 1.5);
    DsMap_AddIntValue(map, "i", 2);
    DsMap_AddInt64Value(map, "l", int64_t{1} << 40);
    DsMap_AddStringValue(map, "s", "text");
    DsMap_AddRealValue(map, "r", 9);  // present: not replaced
    EXPECT_TRUE(DsMap_LockedAddString(map, "t", "more"));
    EXPECT_FALSE(DsMap_LockedAddReal(map, "t", 1));
    DsMap* m = DsMapTable.Get(map);
    EXPECT_EQ(m->FindElement(&Val("r"))->value.real, 1.5);
    EXPECT_EQ(m->FindElement(&Val("i"))->value.kind, VALUE_REAL);
    EXPECT_EQ(m->FindElement(&Val("l"))->value.i64, int64_t{1} << 40);
    EXPECT_EQ(StringOf(&m->FindElement(&Val("t"))->value), "more");
    DsList_AddInt64Value(list, 5);
    EXPECT_EQ(DsListTable.Get(list)->GetItem(0)->Kind(), static_cast<uint32_t>(VALUE_INT64));
}

// Threads other than the main one create and fill maps through the helpers.
TEST_F(DsHandlesTest, ThreadsCreateAndFillMapsConcurrently)
{
    constexpr int kThreads = 2, kMaps = 200, kKeys = 8;
    std::vector<std::vector<int32_t>> made(kThreads);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < kMaps; ++i) {
                const int32_t map = DsMap_Create();
                for (int k = 0; k < kKeys; ++k) DsMap_LockedAddReal(map, std::to_string(k).c_str(), t * 1000 + i);
                made[static_cast<size_t>(t)].push_back(map);
            }
        });
    }
    go = true;
    // Meanwhile the main thread walks the table as game code would.
    for (int round = 0; round < 200; ++round) {
        DsMutexLock lock;
        for (int32_t h = 0; h < DsMapTable.count; ++h) {
            if (DsMap* m = DsMapTable.Get(h)) {
                ASSERT_LE(m->Size(), kKeys);
            }
        }
    }
    for (auto& thread : threads) thread.join();
    std::vector<int32_t> all;
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kMaps; ++i) {
            const int32_t handle = made[static_cast<size_t>(t)][static_cast<size_t>(i)];
            DsMap* m = DsMapTable.Get(handle);
            ASSERT_NE(m, nullptr);
            EXPECT_EQ(m->Size(), kKeys);
            EXPECT_EQ(m->FindElement(&Val("3"))->value.real, t * 1000 + i);
            all.push_back(handle);
        }
    }
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::unique(all.begin(), all.end()), all.end());
}
}  // namespace
