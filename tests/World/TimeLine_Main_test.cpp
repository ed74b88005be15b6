#include "World/TimeLine_Main.h"

#include <gtest/gtest.h>

#include <string>

#include "World/ChunkBytes.h"
#include "World/Event_Main.h"
#include "GameData/GameData.h"
#include "support/GameFiles.h"
#include "support/LoadedGame.h"

namespace {
using namespace chunkbytes;
using gamedata::TimelineEntry;
using gamedata::TimelineMoment;

std::vector<uint8_t> TimelineGame(const std::vector<std::optional<TimelineEntry>>& timelines)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    w.Tmln(timelines);
    return w.Finish();
}

TimelineEntry Walk()
{
    TimelineEntry t;
    t.name = "tl_walk";
    t.moments = {TimelineMoment{10, {0, 3}}, TimelineMoment{20, {0, 4}}, TimelineMoment{30, {0, 5}}};
    return t;
}

struct TimeLineTest : LoadedGameTest {};

TEST_F(TimeLineTest, TableFromTheChunkAndTimelinesAddedAndDeleted)
{
    ASSERT_TRUE(Load(TimelineGame({Walk(), std::nullopt}))) << GameData_LastError();
    EXPECT_EQ(TimeLine_Count(), 2);
    EXPECT_FALSE(TimeLine_Exists(1));
    EXPECT_STREQ(TimeLine_Name(1), "<undefined>");
    EXPECT_STREQ(TimeLine_Name(0), "tl_walk");
    EXPECT_EQ(TimeLine_Find("tl_walk"), 0);
    EXPECT_EQ(TimeLine_Find("TL_walk"), -1);
    EXPECT_EQ(TimeLine_Get(-1), nullptr);
    EXPECT_EQ(TimeLine_Add(), 2);
    EXPECT_STREQ(TimeLine_Name(2), "__newtimeline2");
    EXPECT_EQ(TimeLine_Add(), 3);
    EXPECT_TRUE(TimeLine_Prepare());

    // Deleting 1 (empty) fails; deleting 0 moves the later ones down and keeps the slot count.
    CTimeLine* third = TimeLine_Get(3);
    EXPECT_FALSE(TimeLine_Delete(1));
    EXPECT_TRUE(TimeLine_Delete(0));
    EXPECT_EQ(TimeLine_Count(), 4);
    EXPECT_FALSE(TimeLine_Exists(0));
    EXPECT_EQ(TimeLine_Get(2), third);
    EXPECT_STREQ(TimeLine_Name(2), "__newtimeline3");
    EXPECT_FALSE(TimeLine_Exists(3));
    EXPECT_STREQ(TimeLine_Name(3), "<undefined>");
}

TEST_F(TimeLineTest, MomentsAreFoundInsertedReplacedAndCleared)
{
    ASSERT_TRUE(Load(TimelineGame({Walk()})));
    CTimeLine* t = TimeLine_Get(0);
    ASSERT_EQ(t->GetMomentCount(), 3);
    EXPECT_EQ(t->FirstMomentFrom(20.5), 2);
    EXPECT_EQ(t->FirstMomentFrom(31), 3);
    EXPECT_EQ(t->FirstMomentFrom(20), 1);
    EXPECT_EQ(t->LastMomentUpTo(20.5), 1);
    EXPECT_EQ(t->LastMomentUpTo(5), -1);
    EXPECT_EQ(t->GetMomentTime(3), 0);
    EXPECT_EQ(t->GetMomentEvent(-1), 0);
    const intptr_t event20 = t->GetMomentEvent(1);
    EXPECT_EQ(event20 & 1, 0);
    EXPECT_TRUE(reinterpret_cast<CEvent*>(event20)->IsPresent());

    t->AddMoment(15, 7);
    t->AddMoment(0, 2);
    t->AddMoment(20, 9);  // a moment at 20 exists: unchanged
    const int32_t times[] = {0, 10, 15, 20, 30};
    ASSERT_EQ(t->GetMomentCount(), 5);
    for (int32_t k = 0; k < 5; ++k) EXPECT_EQ(t->GetMomentTime(k), times[k]);
    EXPECT_EQ(t->GetMomentEvent(2), 15);
    EXPECT_EQ(t->GetMomentEvent(0), 5);
    EXPECT_EQ(t->GetMomentEvent(3), event20);

    // The script replaces what the moment ran.
    t->SetMomentScript(20, 4);
    EXPECT_EQ(t->GetMomentEvent(3), 9);
    t->SetMomentScript(21, 4);
    EXPECT_EQ(t->FindMoment(21), -1);

    t->DeleteMoment(20);
    t->DeleteMoment(25);
    ASSERT_EQ(t->GetMomentCount(), 4);
    EXPECT_EQ(t->GetMomentTime(3), 30);
    t->Clear();
    EXPECT_EQ(t->GetMomentCount(), 0);
    EXPECT_EQ(t->FirstMomentFrom(0), 0);
    t->DeleteMoment(10);
    t->AddMoment(3, 1);
    EXPECT_EQ(t->GetMomentEvent(0), 3);
}

TEST_F(TimeLineTest, BrokenRecordsAreRefusedWithAMessage)
{
    TimelineEntry garbled = Walk();
    garbled.momentCountOverride = 0x10000000u;
    EXPECT_FALSE(Load(TimelineGame({garbled})));
    EXPECT_NE(std::string(GameData_LastError()).find("TMLN: timeline 0: moment count 268435456 does not fit the chunk"),
              std::string::npos)
        << GameData_LastError();
    testgames::Unload();

    std::vector<uint8_t> bytes = TimelineGame({Walk()});
    PutU32(bytes, Record(bytes, "TMLN", 0) + 12 + 8, PayloadEnd(bytes, "TMLN") - 2);
    EXPECT_FALSE(Load(bytes));
    EXPECT_NE(std::string(GameData_LastError()).find("moment of timeline 0"), std::string::npos)
        << GameData_LastError();
}
}  // namespace
