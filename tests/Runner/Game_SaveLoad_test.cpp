#include "Runner/Game_SaveLoad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Function.h"
#include "Code/Code_Variable.h"
#include "Function/Function_GameSave.h"
#include "IO/IO_Input.h"
#include "IO/LoadSave.h"
#include "Runner/Run_Globals.h"
#include "Variable/Code_VariableValue.h"
#include "World/Camera.h"
#include "World/Room_Layers.h"
#include "World/Room_Main.h"
#include "World/WorldFixture.h"
#include "support/RecordingConsole.h"
#include "support/TempFolder.h"

namespace {
using Bytes = std::vector<uint8_t>;

// A running game of three rooms: room 0 persistent and dormant with one
// instance, room 1 current with an active and a deactivated instance, tiles,
// a view, global and instance variables and a camera; room 2 never visited.
struct SaveLoadTest : WorldFixture {
    RecordingConsole logged;
    tagIConsole* savedLog = nullptr;
    int32_t object = -1;
    int32_t dormantId = 0, activeId = 0, hiddenId = 0;

    void SetUp() override
    {
        WorldFixture::SetUp();
        savedLog = LogConsole;
        LogConsole = &logged;
        Variable_SetCounts(2, 3, 0);
        Variable_CreateGlobalObject();
        object = NewObject();
        Room_Init();
        for (int32_t i = 0; i < 3; ++i) ASSERT_EQ(Room_Add(), i);
        CameraList::CreateCamera();
        Run_StartRoom(0, true);
        Run_Room->persistent = true;
        dormantId = Run_Room->CreateInstance(10, 20, object)->id;
        SwitchRoom(1);
        ASSERT_EQ(::room, 1);
        CInstance* active = Run_Room->CreateInstance(3.5f, 4, object);
        active->SetAlarm(2, 30);
        active->image_blend = 0xABCDEF;
        ScriptValue_SetString(active->SlotAt(1), "hello");
        activeId = active->id;
        CInstance* hidden = Run_Room->CreateInstance(7, 8, object);
        hidden->m_deactivated = true;
        Run_Room->activeInstances.Remove(hidden);
        Run_Room->deactivatedInstances.Append(hidden);
        Object_Get(object)->RemoveInstance(hidden);
        hiddenId = hidden->id;
        STile tile{1, 2, 0, 0, 0, 16, 16, 5, 17, 1, 1, 0xFFFFFF, 1, true};
        Run_Room->AppendTile(tile);
        Run_Room->views[0].viewX = 10.75f;
        score = 12;
        ScriptValue_SetString(&caption_score, "Points: ");
        ScriptValue number = ScriptValue_Real(12345.678);
        Variable_SetGlobalValue(VARIABLE_ID_BASE + 1, ARRAY_INDEX_NONE, &number);
    }
    void TearDown() override
    {
        Run_EndGame();
        PendingRoomCode = -1;
        LogConsole = savedLog;
        WorldFixture::TearDown();
    }

    static Bytes Saved()
    {
        IBuffer buffer(256, eBuffer_Grow, 1);
        Game_WriteSave(&buffer);
        return Bytes(buffer.Data(), buffer.Data() + buffer.Position());
    }
    static bool Load(Bytes bytes)
    {
        IBuffer buffer(bytes.data(), static_cast<int32_t>(bytes.size()), eBuffer_Fixed, 1, false);
        return Game_ReadSave(&buffer);
    }
    // The game changed in every section a load replaces.
    void Disturb()
    {
        score = 99;
        ScriptValue_SetString(&caption_score, "other");
        ScriptValue number = ScriptValue_Real(1);
        Variable_SetGlobalValue(VARIABLE_ID_BASE + 1, ARRAY_INDEX_NONE, &number);
        if (CInstance* active = Instance_Find(activeId)) Run_Room->DeleteInstance(active);
        Run_Room->CreateInstance(1, 1, object);
        if (Run_Room->tileCount > 0) Run_Room->DeleteTile(0);
        CameraList::CreateCamera();
    }
    static size_t Find(const Bytes& bytes, const void* pattern, size_t length)
    {
        for (size_t i = 0; i + length <= bytes.size(); ++i) {
            if (std::memcmp(bytes.data() + i, pattern, length) == 0) return i;
        }
        return std::string::npos;
    }
};

void PutS32(Bytes& bytes, size_t at, int32_t v) { std::memcpy(bytes.data() + at, &v, 4); }
}  // namespace

TEST_F(SaveLoadTest, ALoadBringsBackEveryFieldOfTheSavedGame)
{
    const Bytes before = Saved();
    const int32_t extraId = Room_LastInstanceId + 1;
    Disturb();
    ASSERT_NE(Saved(), before);
    ASSERT_TRUE(Load(before));
    // Saving again gives the same bytes: every saved field came back.
    EXPECT_EQ(Saved(), before);

    CInstance* active = Instance_Find(activeId);
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->x, 3.5f);
    EXPECT_EQ(active->GetAlarm(2), 30);
    EXPECT_STREQ(ScriptValue_StringText(active->SlotAt(1)), "hello");
    EXPECT_EQ(active->m_object, Object_Get(object));
    EXPECT_EQ(Instance_Find(extraId), nullptr) << "an instance made after the save is gone";
    EXPECT_NE(Instance_Find(hiddenId), nullptr);
    EXPECT_EQ(score, 12);
    EXPECT_STREQ(ScriptValue_StringText(&caption_score), "Points: ");
    EXPECT_EQ(Run_Room->views[0].viewX, 10.0f) << "view positions are whole numbers";
    ASSERT_EQ(Run_Room->tileCount, 1);
    EXPECT_EQ(Run_Room->tiles[0].id, 17);
    EXPECT_EQ(::room, 1);
    EXPECT_EQ(Run_Room, Run_RuntimeRoom(1));
    // The dormant room came back with its instance, which is not in the id table.
    CGameRoom* dormant = Run_RuntimeRoom(0);
    ASSERT_NE(dormant, nullptr);
    ASSERT_NE(dormant->activeInstances.first, nullptr);
    EXPECT_EQ(dormant->activeInstances.first->id, dormantId);
    EXPECT_EQ(Instance_Find(dormantId), nullptr);
    EXPECT_EQ(Run_RuntimeRoom(2), nullptr);

    // The loaded persistent room runs again with its instance.
    SwitchRoom(0);
    EXPECT_NE(Instance_Find(dormantId), nullptr);
}

TEST_F(SaveLoadTest, EveryTruncationIsRefusedWithTheGameUnchanged)
{
    const Bytes full = Saved();
    Disturb();
    const Bytes running = Saved();
    for (size_t cut = 0; cut < full.size(); ++cut) {
        if (!Load(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)))) {
            if (Saved() != running) ADD_FAILURE() << "the game changed after a refused load cut at " << cut;
        } else {
            ADD_FAILURE() << "a save cut at " << cut << " of " << full.size() << " was accepted";
        }
    }
    EXPECT_NE(logged.text.find("WARNING: Game load failed"), std::string::npos);
}

TEST_F(SaveLoadTest, CorruptedFieldsAreRefusedWithTheGameUnchanged)
{
    const Bytes good = Saved();
    const double marked = 12345.678;
    const size_t real = Find(good, &marked, 8);
    ASSERT_NE(real, std::string::npos);
    const size_t end = good.size();
    struct Case {
        const char* what;
        size_t at;
        int32_t value;
    };
    const Case cases[] = {
        {"not the marker", 0, 850},
        {"a current room beyond the slots", 8, 7},
        {"a negative current room", 8, -1},
        {"a current room that is not live", 8, 2},
        {"a pending room past every room", 12, 0x7FFFFFFF},
        {"a pending room the game does not have", 12, 3},
        {"a pending code that means nothing", 12, -2},
        {"a value turned into an array of a huge row count", real - 4, 2},
        {"a virtual-button count beyond the data", end - 4, 0x7FFFFFFF},
        {"no virtual-button marker", end - 8, 0},
    };
    Disturb();
    const Bytes running = Saved();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bad = good;
        PutS32(bad, c.at, c.value);
        EXPECT_FALSE(Load(bad));
        EXPECT_EQ(Saved(), running);
    }
}

TEST_F(SaveLoadTest, AssetsAndLayersTheGameDoesNotHaveAreRefused)
{
    // Each case names, in a save of this game, something the game lacks:
    // a field of the active instance, or the cursor sprite.
    struct Case {
        const char* what;
        int32_t CInstance::*field;
        int32_t value;
    };
    const Case cases[] = {
        {"the cursor sprite", nullptr, 3},
        {"an instance's object", &CInstance::object_index, 9},
        {"an instance's negative object", &CInstance::object_index, -1},
        {"an instance's sprite", &CInstance::sprite_index, 4},
        {"an instance's mask", &CInstance::mask_index, 4},
        {"an instance's path", &CInstance::path_index, 2},
        {"an instance's timeline", &CInstance::timeline_index, 2},
        {"an instance's layer", &CInstance::layer, 77},
    };
    // A sprite element naming a sprite the game lacks, on a layer of its own.
    {
        LayerMode = true;
        RoomLayer* layer = Layer_Create(Run_Room, 50, "sprites");
        LayerElement_Sprite* element = Layer_NewSpriteElement();
        element->sprite = 6;
        Layer_AddElement(Run_Room, layer, element, true);
        const Bytes bad = Saved();
        Layer_Destroy(Run_Room, layer->id);
        LayerMode = false;
        const Bytes running = Saved();
        EXPECT_FALSE(Load(bad));
        EXPECT_EQ(Saved(), running);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CInstance* active = Instance_Find(activeId);
        ASSERT_NE(active, nullptr);
        int32_t* field = c.field ? &(active->*c.field) : &cursor_sprite;
        const int32_t kept = *field;
        *field = c.value;
        const Bytes bad = Saved();
        *field = kept;
        const Bytes running = Saved();
        logged.text.clear();
        EXPECT_FALSE(Load(bad));
        EXPECT_NE(logged.text.find("does not have"), std::string::npos);
        EXPECT_EQ(Saved(), running);
    }
}

TEST_F(SaveLoadTest, ASavedIdCounterBelowTheSavedInstancesGivesNoIdTwice)
{
    Room_LastInstanceId = 5;
    const Bytes low = Saved();
    ASSERT_TRUE(Load(low));
    const int32_t id = Run_Room->CreateInstance(0, 0, object)->id;
    EXPECT_GT(id, std::max({dormantId, activeId, hiddenId}));
}

TEST_F(SaveLoadTest, DuplicateInstanceIdsAndAnotherGlobalLayoutAreRefused)
{
    Instance_Find(hiddenId)->id = activeId;
    const Bytes twice = Saved();
    Run_Room->deactivatedInstances.first->id = hiddenId;
    const Bytes running = Saved();
    EXPECT_FALSE(Load(twice));
    EXPECT_EQ(Saved(), running);

    const Bytes good = Saved();
    Variable_SetCounts(3, 3, 0);
    EXPECT_FALSE(Load(good));
    EXPECT_NE(LastReport().find("Save game format has changed"), std::string::npos);
    Variable_SetCounts(2, 3, 0);
    PendingRoomCode = -1;
    EXPECT_EQ(Saved(), running);
}

TEST_F(SaveLoadTest, LoadsWaitForTheNextFrameAndOnlyOneFileLoadIsQueued)
{
    TempFolder saves;
    Runner_SetSavePrefix((saves.Path() + "/").c_str());
    const Bytes before = Saved();
    Game_Save("slot1.sav");
    Disturb();
    Game_Save("slot2.sav");
    const Bytes disturbed = Saved();

    Game_Load("slot1.sav");
    Game_Load("slot2.sav");
    EXPECT_NE(logged.text.find("WARNING: Load game being ignored due to load game already queued\n"),
              std::string::npos);
    EXPECT_EQ(Saved(), disturbed) << "nothing changes before the next frame";
    EXPECT_TRUE(Game_ApplyQueuedLoad());
    EXPECT_EQ(Saved(), before);
    EXPECT_FALSE(Game_ApplyQueuedLoad()) << "the queue is empty once applied";

    Game_Load("missing.sav");
    EXPECT_NE(logged.text.find("WARNING: Game load failed,  not found\n"), std::string::npos);
    Game_Load(nullptr);
    EXPECT_NE(logged.text.find("WARNING: Game load failed, null filename passed\n"), std::string::npos);
    EXPECT_FALSE(Game_ApplyQueuedLoad());
    Runner_SetSavePrefix("");
}

TEST_F(SaveLoadTest, BufferLoadsAreQueuedAndABufferWithoutTheMarkerChangesNothing)
{
    const int id = Buffer_Create(64, eBuffer_Grow, 1);
    ASSERT_TRUE(Game_SaveBuffer(id));
    EXPECT_FALSE(Game_SaveBuffer(-5));
    const Bytes before = Saved();
    Disturb();

    IBuffer* buffer = Buffer_Get(id);
    buffer->Seek(eBuffer_SeekStart, 0);
    EXPECT_TRUE(Game_LoadBuffer(id));
    EXPECT_TRUE(Game_ApplyQueuedLoad());
    EXPECT_EQ(Saved(), before);
    EXPECT_NE(Buffer_Get(id), nullptr) << "the game's buffer is its own";

    Disturb();
    const Bytes again = Saved();
    buffer->Seek(eBuffer_SeekStart, 0);
    ScriptValue zero = ScriptValue_Real(0);
    buffer->Write(eBuffer_S32, &zero);
    buffer->Seek(eBuffer_SeekStart, 0);
    EXPECT_TRUE(Game_LoadBuffer(id));
    EXPECT_FALSE(Game_ApplyQueuedLoad());
    EXPECT_EQ(Saved(), again);
    EXPECT_FALSE(Game_LoadBuffer(-5));
    EXPECT_NE(logged.text.find("WARNING: No buffer available for -5\n"), std::string::npos);
    Buffer_Delete(id);
}

TEST_F(SaveLoadTest, InLayerModeLayersAndTheirElementsComeBackWithTheInstancesOnThem)
{
    Run_EndGame();
    LayerMode = true;
    Run_StartRoom(1, true);
    RoomLayer* layer = Layer_Create(Run_Room, 50, "sprites");
    ASSERT_NE(layer, nullptr);
    for (float x : {4.0f, 5.0f, 6.0f}) {
        LayerElement_Sprite* element = Layer_NewSpriteElement();
        element->sprite = -1;
        element->x = x;
        Layer_AddElement(Run_Room, layer, element, true);
    }
    CInstance* onLayer = Run_Room->CreateInstanceOnLayerId(2, 3, layer->id, object);
    ASSERT_NE(onLayer, nullptr);
    const int32_t id = onLayer->id, layerId = layer->id;
    const Bytes before = Saved();
    Disturb();
    ASSERT_TRUE(Load(before));
    // Each element group comes back in the reverse of its saved order, so a
    // second save and load gives the first save back.
    const Bytes reversed = Saved();
    EXPECT_NE(reversed, before);
    EXPECT_EQ(reversed.size(), before.size());
    ASSERT_TRUE(Load(reversed));
    EXPECT_EQ(Saved(), before);
    RoomLayer* loaded = Layer_FindByID(Run_Room, layerId);
    ASSERT_NE(loaded, nullptr);
    CInstance* back = Instance_Find(id);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->m_onLayer);
    EXPECT_EQ(back->layer, loaded->id);
    for (LayerElement* element = loaded->first; element; element = element->next) EXPECT_TRUE(element->ready);
    LayerMode = false;
}

TEST_F(SaveLoadTest, TheBuiltInsSaveIntoAndQueueLoadsFromTheGamesBuffers)
{
    InitGameSaveLoadFunctions();
    auto call = [](const char* name, ScriptValue argument) {
        int32_t index = -1;
        ASSERT_TRUE(CodeFunction_Find(name, &index)) << name;
        BuiltinFunction* function = CodeFunction_At(index);
        ASSERT_NE(function, nullptr);
        ScriptValue result = ScriptValue_Undefined();
        function->routine(&result, nullptr, nullptr, 1, &argument);
        EXPECT_EQ(result.Kind(), VALUE_UNDEFINED) << name << " hands back nothing";
    };
    const int id = Buffer_Create(64, eBuffer_Grow, 1);
    call("game_save_buffer", ScriptValue_Real(id));
    const Bytes before = Saved();
    Disturb();
    Buffer_Get(id)->Seek(eBuffer_SeekStart, 0);
    call("game_load_buffer", ScriptValue_Real(id));
    EXPECT_TRUE(Game_ApplyQueuedLoad());
    EXPECT_EQ(Saved(), before);
    Buffer_Delete(id);
}

TEST_F(SaveLoadTest, VirtualButtonsComeBackWithTheGame)
{
    IO_CreateVirtualButtons();
    IO_VirtualButton* button = IO_AllocVirtualButton();
    ASSERT_NE(button, nullptr);
    button->flags = 3;
    button->x = 5;
    button->key = 65;
    const Bytes saved = Saved();
    button->x = 9;
    button->key = 0;
    ASSERT_TRUE(Load(saved));
    button = IO_GetVirtualButton(button->id);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->x, 5);
    EXPECT_EQ(button->key, 65);
    IO_FreeVirtualButtons();
}
