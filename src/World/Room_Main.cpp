#include "World/Room_Main.h"

#include <algorithm>
#include <new>

#include "Base/Array.h"
#include "World/Room_Class.h"
#include "World/Room_Layers.h"
#include "GameData/AssetTable.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"

CGameRoom* Run_Room = nullptr;

namespace {
AssetTable<CGameRoom> s_rooms("__newroom");
cARRAY_STRUCTURE<int32_t> s_order;

// Room-record words the reader follows: name, caption, the four lists.
constexpr uint32_t kBackgroundsAt = 40;
constexpr uint32_t kViewsAt = 44;
constexpr uint32_t kInstancesAt = 48;
constexpr uint32_t kTilesAt = 52;

bool CheckList(const uint8_t* payload, uint32_t length, uint32_t room, uint32_t listAt, uint32_t recordSize,
               const char* what, uint32_t limit)
{
    if (listAt == 0) return true;
    if (!GameData_CheckRecord("ROOM", payload, length, listAt, 4, what, room)) return false;
    const uint32_t count = GameData_U32(GameData + listAt);
    if (count > limit || count > length / 4)
        return GameData_Fail("ROOM", "room %u: %s count %u is out of range", room, what, count);
    if (!GameData_CheckRecord("ROOM", payload, length, listAt, 4 + 4 * count, what, room)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t at = GameData_U32(GameData + listAt + 4 + 4 * i);
        if (!GameData_CheckRecord("ROOM", payload, length, at, recordSize, what, room)) return false;
    }
    return true;
}

bool CheckRoom(const uint8_t* payload, uint32_t length, uint32_t index, uint32_t offset)
{
    // Records before format 6 end before the physics fields.
    const uint32_t size = FormatVersion >= 6 ? ROOM_RECORD_SIZE - 4 : 56;
    if (!GameData_CheckRecord("ROOM", payload, length, offset, size, "room", index)) return false;
    const uint8_t* record = GameData + offset;
    const char* text = nullptr;
    if (!GameData_String("ROOM", GameData_U32(record), &text) || !GameData_String("ROOM", GameData_U32(record + 4), &text))
        return false;
    if (static_cast<int16_t>(GameData_U32(record + 36) >> 16) >= 2 &&
        (!GameData_CheckRecord("ROOM", payload, length, offset, ROOM_RECORD_SIZE, "room", index) ||
         !Layer_CheckRoomLayers(payload, length, index, GameData_U32(record + ROOM_RECORD_SIZE - 4))))
        return false;
    return CheckList(payload, length, index, GameData_U32(record + kBackgroundsAt), 40, "background",
                     ROOM_BACKGROUNDS) &&
           CheckList(payload, length, index, GameData_U32(record + kViewsAt), 56, "view", ROOM_VIEWS) &&
           CheckList(payload, length, index, GameData_U32(record + kInstancesAt), 36, "instance", length) &&
           CheckList(payload, length, index, GameData_U32(record + kTilesAt), 48, "tile", length);
}

void FreeTables()
{
    s_rooms.FreeAll();
    s_order.Resize(0);
}
}  // namespace

void Room_Init()
{
    // A previous game's table is freed rather than dropped, so nothing leaks.
    FreeTables();
}

bool Room_Load(const uint8_t* payload, uint32_t length, const uint8_t* data)
{
    uint32_t count = 0;
    if (!GameData_CheckList("ROOM", payload, length, &count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(payload + 4 + 4 * i);
        if (offset != 0 && !CheckRoom(payload, length, i, offset)) return false;
    }
    return s_rooms.LoadChunk("ROOM", "room slots", payload, length,
                             [data](uint32_t, uint32_t offset, CGameRoom** record, const char** name) {
                                 *record = new CGameRoom();
                                 if (!(*record)->Load(GameData + offset, data)) return false;
                                 *name = (*record)->name;
                                 return true;
                             });
}

void Room_LoadOrder(const uint8_t* indices, uint32_t count)
{
    if (!s_order.Resize(static_cast<int32_t>(count))) return;
    for (uint32_t i = 0; i < count; ++i) s_order.items[i] = static_cast<int32_t>(GameData_U32(indices + 4 * i));
}

void Room_SetLastInstanceId(uint32_t id)
{
    Room_LastInstanceId = static_cast<int32_t>(id);
}

void Room_SetLastTileId(uint32_t id)
{
    Room_LastTileId = static_cast<int32_t>(id);
}

// The instances a room's definition places keep their ids, and a header may
// carry a last id below them: new ids start above every one.
bool Room_Prepare()
{
    Room_LastInstanceId = std::max(Room_LastInstanceId, Room_HighestDefinedInstanceId());
    return true;
}

int32_t Room_HighestDefinedInstanceId()
{
    int32_t highest = 0;
    for (int32_t r = 0; r < s_rooms.Count(); ++r) {
        const CGameRoom* room = s_rooms.Get(r);
        if (!room) continue;
        for (int32_t i = 0; i < room->instanceDefs.records.length; ++i)
            highest = std::max(highest, room->instanceDefs.records.items[i].id);
    }
    return highest;
}

CGameRoom* Room_Get(int32_t index)
{
    return s_rooms.Get(index);
}

int32_t Room_Count()
{
    return s_rooms.Count();
}

bool Room_Exists(int32_t index)
{
    return Room_Get(index) != nullptr;
}

int Room_Find(const char* text)
{
    return s_rooms.FindFirst(text);
}

const char* Room_Name(int32_t index)
{
    return Room_Exists(index) ? s_rooms.Name(index) : "<undefined>";
}

int32_t Room_OrderCount()
{
    return s_order.length;
}

int32_t Room_OrderAt(int32_t position)
{
    return position >= 0 && position < s_order.length ? s_order.items[position] : -1;
}

int32_t Room_First()
{
    return Room_OrderAt(0);
}

int32_t Room_Last()
{
    return Room_OrderAt(s_order.length - 1);
}

int32_t Room_Next(int32_t room)
{
    const int32_t n = s_order.length;
    if (n < 2) return -1;
    for (int32_t i = n - 2; i >= 0; --i) {
        if (s_order.items[i] == room) return s_order.items[i + 1];
    }
    return s_order.items[1];
}

int32_t Room_Previous(int32_t room)
{
    const int32_t n = s_order.length;
    if (n < 2) return -1;
    for (int32_t i = 1; i < n; ++i) {
        if (s_order.items[i] == room) return s_order.items[i - 1];
    }
    return s_order.items[n - 2];
}

int32_t Room_Add()
{
    auto* room = new (std::nothrow) CGameRoom();
    if (room) room->CreateEmptyDefinition();
    return s_rooms.Append(room);
}

int32_t Room_Duplicate(int32_t index)
{
    if (!Room_Exists(index)) return -1;
    auto* room = new (std::nothrow) CGameRoom();
    if (room) room->runtimeMade = true;
    const int32_t added = s_rooms.Append(room);
    if (added >= 0) Room_CopyDefinition(room, s_rooms.Get(index), false);
    return added;
}

bool Room_Assign(int32_t destination, int32_t source)
{
    if (!Room_Exists(destination) || !Room_Exists(source)) return false;
    // A room assigned to itself already holds what it would be given.
    if (destination == source) return true;
    auto* room = new (std::nothrow) CGameRoom();
    if (!room) return false;
    s_rooms.Put(destination, room);
    Room_CopyDefinition(room, s_rooms.Get(source), true);
    return true;
}

void Room_FreeAll()
{
    Run_Room = nullptr;
    FreeTables();
}

int32_t PendingRoomCode = -1;

void RequestGameEnd()
{
    PendingRoomCode = ROOMCODE_END;
}
