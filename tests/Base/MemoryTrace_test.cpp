#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Base/MemoryManager.h"
#include "Base/Thread.h"

namespace {
struct Record {
    std::string tag;
    std::string payload;
};

uint32_t U32(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s[at + i]);
    return v;
}

std::vector<Record> ReadRecords(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<Record> records;
    size_t at = 0;
    while (at + 8 <= bytes.size()) {
        const uint32_t n = U32(bytes, at + 4);
        EXPECT_LE(at + 8 + n, bytes.size()) << "record cut short";
        records.push_back({bytes.substr(at, 4), bytes.substr(at + 8, n)});
        at += 8 + n;
    }
    EXPECT_EQ(at, bytes.size());
    return records;
}

// The pointer field: high word, then low word.
uintptr_t PointerAt(const std::string& payload, size_t at)
{
    return (static_cast<uint64_t>(U32(payload, at)) << 32) | U32(payload, at + 4);
}

struct Alloc {
    uintptr_t block;
    uint64_t size;
    int32_t label;
    int32_t frames;
};

Alloc ParseAlloc(const Record& r)
{
    EXPECT_EQ(r.tag, "ALLC");
    EXPECT_EQ(r.payload.size(), 24u);
    return {PointerAt(r.payload, 0), U32(r.payload, 8) | (static_cast<uint64_t>(U32(r.payload, 12)) << 32),
            static_cast<int32_t>(U32(r.payload, 16)), static_cast<int32_t>(U32(r.payload, 20))};
}

uintptr_t Addr(const void* p)
{
    return reinterpret_cast<uintptr_t>(p);
}

struct MemoryTraceTest : ::testing::Test {
    // Tests run as parallel processes: one file each.
    std::string path = ::testing::TempDir() + "qs_memory_trace_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin";
    void SetUp() override { Thread_MarkMainThread(); }
    void TearDown() override
    {
        MemoryManager::DetachTraceFile();
        std::remove(path.c_str());
    }

    // A labelled cell, a block without label, a free, a grow and an event.
    std::vector<Record> TraceSession(int capacity, const std::string& eventText)
    {
        EXPECT_TRUE(MemoryManager::AttachTraceFile(path.c_str(), capacity));
        MemoryManager::PushLabel("WAD file");
        void* cell = QS_ALLOC(40, false);
        MemoryManager::PopLabel();
        void* block = QS_ALLOC(300, false);
        QS_FREE(cell);
        void* grown = QS_REALLOC(block, 600);
        MemoryManager::TraceEvent("SwitchRoom to %s", eventText.c_str());
        MemoryManager::DetachTraceFile();
        QS_FREE(grown);  // after detaching: not traced
        cells = {Addr(cell), Addr(block), Addr(grown)};
        return ReadRecords(path);
    }
    std::vector<uintptr_t> cells;
};
}  // namespace

TEST_F(MemoryTraceTest, RecordsRoundTrip)
{
    const auto records = TraceSession(0, "room0");
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[0].tag, "NAME");
    EXPECT_EQ(records[0].payload, "WAD file");
    const Alloc labelled = ParseAlloc(records[1]);
    EXPECT_EQ(labelled.block, cells[0]);
    EXPECT_EQ(labelled.size, 40u);
    EXPECT_EQ(labelled.label, 0);
    EXPECT_EQ(labelled.frames, 0);
    const Alloc plain = ParseAlloc(records[2]);
    EXPECT_EQ(plain.block, cells[1]);
    EXPECT_EQ(plain.size, 300u);
    EXPECT_EQ(plain.label, -1);
    EXPECT_EQ(records[3].tag, "FREE");
    EXPECT_EQ(PointerAt(records[3].payload, 0), cells[0]);
    // A grow is the new block's allocation, then the old block's free.
    const Alloc grown = ParseAlloc(records[4]);
    EXPECT_EQ(grown.block, cells[2]);
    EXPECT_EQ(grown.size, 600u);
    EXPECT_EQ(records[5].tag, "FREE");
    EXPECT_EQ(PointerAt(records[5].payload, 0), cells[1]);
    EXPECT_EQ(records[6].tag, "EVNT");
    EXPECT_EQ(records[6].payload, "SwitchRoom to room0");
}

TEST_F(MemoryTraceTest, BufferedWritesGiveTheSameRecordsAndCutLongEvents)
{
    const std::string longText(700, 'r');
    for (int capacity : {16, 64, 4096}) {
        const auto records = TraceSession(capacity, longText);
        ASSERT_EQ(records.size(), 7u) << capacity;
        EXPECT_EQ(records[0].payload, "WAD file");
        EXPECT_EQ(ParseAlloc(records[4]).size, 600u);
        EXPECT_EQ(records[6].payload, ("SwitchRoom to " + longText).substr(0, 511)) << capacity;
    }
}

TEST_F(MemoryTraceTest, EachNameGetsOneIdAcrossMapGrowth)
{
    ASSERT_TRUE(MemoryManager::AttachTraceFile(path.c_str(), 0));
    char label[32];  // one reused buffer, as the chunk-tag labels are
    std::vector<void*> blocks;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 40; ++i) {
            std::snprintf(label, sizeof label, "label %d", i);
            MemoryManager::PushLabel(label);
            blocks.push_back(QS_ALLOC(16, false));
            MemoryManager::PopLabel();
        }
    }
    MemoryManager::DetachTraceFile();
    for (void* p : blocks) QS_FREE(p);

    // First pass: each name's record, then its first use. Second pass: uses only.
    const auto records = ReadRecords(path);
    ASSERT_EQ(records.size(), 120u);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(records[2 * i].tag, "NAME");
        EXPECT_EQ(records[2 * i].payload, "label " + std::to_string(i));
        EXPECT_EQ(ParseAlloc(records[2 * i + 1]).label, i);
        EXPECT_EQ(ParseAlloc(records[80 + i]).label, i) << "the second pass reuses the first pass's ids";
    }
}

TEST_F(MemoryTraceTest, LabelsBelongToTheMainThreadOnly)
{
    ASSERT_TRUE(MemoryManager::AttachTraceFile(path.c_str(), 0));
    MemoryManager::PushLabel("main");
    void* workerBlock = nullptr;
    Thread worker;
    ASSERT_TRUE(worker.Start(
        [](Thread* t) -> int {
            MemoryManager::PushLabel("worker");  // ignored off the main thread
            *static_cast<void**>(t->UserData()) = QS_ALLOC(8, false);
            return 0;
        },
        &workerBlock));
    worker.Join();
    void* mainBlock = QS_ALLOC(8, false);
    MemoryManager::PopLabel();
    MemoryManager::DetachTraceFile();
    QS_FREE(workerBlock);
    QS_FREE(mainBlock);

    const auto records = ReadRecords(path);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(ParseAlloc(records[0]).label, -1) << "a worker's allocation has no label";
    EXPECT_EQ(records[1].tag, "NAME");
    EXPECT_EQ(records[1].payload, "main");
    EXPECT_EQ(ParseAlloc(records[2]).label, 0);
}

TEST_F(MemoryTraceTest, LabelDepthBeyond31KeepsTheDeepestStoredLabel)
{
    ASSERT_TRUE(MemoryManager::AttachTraceFile(path.c_str(), 0));
    static char labels[34][8];
    for (int i = 1; i <= 33; ++i) {
        std::snprintf(labels[i], sizeof labels[i], "L%d", i);
        MemoryManager::PushLabel(labels[i]);
    }
    void* deep = QS_ALLOC(8, false);
    for (int i = 0; i < 40; ++i) MemoryManager::PopLabel();  // more pops than pushes
    MemoryManager::PushLabel("again");
    void* shallow = QS_ALLOC(8, false);
    MemoryManager::PopLabel();
    void* none = QS_ALLOC(8, false);
    MemoryManager::DetachTraceFile();
    QS_FREE(deep);
    QS_FREE(shallow);
    QS_FREE(none);

    const auto records = ReadRecords(path);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].payload, "L31");
    EXPECT_EQ(ParseAlloc(records[1]).label, 0);
    EXPECT_EQ(records[2].payload, "again");
    EXPECT_EQ(ParseAlloc(records[3]).label, 1);
    EXPECT_EQ(ParseAlloc(records[4]).label, -1);
}

TEST_F(MemoryTraceTest, AttachingStartsAFreshFileAndBadPathsFail)
{
    TraceSession(0, "first");
    const auto records = TraceSession(0, "second");
    ASSERT_EQ(records.size(), 7u) << "the file was emptied";
    EXPECT_EQ(records[0].payload, "WAD file") << "names restart with the file";
    EXPECT_EQ(records[6].payload, "SwitchRoom to second");

    EXPECT_FALSE(MemoryManager::AttachTraceFile("/nonexistent-dir/trace.bin", 0));
    EXPECT_FALSE(MemoryManager::AttachTraceFile(nullptr, 0));
    void* p = QS_ALLOC(8, false);  // not traced, nothing breaks
    QS_FREE(p);
}
