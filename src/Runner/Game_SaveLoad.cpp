#include "Runner/Game_SaveLoad.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Manager.h"
#include "Buffer/SaveFields.h"
#include "Code/Code_ValueSave.h"
#include "Code/Code_Variable.h"
#include "Draw/Draw_Frame.h"
#include "GameData/GameHeader.h"
#include "IO/IO_Input.h"
#include "IO/LoadSave.h"
#include "Runner/Run_Globals.h"
#include "Runner/Run_Room.h"
#include "Sprite/Sprite_Main.h"
#include "Variable/Code_VariableValue.h"
#include "World/Camera.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Room_Layers.h"
#include "World/Room_Main.h"

namespace {
constexpr int32_t kMarker = 851;
// A camera record: id, six matrices, nine numbers, six words.
constexpr int32_t kCameraElements = 1 + 6 * 16 + 9 + 6;
// A virtual button: two s16 words and ten s32 values.
constexpr size_t kButtonBytes = 2 + 2 + 10 * 4;

int32_t s_queuedBuffer = -1;
int32_t s_fileLoadBuffer = -1;

struct SaveHeader {
    int32_t gameId = 0, room = 0, pending = 0, transition = 0, score = 0;
    bool showScore = false, showScoreSet = false;
    char* captionScore = nullptr;
    int32_t lives = 0;
    bool showLives = false;
    char* captionLives = nullptr;
    double health = 0;
    bool showHealth = false;
    char* captionHealth = nullptr;
    int32_t cursor = 0, step = 0;
    bool drawEvent = true;

    SaveHeader() = default;
    SaveHeader(const SaveHeader&) = delete;
    SaveHeader& operator=(const SaveHeader&) = delete;
    ~SaveHeader()
    {
        QS_FREE(captionScore);
        QS_FREE(captionLives);
        QS_FREE(captionHealth);
    }
};

// The rooms section read into rooms that do not run yet.
struct LoadedRooms {
    std::vector<CGameRoom*> slots;
    int32_t lastInstanceId = 0, lastTileId = 0;

    LoadedRooms() = default;
    LoadedRooms(const LoadedRooms&) = delete;
    LoadedRooms& operator=(const LoadedRooms&) = delete;
    ~LoadedRooms()
    {
        for (CGameRoom* r : slots) {
            if (!r) continue;
            r->DiscardLoaded();
            delete r;
        }
    }
};

void WriteHeader(SaveWriter& out)
{
    out.I32(kMarker);
    out.I32(static_cast<int32_t>(GameId));
    out.I32(room);
    out.I32(PendingRoomCode);
    out.I32(transition_kind);
    out.I32(score);
    out.Flag(show_score);
    out.Flag(ScoreShownExplicitly);
    out.String(ScriptValue_StringText(&caption_score));
    out.I32(lives);
    out.Flag(show_lives);
    out.String(ScriptValue_StringText(&caption_lives));
    out.F64(health);
    out.Flag(show_health);
    out.String(ScriptValue_StringText(&caption_health));
    out.I32(cursor_sprite);
    out.I32(static_cast<int32_t>(StepCounter));
    out.Flag(DrawEventsEnabled);
}

// False, having read only the marker, when the marker is not the saved game's.
bool ReadHeader(SaveReader& in, SaveHeader* h)
{
    if (in.I32() != kMarker || !in.ok) return false;
    h->gameId = in.I32();
    h->room = in.I32();
    h->pending = in.I32();
    h->transition = in.I32();
    h->score = in.I32();
    h->showScore = in.Flag();
    h->showScoreSet = in.Flag();
    h->captionScore = in.String();
    h->lives = in.I32();
    h->showLives = in.Flag();
    h->captionLives = in.String();
    h->health = in.F64();
    h->showHealth = in.Flag();
    h->captionHealth = in.String();
    h->cursor = in.I32();
    h->step = in.I32();
    h->drawEvent = in.Flag();
    return in.ok;
}

void ApplyHeader(const SaveHeader& h)
{
    GameId = static_cast<uint32_t>(h.gameId);
    room = h.room;
    PendingRoomCode = h.pending;
    transition_kind = h.transition;
    score = h.score;
    show_score = h.showScore;
    ScoreShownExplicitly = h.showScoreSet;
    ScriptValue_SetString(&caption_score, h.captionScore);
    lives = h.lives;
    show_lives = h.showLives;
    ScriptValue_SetString(&caption_lives, h.captionLives);
    health = h.health;
    show_health = h.showHealth;
    ScriptValue_SetString(&caption_health, h.captionHealth);
    cursor_sprite = h.cursor;
    StepCounter = h.step;
    DrawEventsEnabled = h.drawEvent;
}

// A room switch the saved game had asked for, or none.
bool PendingCodeValid(int32_t code)
{
    return code == -1 || code == ROOMCODE_END || code == ROOMCODE_RESTART || code == ROOMCODE_QUIT || Room_Exists(code);
}

bool HeaderNamesExist(const SaveHeader& h)
{
    return Room_Exists(h.room) && PendingCodeValid(h.pending) && (h.cursor == -1 || Sprite_Exists(h.cursor));
}

// The globals section, read only to check it: Variable_LoadGlobals applies it later.
bool CheckGlobals(SaveReader& in)
{
    const int32_t count = in.I32();
    if (!in.ok) return false;
    if (count != Variable_GlobalCount()) {
        FatalRuntimeError("Save game format has changed");
        return false;
    }
    for (int32_t i = 0; i < count; ++i) {
        ScriptValue value = ScriptValue_Undefined();
        if (!ScriptValue_ReadFromBuffer(&value, in.buffer)) return false;
        ScriptValue_SetUndefined(&value);
    }
    in.Skip(in.Count(4));
    return in.ok;
}

bool CheckCameras(SaveReader& in)
{
    const int32_t count = in.Count(4);
    for (int32_t i = 0; i < count && in.ok; ++i) {
        if (in.I32()) in.Skip(kCameraElements);
    }
    return in.ok;
}

void WriteButtons(IBuffer* buffer)
{
    std::vector<uint8_t> bytes;
    IO_SaveVirtualButtonState(&bytes);
    buffer->WriteBytes(bytes.data(), 1, static_cast<int32_t>(bytes.size()));
}

bool CheckButtons(SaveReader& in)
{
    if (in.I32() != kMarker) return false;
    const int32_t count = in.Count(kButtonBytes);
    for (int32_t i = 0; i < count && in.ok; ++i) {
        in.Number(eBuffer_S16);
        in.Number(eBuffer_S16);
        in.Skip(10);
    }
    return in.ok;
}

void WriteRooms(SaveWriter& out)
{
    const int32_t n = Run_RuntimeRoomCount();
    out.I32(n);
    out.I32(Room_LastInstanceId);
    out.I32(Room_LastTileId);
    for (int32_t i = 0; i < n; ++i) {
        CGameRoom* live = Run_RuntimeRoom(i);
        out.Flag(live != nullptr);
        if (live) live->WriteSave(out.buffer);
    }
}

bool ReadRooms(SaveReader& in, LoadedRooms* rooms, int32_t current)
{
    const int32_t n = in.Count(4);
    rooms->lastInstanceId = in.I32();
    rooms->lastTileId = in.I32();
    if (!in.ok) return false;
    rooms->slots.assign(static_cast<size_t>(n), nullptr);
    for (int32_t i = 0; i < n; ++i) {
        if (!in.Flag()) {
            if (!in.ok) return false;
            continue;
        }
        rooms->slots[static_cast<size_t>(i)] = new CGameRoom();
        if (!rooms->slots[static_cast<size_t>(i)]->ReadSave(in.buffer)) return false;
    }
    // The game goes on in the saved current room, which must be there.
    return current >= 0 && current < n && current < Room_Count() && rooms->slots[static_cast<size_t>(current)];
}

// The running game's instances give way to the loaded rooms; the current
// room's instances join their objects, the id table and their layers.
void ApplyRooms(LoadedRooms* rooms, int32_t current)
{
    if (Run_Room) {
        Run_Room->DeleteActiveInstances();
        Run_Room->DeleteDeactivatedInstances();
    }
    Object_ClearInstanceLists();
    Instance_ClearTable(HASH_DELETE_VALUE);
    for (int32_t i = 0; i < Run_RuntimeRoomCount(); ++i) {
        if (CGameRoom* old = Run_RuntimeRoom(i)) old->DiscardLoaded();
    }
    Run_ReplaceRuntimeRooms(rooms->slots.data(), static_cast<int32_t>(rooms->slots.size()), current);
    rooms->slots.clear();
    // New ids start above every id in use, whatever the saved counter says.
    int32_t highest = std::max(rooms->lastInstanceId, Room_HighestDefinedInstanceId());
    for (int32_t i = 0; i < Run_RuntimeRoomCount(); ++i) {
        CGameRoom* loaded = Run_RuntimeRoom(i);
        if (!loaded) continue;
        for (InstanceDepthList* list : {&loaded->activeInstances, &loaded->deactivatedInstances})
            for (CInstance* instance = list->first; instance; instance = instance->m_next)
                highest = std::max(highest, instance->id);
    }
    Room_LastInstanceId = highest;
    Room_LastTileId = rooms->lastTileId;
    CGameRoom* live = Run_Room;
    // The loaded elements of the room that runs are ready to draw.
    for (RoomLayer* layer = live->layers.first; layer; layer = layer->next) {
        for (LayerElement* element = layer->first; element; element = element->next)
            Layer_ResolveElement(live, layer, element);
    }
    for (InstanceDepthList* list : {&live->activeInstances, &live->deactivatedInstances}) {
        for (CInstance* instance = list->first; instance; instance = instance->m_next) {
            if (!instance->m_deactivated && instance->m_object) instance->m_object->AddInstance(instance);
            Instance_Insert(instance->id, instance);
            if (LayerMode) Layer_AddInstanceToDefault(live, instance);
            if (instance->m_marked) ++MarkedInstanceCount;
        }
    }
    UpdateWindowSizeForRoom();
}

void LogLoadFailure(const char* why) { LogConsole->Output("WARNING: Game load failed, %s\n", why); }
}  // namespace

void Game_WriteSave(IBuffer* buffer)
{
    SaveWriter out{buffer};
    WriteHeader(out);
    Variable_SaveGlobals(buffer);
    CameraList::Serialise(buffer);
    WriteRooms(out);
    WriteButtons(buffer);
}

bool Game_ReadSave(IBuffer* buffer)
{
    SaveReader in{buffer};
    SaveHeader header;
    if (!ReadHeader(in, &header)) {
        LogLoadFailure(in.ok ? "not a saved game" : "the saved game is cut short");
        return false;
    }
    if (!HeaderNamesExist(header)) {
        LogLoadFailure("the saved game names a room or sprite the game does not have");
        return false;
    }
    const int32_t globals = buffer->Position();
    LoadedRooms rooms;
    if (!CheckGlobals(in) || !CheckCameras(in) || !ReadRooms(in, &rooms, header.room)) {
        LogLoadFailure("the saved game is cut short or damaged");
        return false;
    }
    const int32_t buttons = buffer->Position();
    if (!CheckButtons(in)) {
        LogLoadFailure("the saved game is cut short or damaged");
        return false;
    }
    const int32_t end = buffer->Position();
    // Everything was read and checked: from here on the game changes.
    buffer->Seek(eBuffer_SeekStart, globals);
    const bool sections = Variable_LoadGlobals(buffer) && CameraList::Deserialise(buffer);
    if (!sections) LogLoadFailure("out of memory while applying the saved game");
    ApplyRooms(&rooms, header.room);
    ApplyHeader(header);
    IO_LoadVirtualButtonState(buffer->Data() + buttons, static_cast<size_t>(end - buttons), nullptr);
    buffer->Seek(eBuffer_SeekStart, end);
    return sections;
}

void Game_Save(const char* name)
{
    char path[4096];
    LoadSave_MakeSavePath(path, sizeof path, name);
    if (!path[0]) return;
    IBuffer buffer(0x20000, eBuffer_Grow, 1);
    Game_WriteSave(&buffer);
    if (!LoadSave_WriteSaveFile(name, buffer.Data(), static_cast<size_t>(buffer.Position())))
        LogConsole->Output("WARNING: Game save failed, %s cannot be written\n", path);
}

bool Game_SaveBuffer(int32_t bufferId)
{
    IBuffer* buffer = Buffer_Get(bufferId);
    if (!buffer) return false;
    Game_WriteSave(buffer);
    return true;
}

bool Game_LoadBuffer(int32_t bufferId)
{
    if (s_fileLoadBuffer != -1) {
        LogConsole->Output("WARNING: Load game being ignored due to load game already queued\n");
        return false;
    }
    if (!Buffer_Get(bufferId)) {
        LogConsole->Output("WARNING: No buffer available for %d\n", bufferId);
        return false;
    }
    s_queuedBuffer = bufferId;
    return true;
}

void Game_Load(const char* name)
{
    if (!name) {
        LogConsole->Output("WARNING: Game load failed, null filename passed\n");
        return;
    }
    char path[4096] = "";
    if (LoadSave_SaveFileExists(name))
        LoadSave_MakeSavePath(path, sizeof path, name);
    else if (LoadSave_BundleFileExists(name))
        LoadSave_MakeBundlePath(path, sizeof path, name);
    uint32_t size = 0;
    uint8_t* data = path[0] ? LoadSave_ReadWholeFile(path, &size) : nullptr;
    if (!data || size > 0x7FFFFFFFu) {
        QS_FREE(data);
        LogConsole->Output("WARNING: Game load failed, %s not found\n", path);
        return;
    }
    // The buffer owns the data from here on, also when no id can be had.
    const int id = Buffer_CreateWrapped(data, static_cast<int32_t>(size), true);
    if (id < 0) return;
    if (Game_LoadBuffer(id))
        s_fileLoadBuffer = id;
    else
        Buffer_Delete(id);
}

void Game_DropQueuedLoad()
{
    s_queuedBuffer = -1;
    if (s_fileLoadBuffer != -1) Buffer_Delete(s_fileLoadBuffer);
    s_fileLoadBuffer = -1;
}

bool Game_ApplyQueuedLoad()
{
    if (s_queuedBuffer == -1) return false;
    IBuffer* buffer = Buffer_Get(s_queuedBuffer);
    s_queuedBuffer = -1;
    const bool loaded = buffer && Game_ReadSave(buffer);
    if (s_fileLoadBuffer != -1) {
        Buffer_Delete(s_fileLoadBuffer);
        s_fileLoadBuffer = -1;
    }
    return loaded;
}
