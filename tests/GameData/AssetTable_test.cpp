#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "GameData/AssetTable.h"
#include "GameData/GameData.h"

namespace {
struct Probe {
    uint32_t value;
};

int g_disposed = 0;

void DisposeProbe(Probe* probe)
{
    if (!probe) ADD_FAILURE() << "a null record was disposed";
    ++g_disposed;
    delete probe;
}

using ProbeTable = AssetTable<Probe, DisposeProbe>;

struct AssetTableTest : ::testing::Test {
    ProbeTable table{"__newprobe"};
    std::vector<uint8_t> image;

    void SetUp() override { g_disposed = 0; }
    void TearDown() override
    {
        table.FreeAll();
        GameData_SetImage(nullptr, 0);
    }

    // A chunk listing the given words as record offsets; each record is the
    // word at its offset, which a record offset points at itself.
    const uint8_t* Chunk(const std::vector<uint32_t>& offsets)
    {
        image.assign(4 + 4 * offsets.size(), 0);
        const auto put = [&](size_t at, uint32_t v) { std::memcpy(image.data() + at, &v, 4); };
        put(0, static_cast<uint32_t>(offsets.size()));
        for (size_t i = 0; i < offsets.size(); ++i) put(4 + 4 * i, offsets[i]);
        GameData_SetImage(image.data(), static_cast<uint32_t>(image.size()));
        return image.data();
    }

    // Reads every listed record, named "r<entry>", failing at entry failAt.
    bool Load(const std::vector<uint32_t>& offsets, uint32_t failAt = UINT32_MAX)
    {
        static const char* const kNames[] = {"r0", "r1", "r2", "r3"};
        const uint8_t* payload = Chunk(offsets);
        return table.LoadChunk("TEST", "probes", payload, static_cast<uint32_t>(image.size()),
                               [&](uint32_t i, uint32_t offset, Probe** record, const char** name) {
                                   *record = new Probe{GameData_U32(GameData + offset)};
                                   *name = kNames[i];
                                   return i != failAt;
                               });
    }
};

TEST_F(AssetTableTest, AChunkReplacesTheTableOnlyOnceEveryRecordHasBeenRead)
{
    ASSERT_EQ(table.Append(new Probe{7}), 0);
    ASSERT_EQ(table.Append(new Probe{8}), 1);

    // Entry 1 is empty; entry 2 fails after entry 0 was read.
    EXPECT_FALSE(Load({4, 0, 12}, 2));
    EXPECT_EQ(g_disposed, 2);  // the two records the failed load made, nothing of the table
    ASSERT_EQ(table.Count(), 2);
    EXPECT_EQ(table.Get(0)->value, 7u);
    EXPECT_STREQ(table.Name(1), "__newprobe1");

    EXPECT_TRUE(Load({4, 0, 12}));
    EXPECT_EQ(g_disposed, 4);  // and now the table's old records
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(table.Get(0)->value, 4u);
    EXPECT_EQ(table.Get(1), nullptr);
    EXPECT_EQ(table.Name(1), nullptr);
    EXPECT_EQ(table.Get(2)->value, 12u);
    EXPECT_STREQ(table.Name(2), "r2");
    EXPECT_EQ(table.FindFirst("r2"), 2);
}

TEST_F(AssetTableTest, RunTimeRecordsAreNamedByIndexAndEmptiedIndicesStayEmpty)
{
    for (uint32_t i = 0; i < 3; ++i) ASSERT_EQ(table.Append(new Probe{i}), static_cast<int32_t>(i));
    table.Delete(1);
    EXPECT_EQ(table.Get(1), nullptr);
    EXPECT_EQ(table.Name(1), nullptr);
    EXPECT_EQ(table.FindFirst("__newprobe1"), -1);
    EXPECT_EQ(table.Append(new Probe{3}), 3);
    EXPECT_STREQ(table.Name(3), "__newprobe3");
    EXPECT_EQ(table.NameOr(1, "<undefined>"), std::string("<undefined>"));

    // An emptied index regains a record but keeps no name until it is given one.
    table.Put(1, new Probe{9});
    EXPECT_EQ(table.Name(1), nullptr);
    table.GiveNewName(1);
    EXPECT_STREQ(table.Name(1), "__newprobe1");

    table.DropLast();
    EXPECT_EQ(table.Count(), 3);
    EXPECT_EQ(table.Get(3), nullptr);
    EXPECT_EQ(table.Append(nullptr), -1);
    EXPECT_EQ(table.Count(), 3);
    EXPECT_EQ(g_disposed, 2);  // the deleted record and the dropped one
}

TEST_F(AssetTableTest, LookUpsByNameSkipEmptyIndicesAndFindTheFirstOrTheLast)
{
    ASSERT_TRUE(table.Reset(4));
    for (int32_t i = 0; i < 3; ++i) table.Set(i, new Probe{uint32_t(i)}, "same");
    table.Set(3, nullptr, "same");
    EXPECT_EQ(table.FindFirst("same"), 0);
    EXPECT_EQ(table.FindLast("same"), 2);
    EXPECT_EQ(table.FindFirst(nullptr), -1);
    EXPECT_EQ(table.FindLast("other"), -1);
}

TEST_F(AssetTableTest, ClosingAGapMovesTheLaterRecordsDownWithTheirNames)
{
    for (uint32_t i = 0; i < 3; ++i) table.Append(new Probe{i});
    table.CloseGap(0);
    ASSERT_EQ(table.Count(), 3);
    EXPECT_EQ(table.Get(0)->value, 1u);
    EXPECT_STREQ(table.Name(0), "__newprobe1");
    EXPECT_EQ(table.Get(1)->value, 2u);
    EXPECT_EQ(table.Get(2), nullptr);
    EXPECT_EQ(table.Name(2), nullptr);
    EXPECT_EQ(g_disposed, 1);
}
}  // namespace
