#include <gtest/gtest.h>

#include <cstring>

#include "Buffer/Buffer_Main.h"
#include "Code/Code_Variable.h"
#include "World/WorldFixture.h"
#include "support/RecordingConsole.h"

namespace {
struct InstanceSaveTest : WorldFixture {
    RecordingConsole logged;
    tagIConsole* savedLog = nullptr;
    int32_t object = -1;

    void SetUp() override
    {
        WorldFixture::SetUp();
        savedLog = LogConsole;
        LogConsole = &logged;
        object = NewObject();
    }
    void TearDown() override
    {
        LogConsole = savedLog;
        WorldFixture::TearDown();
    }

    static int32_t S32At(const IBuffer& buffer, int32_t element)
    {
        int32_t v;
        std::memcpy(&v, buffer.Data() + element * 4, 4);
        return v;
    }
};
constexpr int32_t kFieldBytes = 64 * 4;
}  // namespace

TEST_F(InstanceSaveTest, ADirtyBoxIsRecomputedBeforeSavingAndStoredLeftRightTopBottom)
{
    CInstance* instance = room.CreateInstance(5.6f, 7.2f, object);
    instance->bbox_left = 1;
    instance->bbox_right = 2;
    instance->bbox_top = 3;
    instance->bbox_bottom = 4;
    instance->m_bboxDirty = true;
    IBuffer buffer(64, eBuffer_Grow, 1);
    instance->SaveToBuffer(&buffer);
    EXPECT_FALSE(instance->m_bboxDirty);
    EXPECT_NE(instance->bbox_left, 1);
    EXPECT_NE(instance->bbox_top, 3);
    // Elements 28 to 31 (0-based 27..30).
    EXPECT_EQ(S32At(buffer, 27), instance->bbox_left);
    EXPECT_EQ(S32At(buffer, 28), instance->bbox_right);
    EXPECT_EQ(S32At(buffer, 29), instance->bbox_top);
    EXPECT_EQ(S32At(buffer, 30), instance->bbox_bottom);

    buffer.Seek(eBuffer_SeekStart, 0);
    CInstance copy(0, 0, 0, -1, false);
    ASSERT_TRUE(copy.LoadFromBuffer(&buffer, false));
    EXPECT_EQ(copy.bbox_left, instance->bbox_left);
    EXPECT_EQ(copy.bbox_top, instance->bbox_top);
    EXPECT_EQ(copy.bbox_bottom, instance->bbox_bottom);
}

TEST_F(InstanceSaveTest, EveryFieldComesBackAndADeactivatedInstanceJoinsNoList)
{
    Variable_SetCounts(0, 2, 0);
    CInstance* saved = room.CreateInstance(3, 4, object);
    saved->id = 100123;
    saved->m_deactivated = true;
    saved->image_blend = 0x123456;
    saved->SetAlarm(11, 9);
    saved->path_xorigin = 2.5f;
    saved->m_timelinePrevious = 1.5f;
    saved->timeline_loop = true;
    saved->layer = 7;
    ScriptValue_SetString(saved->SlotAt(1), "kept");
    IBuffer buffer(64, eBuffer_Grow, 1);
    saved->SaveToBuffer(&buffer);
    EXPECT_EQ(buffer.Position(), kFieldBytes + 4 + 4 + (4 + 5)) << "an unset slot is its kind word alone";

    buffer.Seek(eBuffer_SeekStart, 0);
    CGameObject* record = Object_Get(object);
    const int32_t listed = record->directInstances.count;
    CInstance loaded(0, 0, 0, -1, false);
    ASSERT_TRUE(loaded.LoadFromBuffer(&buffer, true));
    EXPECT_EQ(record->directInstances.count, listed) << "deactivated: no join even when asked";
    EXPECT_EQ(loaded.id, 100123);
    EXPECT_TRUE(loaded.m_deactivated);
    EXPECT_EQ(loaded.object_index, object);
    EXPECT_EQ(loaded.image_blend, 0x123456u);
    EXPECT_EQ(loaded.GetAlarm(11), 9);
    EXPECT_EQ(loaded.path_xorigin, 2.5f);
    EXPECT_EQ(loaded.m_timelinePrevious, 1.5f);
    EXPECT_TRUE(loaded.timeline_loop);
    EXPECT_EQ(loaded.layer, 7);
    EXPECT_STREQ(ScriptValue_StringText(loaded.SlotAt(1)), "kept");
    EXPECT_EQ(logged.text, "");

    // The same record of an active instance joins its object's lists.
    saved->m_deactivated = false;
    buffer.Seek(eBuffer_SeekStart, 0);
    saved->SaveToBuffer(&buffer);
    buffer.Seek(eBuffer_SeekStart, 0);
    CInstance joined(0, 0, 0, -1, false);
    ASSERT_TRUE(joined.LoadFromBuffer(&buffer, true));
    EXPECT_EQ(record->directInstances.count, listed + 1);
}

TEST_F(InstanceSaveTest, SlotPartFollowsTheVariableCount)
{
    // No instance variables: the fields alone.
    Variable_SetCounts(0, 0, 0);
    CInstance* bare = room.CreateInstance(0, 0, object);
    IBuffer buffer(64, eBuffer_Grow, 1);
    bare->SaveToBuffer(&buffer);
    EXPECT_EQ(buffer.Position(), kFieldBytes);
    buffer.Seek(eBuffer_SeekStart, 0);
    CInstance plain(0, 0, 0, -1, false);
    EXPECT_TRUE(plain.LoadFromBuffer(&buffer, false));
    EXPECT_EQ(buffer.Position(), kFieldBytes);

    // Saved with three, loaded where the game declares two: one warning, the
    // third value in the third slot.
    Variable_SetCounts(0, 3, 0);
    CInstance* wide = room.CreateInstance(0, 0, object);
    ScriptValue_SetReal(wide->SlotAt(2), 42);
    buffer.Seek(eBuffer_SeekStart, 0);
    wide->SaveToBuffer(&buffer);
    Variable_SetCounts(0, 2, 0);
    buffer.Seek(eBuffer_SeekStart, 0);
    CInstance narrow(0, 0, 0, -1, false);
    ASSERT_TRUE(narrow.LoadFromBuffer(&buffer, false));
    EXPECT_EQ(narrow.SlotAt(2)->real, 42);
    EXPECT_EQ(logged.text, "WARNING! game_load variable mismatch - unpredictable results!\n");
}

TEST_F(InstanceSaveTest, ARecordCutShortOrWithACountBeyondTheDataIsRefused)
{
    Variable_SetCounts(0, 1, 0);
    CInstance* saved = room.CreateInstance(0, 0, object);
    IBuffer buffer(64, eBuffer_Grow, 1);
    saved->SaveToBuffer(&buffer);
    const int32_t size = buffer.Position();
    for (int32_t cut : {0, 8, kFieldBytes - 1, kFieldBytes + 2, size - 1}) {
        SCOPED_TRACE(cut);
        IBuffer part(buffer.Data(), cut, eBuffer_Fixed, 1, false);
        CInstance loaded(0, 0, 0, -1, false);
        EXPECT_FALSE(loaded.LoadFromBuffer(&part, false));
    }
    const int32_t huge = 0x7FFFFFFF;
    std::memcpy(buffer.Data() + kFieldBytes, &huge, 4);
    IBuffer whole(buffer.Data(), size, eBuffer_Fixed, 1, false);
    CInstance loaded(0, 0, 0, -1, false);
    EXPECT_FALSE(loaded.LoadFromBuffer(&whole, false));
}
