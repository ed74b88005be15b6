#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "DataStructure/DS_Queue.h"
#include "DataStructure/DsTestSupport.h"

namespace {
using DsResultMapTest = DsFixture;

size_t Reports(const std::string& text)
{
    size_t n = 0;
    for (size_t at = text.find("Data structure with index does not exist."); at != std::string::npos;
         at = text.find("Data structure with index does not exist.", at + 1))
        ++n;
    return n;
}

TEST_F(DsResultMapTest, TriplesGiveRealsTextsAndKeepTheFirstOfARepeatedKey)
{
    const int32_t handle = DsMap_CreateFromTriples(4, "id", 5.0, (const char*)nullptr, "status", 1.0,
                                                   (const char*)nullptr, "result", 0.0, "ok", "id", 9.0,
                                                   (const char*)nullptr);
    DsMap* map = DsMap_FromIndex(handle);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->Size(), 3);
    const ScriptValue* id = &map->FindElement(&Val("id"))->value;
    EXPECT_EQ(id->kind, VALUE_REAL);
    EXPECT_EQ(id->real, 5);
    EXPECT_EQ(map->FindElement(&Val("status"))->value.real, 1);
    EXPECT_EQ(StringOf(&map->FindElement(&Val("result"))->value), "ok");

    const int32_t empty = DsMap_CreateFromTriples(0);
    ASSERT_NE(DsMap_FromIndex(empty), nullptr);
    EXPECT_NE(empty, handle);
    EXPECT_TRUE(DsMap_FromIndex(empty)->Empty());
}

TEST_F(DsResultMapTest, TryAddRealAndFromIndexNeedALiveMap)
{
    const int32_t handle = DsMap_Create();
    EXPECT_TRUE(DsMap_TryAddReal(handle, "k", 1));
    EXPECT_TRUE(DsMap_TryAddReal(handle, "k", 2));  // present: true, old value stays
    EXPECT_EQ(DsMap_FromIndex(handle)->FindElement(&Val("k"))->value.real, 1);
    EXPECT_FALSE(DsMap_TryAddReal(handle, nullptr, 1));
    DsMap_Destroy(handle);
    EXPECT_FALSE(DsMap_TryAddReal(handle, "k", 1));
    EXPECT_EQ(DsMap_FromIndex(handle), nullptr);
    EXPECT_EQ(DsMap_FromIndex(-1), nullptr);
    EXPECT_EQ(DsMap_FromIndex(1 << 20), nullptr);
    EXPECT_EQ(Reports(console.text), 0u);
}

// Four producers build result maps at once: every map gets its own handle
// and its own contents.
TEST_F(DsResultMapTest, ResultMapsFromFourThreadsGetDistinctHandles)
{
    constexpr int kThreads = 4, kMaps = 100;
    std::vector<std::vector<int32_t>> made(kThreads);
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load()) std::this_thread::yield();
            for (int i = 0; i < kMaps; ++i) {
                const int32_t map = DsMap_CreateFromTriples(2, "id", double(t * 1000 + i), (const char*)nullptr,
                                                            "status", 0.0, "done");
                made[size_t(t)].push_back(map);
                if (i % 3 == 0) DsMap_Destroy(map);  // slots are reused while others publish
            }
        });
    }
    go = true;
    for (auto& thread : threads) thread.join();
    std::vector<int32_t> live;
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kMaps; ++i) {
            if (i % 3 == 0) continue;
            const int32_t handle = made[size_t(t)][size_t(i)];
            DsMap* map = DsMap_FromIndex(handle);
            ASSERT_NE(map, nullptr);
            EXPECT_EQ(map->FindElement(&Val("id"))->value.real, t * 1000 + i);
            live.push_back(handle);
        }
    }
    std::sort(live.begin(), live.end());
    EXPECT_EQ(std::unique(live.begin(), live.end()), live.end());
}

TEST_F(DsResultMapTest, QueueRoutines)
{
    EXPECT_EQ(DsQueue_Size(-1), 0);
    DsQueue_Clear(-1);
    DsQueue_EnqueueValues(-5, 1, 1.0, (void*)nullptr);
    EXPECT_EQ(console.text, "");  // negative handles are ignored silently

    const int32_t queue = DsQueue_Create();
    int marker = 0;
    DsQueue_EnqueueValues(queue, 2, 2.5, (void*)nullptr, 0.0, (void*)&marker);
    EXPECT_EQ(DsQueue_Size(queue), 2);
    Val out;
    DsQueue_Dequeue(queue, &out);
    EXPECT_EQ(out.v.kind, VALUE_REAL);
    EXPECT_EQ(out.v.real, 2.5);
    DsQueue_Dequeue(queue, &out);
    EXPECT_EQ(out.v.kind, VALUE_PTR);
    EXPECT_EQ(out.v.ptr, &marker);
    DsQueue_Dequeue(queue, &out);
    EXPECT_EQ(out.v.kind, VALUE_UNDEFINED);
    DsQueue_EnqueueValues(queue, 1, 1.0, (void*)nullptr);
    DsQueue_Clear(queue);
    EXPECT_EQ(DsQueue_Size(queue), 0);

    DsQueue_Destroy(queue);
    Val kept(7);
    DsQueue_Dequeue(queue, &kept);
    EXPECT_EQ(kept.v.real, 7);  // untouched after the report
    DsQueue_EnqueueValues(queue, 2, 1.0, (void*)nullptr, 2.0, (void*)nullptr);
    EXPECT_EQ(DsQueue_Size(queue), 0);
    EXPECT_EQ(Reports(console.text), 4u);
}
}  // namespace
