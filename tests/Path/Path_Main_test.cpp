#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Constant.h"
#include "Path/Path_Class.h"
#include "Path/Path_Main.h"
#include "GameData/GameData.h"
#include "Options/Runner_Options.h"
#include "support/GameFiles.h"

namespace {
using gamedata::PathEntry;
using testgames::CapturedLog;

PathEntry Entry(const char* name, std::vector<gamedata::PathControlPoint> points, int32_t kind = 0, uint32_t closed = 0,
                int32_t precision = 4)
{
    PathEntry e;
    e.name = name;
    e.points = std::move(points);
    e.kind = kind;
    e.closed = closed;
    e.precision = precision;
    return e;
}

struct PathListTest : ::testing::Test {
    std::vector<uint8_t> bytes;
    void TearDown() override { GameData_SetImage(nullptr, 0); }  // the image is ours
    // Finishes the writer's image and hands its PATH chunk (the first chunk) to the reader.
    bool LoadFirstChunk(gamedata::FormWriter& w)
    {
        bytes = w.Finish();
        GameData_SetImage(bytes.data(), static_cast<uint32_t>(bytes.size()));
        GameData_ClearError();
        return Path_Load(bytes.data() + 16, GameData_U32(bytes.data() + 12), bytes.data());
    }
    // Three slots: "a" (smooth, open), an empty one, "b" (straight, closed).
    void LoadThree()
    {
        gamedata::FormWriter w;
        w.Path({Entry("a", {{0, 0, 100}, {100, 0, 50}, {100, 100, 100}}, 1, 0, 1), std::nullopt,
                Entry("b", {{0, 0, 100}, {30, 40, 100}}, 0, 1, 4)});
        ASSERT_TRUE(LoadFirstChunk(w)) << GameData_LastError();
    }
};
}  // namespace

TEST_F(PathListTest, ChunkFromTheWriterReadsBack)
{
    LoadThree();
    ASSERT_EQ(Path_Count(), 3);
    EXPECT_FALSE(Path_Exists(1));
    EXPECT_EQ(Path_Get(1), nullptr);
    EXPECT_STREQ(Path_Name(1), "<undefined>");
    EXPECT_STREQ(Path_Name(0), "a");
    EXPECT_STREQ(Path_Name(2), "b");
    const CGamePath* a = Path_Get(0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetKind(), 1);
    EXPECT_FALSE(a->GetClosed());
    EXPECT_EQ(a->GetPrecision(), 1);
    ASSERT_EQ(a->GetPointCount(), 3);
    EXPECT_EQ(a->GetPoint(1).x, 100.0f);
    EXPECT_EQ(a->GetPoint(1).speed, 50.0f);
    EXPECT_EQ(a->GetDerivedCount(), 3);  // the smooth table is derived on load
    const CGamePath* b = Path_Get(2);
    EXPECT_TRUE(b->GetClosed());
    EXPECT_FLOAT_EQ(b->GetLength(), 100.0f);  // 50 out and 50 back
}

TEST_F(PathListTest, LoadClampsPrecisionAndKeepsKindAsRead)
{
    gamedata::FormWriter w;
    w.Path({Entry("p", {{0, 0, 100}}, 7, 5, 12), Entry("q", {}, 1, 0, -3)});
    ASSERT_TRUE(LoadFirstChunk(w)) << GameData_LastError();
    EXPECT_EQ(Path_Get(0)->GetPrecision(), 8);
    EXPECT_EQ(Path_Get(0)->GetKind(), 7);  // behaves as straight
    EXPECT_TRUE(Path_Get(0)->GetClosed());
    EXPECT_EQ(Path_Get(0)->GetDerivedCount(), 2);
    EXPECT_EQ(Path_Get(1)->GetPrecision(), 0);
    EXPECT_EQ(Path_Get(1)->GetPointCount(), 0);
}

TEST_F(PathListTest, BrokenChunksAreRefusedWithAMessageAndChangeNothing)
{
    struct Case {
        const char* name;
        void (*build)(gamedata::FormWriter&);
        const char* message;
    };
    const Case cases[] = {
        {"count past the payload", [](gamedata::FormWriter& w) { w.Add("PATH").U32(5).U32(0); },
         "count 5 needs 24 bytes but the payload holds 8"},
        {"entry outside the chunk", [](gamedata::FormWriter& w) { w.Add("PATH").U32(1).U32(999999); },
         "path 0 at offset 999999 (20 bytes) lies outside the chunk"},
        {"entry header cut off", [](gamedata::FormWriter& w) { w.Add("PATH").U32(1).Offset(8).U32(0).U32(0); },
         "path 0 at offset 24 (20 bytes) lies outside the chunk"},
        {"negative point count",
         [](gamedata::FormWriter& w) {
             PathEntry e = Entry("n", {{1, 1, 100}});
             e.pointCountOverride = -1;
             w.Path({e});
         },
         "path 0 has a negative point count (-1)"},
        {"points past the chunk",
         [](gamedata::FormWriter& w) {
             PathEntry e = Entry("n", {{1, 1, 100}});
             e.pointCountOverride = 0x7FFFFFFF;
             w.Path({std::nullopt, e});
         },
         "path 1 has 2147483647 points (25769803764 bytes) but only 12 bytes remain in the chunk"},
        {"name outside the file",
         [](gamedata::FormWriter& w) { w.Add("PATH").U32(1).Offset(8).U32(0x7FFFFFF0).U32(0).U32(0).U32(4).U32(0); },
         "string record at offset 2147483628 lies outside the file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadThree();
        gamedata::FormWriter w;
        c.build(w);
        CapturedLog log;
        EXPECT_FALSE(LoadFirstChunk(w));
        EXPECT_NE(std::string(GameData_LastError()).find(std::string("Game data error in chunk PATH: ") + c.message),
                  std::string::npos)
            << GameData_LastError();
        EXPECT_NE(log.Text().find(c.message), std::string::npos) << log.Text();
        EXPECT_EQ(Path_Count(), 3);
        EXPECT_STREQ(Path_Name(2), "b");
    }
}

TEST_F(PathListTest, AddDuplicateAndDeleteKeepIndicesStable)
{
    LoadThree();
    EXPECT_EQ(Path_Add(), 3);
    EXPECT_STREQ(Path_Name(3), "__newpath3");
    EXPECT_EQ(Path_Get(3)->GetPointCount(), 0);

    EXPECT_EQ(Path_Duplicate(1), -1);
    EXPECT_EQ(Path_Duplicate(-1), -1);
    EXPECT_EQ(Path_Duplicate(99), -1);
    EXPECT_EQ(Path_Duplicate(0), 4);
    EXPECT_STREQ(Path_Name(4), "__newpath4");
    EXPECT_EQ(Path_Get(4)->GetKind(), 1);
    EXPECT_EQ(Path_Get(4)->GetPointCount(), 3);
    Path_Get(4)->AddPoint(5, 5, 100);
    EXPECT_EQ(Path_Get(0)->GetPointCount(), 3);  // a copy, not a share

    EXPECT_FALSE(Path_Delete(1));
    EXPECT_TRUE(Path_Delete(0));
    EXPECT_FALSE(Path_Exists(0));
    EXPECT_STREQ(Path_Name(0), "<undefined>");
    EXPECT_EQ(Path_Count(), 5);
    EXPECT_EQ(Path_Find("a"), -1);
}

TEST_F(PathListTest, FindIsExactAndPrefersTheLowerIndex)
{
    gamedata::FormWriter w;
    w.Path({Entry("Route", {}), Entry("route", {}), Entry("route", {})});
    ASSERT_TRUE(LoadFirstChunk(w)) << GameData_LastError();
    EXPECT_EQ(Path_Find("route"), 1);
    EXPECT_EQ(Path_Find("Route"), 0);
    EXPECT_EQ(Path_Find("ROUTE"), -1);
    EXPECT_EQ(Path_Find(nullptr), -1);
    Path_Delete(1);
    EXPECT_EQ(Path_Find("route"), 2);
}

TEST_F(PathListTest, AssignFillsEmptySlotsAndRefusesItself)
{
    LoadThree();
    EXPECT_FALSE(Path_Assign(5, 0));
    EXPECT_FALSE(Path_Assign(0, 1));  // empty source
    EXPECT_FALSE(Path_Assign(0, -1));
    // An empty destination receives a path without a name, which Find skips.
    EXPECT_TRUE(Path_Assign(1, 2));
    ASSERT_TRUE(Path_Exists(1));
    EXPECT_STREQ(Path_Name(1), "");
    EXPECT_TRUE(Path_Get(1)->GetClosed());
    EXPECT_EQ(Path_Find("b"), 2);
    EXPECT_TRUE(Path_Assign(0, 2));
    EXPECT_EQ(Path_Get(0)->GetPointCount(), 2);
    EXPECT_STREQ(Path_Name(0), "a");

    HeadlessMode.noDialogs = true;
    Console_SetStdoutSuppressed(true);
    EXPECT_FALSE(Path_Assign(2, 2));
    ASSERT_NE(ErrorLast_Get(), nullptr);
    EXPECT_NE(std::string(ErrorLast_Get()).find("ERROR: Can not assign a path to itself!"), std::string::npos);
    EXPECT_EQ(Path_Get(2)->GetPointCount(), 2);
    error_occurred = false;
}

TEST_F(PathListTest, ChunkPassLoadsPathsAndReleasingTheGameFreesThem)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    w.Path({Entry("pth_loop", {{0, 0, 100}, {10, 0, 100}})});
    const std::vector<uint8_t> game = w.Finish();
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
    EXPECT_EQ(Path_Find("pth_loop"), 0);
    ScriptValue v{};
    EXPECT_TRUE(Code_Constant_Lookup("pth_loop", &v));  // names of paths are constants of game code
    EXPECT_EQ(v.real, 0.0);
    testgames::Unload();
    EXPECT_EQ(Path_Count(), 0);
}
