// The demo game end to end, as the product runs it: its embedded data loaded
// through the runner, its room's instances made, their events run with keys
// held through the input layer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "Code/ValueTestSupport.h"
#include "Code/Code_Variable.h"
#include "Variable/Code_VariableValue.h"
#include "DemoGameData.h"
#include "GameModule.h"
#include "IO/IO_Main.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "Function/Function_Layer.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "Runner/GameChunks.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_LoadGame.h"
#include "Options/Runner_Options.h"
#include "Options/Runner_Strings.h"
#include "Graphics/TexturePages.h"
#include "World/Room_Layers.h"
#include "Graphics/ReadPNG.h"
#include "Variable/Variable_BuiltIn.h"
#include "Runner/GameHeader_Load.h"

namespace {
constexpr int kKeyLeft = 37;
constexpr int kKeyRight = 39;
constexpr int32_t kGameId = 100001;
constexpr int32_t kPlayerId = 100002;

std::string LastReport()
{
    return ErrorLast_Get() ? ErrorLast_Get() : "";
}

struct DemoGameTest : ::testing::Test {
    CGameRoom room;

    void SetUp() override
    {
        Console_SetStdoutSuppressed(true);
        ShowErrorDialogs = false;
        HeadlessMode.noDialogs = true;
        Variable_BuiltIn_Init();
        InitLayerFunctions();
        IO_Init();
        IO_Update();  // the first frame's input: the window latch starts from the frame state
        // A game file named as with -game: the embedded data wins over it.
        Runner_ReplaceText(&GameFilePath, "/no/such/data.win");
        RunnerLoadGame();
        ASSERT_TRUE(GameData);
        ASSERT_TRUE(LoadGameHeader(GameData, GameDataSize)) << GameData_LastError();
        ASSERT_TRUE(LoadGameData()) << GameData_LastError();
        ASSERT_TRUE(Object_Prepare());
        ASSERT_TRUE(Room_Prepare());
        Run_Room = &room;
        Room_CopyDefinition(&room, Room_Get(Room_First()), true);
    }

    void TearDown() override
    {
        room.DeleteActiveInstances();
        room.DeleteDeactivatedInstances();
        room.Clear();  // its layers tell game-data names from their own while the data is loaded
    }

    static void CreateAll()
    {
        PerformEventAll(EVENT_CREATE, 0);
    }

    // One frame of input with these keys held, then the step events.
    static void StepWithKeys(bool left, bool right)
    {
        if (left) IO_KeyDown(kKeyLeft, 0, false);
        else IO_KeyUp(kKeyLeft, 0);
        if (right) IO_KeyDown(kKeyRight, 0, false);
        else IO_KeyUp(kKeyRight, 0);
        IO_Update();
        PerformEventAll(EVENT_STEP, EVENT_STEP_NORMAL);
    }

    static double Read(CInstance* instance, const LinkVariableRef& ref)
    {
        ScriptValue value = ScriptValue_Undefined();
        EXPECT_TRUE(Variable_GetValue(instance, ref.id, ARRAY_INDEX_NONE, &value)) << ref.name;
        const double number = ScriptValue_ToReal(&value);
        ScriptValue_SetUndefined(&value);
        return number;
    }
};

TEST_F(DemoGameTest, RunsItsEmbeddedDataWithTheModuleBoundAndNamesResolved)
{
    EXPECT_EQ(GameData, DemoGameData);
    EXPECT_EQ(GameDataSize, DemoGameDataSize);
    EXPECT_STREQ(GameFilePath, GetExecutablePath());

    ASSERT_TRUE(LinkRecord);
    ASSERT_EQ(LinkRecord->codeCount, 3);
    const char* const names[] = {"qsc_Object_object_Game_Create_0", "qsc_Object_object_Player_Create_0",
                                 "qsc_Object_object_Player_Step_0"};
    for (int32_t i = 0; i < 3; ++i) EXPECT_STREQ(LinkRecord_CodeEntry(i)->name, names[i]);
    EXPECT_EQ(LinkRecord->globalCount, 5);
    EXPECT_EQ(LinkRecord->instanceCount, 5);

    // The objects' events run the module's functions.
    const int32_t player = Object_FindByName("object_Player");
    int32_t owner = -1;
    CEvent* step = Object_FindEvent(player, EVENT_STEP, EVENT_STEP_NORMAL, &owner);
    ASSERT_TRUE(step && step->m_code);
    EXPECT_EQ(step->m_code->m_compiled, LinkRecord_CodeEntry(2));
    CEvent* create = Object_FindEvent(Object_FindByName("object_Game"), EVENT_CREATE, 0, &owner);
    ASSERT_TRUE(create && create->m_code);
    EXPECT_EQ(create->m_code->m_compiled, LinkRecord_CodeEntry(0));

    // Own variables become instance variables 100000 and up; built-ins their ids.
    const LinkVariableRef* own[] = {&Ref_tilesize, &Ref_map, &Ref_mountains, &Ref_trees, &Ref_clouds};
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(own[i]->id, 100000 + i) << own[i]->name;
    EXPECT_EQ(Ref_x.id, Variable_BuiltIn_Find("x"));
    EXPECT_EQ(Ref_image_xscale.id, Variable_BuiltIn_Find("image_xscale"));
    int32_t index = -1;
    ASSERT_TRUE(CodeFunction_Find("layer_tilemap_get_id", &index));
    EXPECT_EQ(Ref_layer_tilemap_get_id.index, index);
    ASSERT_TRUE(CodeFunction_Find("layer_get_all_elements", &index));
    EXPECT_EQ(Ref_layer_get_all_elements.index, index);

    // The room holds one instance of each object.
    ASSERT_TRUE(Instance_Find(kGameId));
    ASSERT_TRUE(Instance_Find(kPlayerId));
    EXPECT_EQ(Instance_Find(kPlayerId)->object_index, player);
}

TEST_F(DemoGameTest, GameCreateSetsTileSizeAndLeavesTheCallChainAsItFoundIt)
{
    CreateAll();
    EXPECT_EQ(Read(Instance_Find(kGameId), Ref_tilesize), 16.0);
    EXPECT_EQ(*LinkRecord->callChainHead, nullptr);
    EXPECT_EQ(LastReport(), "");
}

TEST_F(DemoGameTest, GameCreateKeepsWhatTheLayerBuiltInsReturn)
{
    CreateAll();
    CInstance* game = Instance_Find(kGameId);
    ASSERT_TRUE(game);
    struct Lookup {
        const LinkVariableRef* ref;
        const char* function;
        const char* layer;
    };
    const Lookup lookups[] = {
        {&Ref_map, "layer_tilemap_get_id", "Collisions"},
        {&Ref_mountains, "layer_get_all_elements", "Tiles_Mountains"},
        {&Ref_trees, "layer_get_all_elements", "Tiles_Trees"},
        {&Ref_clouds, "layer_get_all_elements", "Tiles_Clouds"},
    };
    for (const Lookup& lookup : lookups) {
        int32_t index = -1;
        ASSERT_TRUE(CodeFunction_Find(lookup.function, &index)) << lookup.function;
        ScriptValue argument;
        ScriptValue_InitString(&argument, lookup.layer);
        ScriptValue* args[] = {&argument};
        ScriptValue expected = ScriptValue_Undefined();
        CallBuiltinFunction(game, game, &expected, 1, index, args);
        ScriptValue held = ScriptValue_Undefined();
        ASSERT_TRUE(Variable_GetValue(game, lookup.ref->id, ARRAY_INDEX_NONE, &held)) << lookup.ref->name;
        const std::string text = TextOf(expected);
        EXPECT_EQ(TextOf(held), text) << lookup.ref->name;
        // The layers exist: a tile map id, or a non-empty list of elements.
        EXPECT_NE(text, "-1") << lookup.layer;
        EXPECT_NE(text, "{ }") << lookup.layer;
        ScriptValue_SetUndefined(&held);
        ScriptValue_SetUndefined(&expected);
        ScriptValue_SetUndefined(&argument);
    }
}

TEST_F(DemoGameTest, PlayerMovesThreePerFrameAndFacesTheWayItWalks)
{
    CreateAll();
    CInstance* player = Instance_Find(kPlayerId);
    ASSERT_TRUE(player);
    const double start = Read(player, Ref_x);

    struct Phase {
        bool left, right;
        double perFrame, xscale;
    };
    // Left, right, both (they cancel; right is checked last and wins the
    // facing), none (the facing stays).
    const Phase phases[] = {{true, false, -3, 1}, {false, true, 3, -1}, {true, true, 0, -1}, {false, false, 0, -1}};
    double expected = start;
    for (const Phase& p : phases) {
        for (int frame = 0; frame < 4; ++frame) {
            StepWithKeys(p.left, p.right);
            expected += p.perFrame;
            ASSERT_EQ(Read(player, Ref_x), expected) << "left " << p.left << " right " << p.right;
        }
        EXPECT_EQ(Read(player, Ref_image_xscale), p.xscale);
    }
    EXPECT_EQ(*LinkRecord->callChainHead, nullptr);
}

// The layers the game code looks up, built from the room's layer data.
TEST_F(DemoGameTest, RoomHasTheLayersTheGameCodeLooksUp)
{
    RoomLayer* ground = Layer_FindByName(&room, "Collisions");
    ASSERT_TRUE(ground);
    ASSERT_EQ(ground->count, 1);
    ASSERT_EQ(ground->first->kind, LAYER_ELEMENT_TILEMAP);
    const auto* map = static_cast<const LayerElement_Tilemap*>(ground->first);
    EXPECT_EQ(map->width, 64);
    EXPECT_EQ(map->height, 36);
    EXPECT_EQ(map->cells[0], 0u);                 // open sky
    EXPECT_EQ(map->cells[33 * 64 + 10], 1u);      // grass
    EXPECT_EQ(map->cells[35 * 64 + 63], 2u);      // soil

    const char* const scenery[] = {"Tiles_Mountains", "Tiles_Trees", "Tiles_Clouds"};
    int32_t lastDepth = ground->depth;
    for (const char* name : scenery) {
        RoomLayer* layer = Layer_FindByName(&room, name);
        ASSERT_TRUE(layer) << name;
        EXPECT_GT(layer->count, 0) << name;
        for (LayerElement* e = layer->first; e; e = e->next) {
            ASSERT_EQ(e->kind, LAYER_ELEMENT_TILE) << name;
            const auto* tile = static_cast<const LayerElement_Tile*>(e);
            EXPECT_EQ(tile->width, 16) << name;
            EXPECT_LT(tile->x, 1024) << name;
            EXPECT_LT(tile->y, 576 - 48) << name;  // above the ground
        }
        EXPECT_NE(layer->depth, lastDepth) << name;
    }

    // Both instances stand on the instance layer, in front of the scenery.
    RoomLayer* instances = Layer_FindByName(&room, "Instances");
    ASSERT_TRUE(instances);
    EXPECT_EQ(Instance_Find(kGameId)->layer, instances->id);
    EXPECT_EQ(Instance_Find(kPlayerId)->layer, instances->id);
    EXPECT_LT(instances->depth, ground->depth);
}

// The sprite and tile-set records point at page entries that the TPAG reader
// knows, and every entry lies on the decoded page.
TEST_F(DemoGameTest, SpritesAndTileSetsPointAtEntriesOnTheTexturePage)
{
    std::string tags;
    const GameChunk* sprt = nullptr;
    const GameChunk* bgnd = nullptr;
    const GameChunk* txtr = nullptr;
    GameChunk chunks[16];
    uint32_t pos = 8, n = 0;
    while (n < 16 && GameData_NextChunk(GameData, GameDataSize, &pos, &chunks[n])) {
        tags += std::string(chunks[n].tag) + " ";
        if (std::strcmp(chunks[n].tag, "SPRT") == 0) sprt = &chunks[n];
        if (std::strcmp(chunks[n].tag, "BGND") == 0) bgnd = &chunks[n];
        if (std::strcmp(chunks[n].tag, "TXTR") == 0) txtr = &chunks[n];
        ++n;
    }
    EXPECT_EQ(tags, "GEN8 OPTN SPRT BGND CODE VARI FUNC OBJT ROOM TPAG TXTR STRG ");
    ASSERT_TRUE(sprt && bgnd && txtr);

    // The one page: texture record {flags, image offset}, PNG bytes to the chunk's end.
    const uint32_t record = GameData_U32(txtr->payload + 4);
    const uint32_t image = GameData_U32(GameData + record + 4);
    int width = 0, height = 0;
    ASSERT_TRUE(ReadPNG_GetSize(GameData + image,
                                static_cast<int>(txtr->offset + txtr->length - image), &width, &height, false));
    ReadPNG_Free();
    EXPECT_EQ(width, 512);
    EXPECT_EQ(height, 512);

    auto expectEntryOnPage = [&](uint32_t offset, const char* name) {
        const STexturePageEntry* e = TPAG_FindEntry(offset);
        ASSERT_TRUE(e) << name;
        EXPECT_GT(e->width, 0) << name;
        EXPECT_LE(e->x + e->width, width) << name;
        EXPECT_LE(e->y + e->height, height) << name;
    };
    const char* spriteNames[] = {"spr_player", "spr_sky", "spr_mountains", "spr_trees", "spr_clouds"};
    ASSERT_EQ(GameData_U32(sprt->payload), 5u);
    for (uint32_t i = 0; i < 5; ++i) {
        const uint8_t* r = GameData + GameData_U32(sprt->payload + 4 + 4 * i);
        EXPECT_STREQ(reinterpret_cast<const char*>(GameData + GameData_U32(r)), spriteNames[i]);
        ASSERT_EQ(GameData_U32(r + 76), 1u) << spriteNames[i];  // one frame, after kind and speed
        expectEntryOnPage(GameData_U32(r + 80), spriteNames[i]);
    }
    const char* tileSetNames[] = {"ts_ground", "ts_mountains", "ts_trees", "ts_clouds"};
    ASSERT_EQ(GameData_U32(bgnd->payload), 4u);
    for (uint32_t i = 0; i < 4; ++i) {
        const uint8_t* r = GameData + GameData_U32(bgnd->payload + 4 + 4 * i);
        EXPECT_STREQ(reinterpret_cast<const char*>(GameData + GameData_U32(r)), tileSetNames[i]);
        expectEntryOnPage(GameData_U32(r + 16), tileSetNames[i]);
        EXPECT_EQ(GameData_U32(r + 24), 16u) << tileSetNames[i];  // tile width
    }
}

// An error raised inside a built-in called from line 2 names the event and line.
void FailingTilemapLookup(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, -1);
    ReportRuntimeError("tile map lookup failed", false);
}

TEST_F(DemoGameTest, ErrorInABuiltInReportsTheEventAndLine)
{
    CodeFunction_ReplaceRoutine("layer_tilemap_get_id", FailingTilemapLookup);
    CreateAll();
    const std::string report = LastReport();
    EXPECT_NE(report.find("tile map lookup failed"), std::string::npos) << report;
    EXPECT_NE(report.find("called from - qsc_Object_object_Game_Create_0 (line 2)"), std::string::npos) << report;
    EXPECT_EQ(*LinkRecord->callChainHead, nullptr);
}
}  // namespace
