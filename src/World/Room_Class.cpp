#include "World/Room_Class.h"

#include <cmath>
#include <cstring>
#include <new>

#include "Base/MemoryManager.h"
#include "Code/Code_Main.h"
#include "Code/Code_Value.h"
#include "Background/Background_Main.h"
#include "World/Camera.h"
#include "World/Collision.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "Physics/PhysicsWorld.h"
#include "World/Room_Physics.h"
#include "GameData/GameData.h"
#include "World/Room_Layers.h"
#include "GameData/GameHeader.h"

namespace {
// A float of the data as a whole number, toward zero; out of range or NaN stays in range.
int32_t TruncateToInt(float value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t Word(const uint8_t* p, uint32_t index)
{
    return static_cast<int32_t>(GameData_U32(p + 4 * index));
}

template <typename T>
bool CopyDefs(RoomDefList<T>& to, const RoomDefList<T>& from)
{
    to.Free();
    to.present = from.present;
    if (!to.records.Resize(from.records.length)) return false;
    if (from.records.length > 0)
        std::memcpy(static_cast<void*>(to.records.items), from.records.items,
                    sizeof(T) * static_cast<size_t>(from.records.length));
    return true;
}

float AlphaOf(uint32_t colour)
{
    return static_cast<float>(colour >> 24) / 255.0f;
}
}  // namespace

CGameRoom::CGameRoom() : self(this)
{
    Clear();
}

CGameRoom::~CGameRoom()
{
    Room_DestroyInstanceBodies(this);
    delete physics;
    physics = nullptr;
    if (LayerMode) {
        for (CInstance* instance = activeInstances.first; instance;) {
            CInstance* next = instance->m_next;
            if (!instance->m_marked && !instance->m_deactivated && !instance->persistent)
                PerformEventForInstance(instance, instance, EVENT_CLEANUP, 0);
            instance = next;
        }
    }
    Clear();
}

void CGameRoom::Clear()
{
    tileDefs.Free();
    instanceDefs.Free();
    definition = nullptr;
    definitionBase = nullptr;
    QS_FREE(privateDefinition);
    privateDefinition = nullptr;
    QS_FREE(caption);
    caption = nullptr;
    width = 640;
    height = 480;
    speed = 30;
    persistent = false;
    colour = 0xC0C0C0;
    showColour = true;
    QS_FREE(creationCodeName);
    creationCodeName = nullptr;
    creationCode = nullptr;
    physicsWorld = false;
    formatNumber = 0;
    for (RoomBackground& background : backgrounds) background = RoomBackground{};
    for (RoomView& view : views) {
        if (LayerMode && view.camera >= 0) CameraList::DestroyCamera(view.camera);
        view = RoomView{};
    }
    enableViews = clearViewBackground = clearDisplayBuffer = false;
    DeleteActiveInstances();
    DeleteDeactivatedInstances();
    createdIds.Resize(0);
    FreeTiles();
    Layer_FreeAll(this);
    Layer_FreeMaps(this);
}

void CGameRoom::SetName(const char* text)
{
    QS_FREE(name);
    name = text ? DupString(text) : nullptr;
}

bool CGameRoom::Load(const uint8_t* record, const uint8_t* base)
{
    Clear();
    definition = record;
    definitionBase = base;
    const char* text = nullptr;
    GameData_String("ROOM", GameData_U32(record), &text);
    SetName(text);
    text = nullptr;
    GameData_String("ROOM", GameData_U32(record + 4), &text);
    caption = text ? DupString(text) : nullptr;
    width = Word(record, 2);
    height = Word(record, 3);
    speed = Word(record, 4);
    persistent = Word(record, 5) != 0;
    colour = GameData_U32(record + 24);
    showColour = Word(record, 7) != 0;
    if (CompiledCodeMode || GameTables.codePresent) {
        creationCodeName = DupString("");
        const int32_t code = Word(record, 8);
        if (code != -1) creationCode = Code_GetEntry(Code_AddEntry(code, 0));
    }
    const uint32_t flags = GameData_U32(record + 36);
    enableViews = (flags & 1) != 0;
    clearViewBackground = (flags & 2) != 0;
    clearDisplayBuffer = (flags & 4) == 0;
    formatNumber = static_cast<int16_t>(flags >> 16);
    if (FormatVersion >= 6) {
        physicsWorld = Word(record, 14) != 0;
        gravityX = TruncateToInt(GameData_F32(record + 76));
        gravityY = TruncateToInt(GameData_F32(record + 80));
        pixelsToMetres = GameData_F32(record + 84);
        if (physicsWorld) {
            const int32_t updateSpeed = LayerMode && GameGeneral.gameSpeed > 0
                                            ? TruncateToInt(static_cast<float>(GameGeneral.gameSpeed))
                                            : speed;
            physics = new (std::nothrow) PhysicsWorld(pixelsToMetres, updateSpeed);
            if (physics) physics->SetGravity(static_cast<float>(gravityX), static_cast<float>(gravityY));
        }
    }
    if (const uint32_t listAt = GameData_U32(record + 40)) {
        const uint8_t* list = GameData + listAt;
        const uint32_t count = GameData_U32(list);
        for (uint32_t k = 0; k < count && k < static_cast<uint32_t>(ROOM_BACKGROUNDS); ++k) {
            const uint8_t* entry = GameData + GameData_U32(list + 4 + 4 * k);
            RoomBackground& background = backgrounds[k];
            background.visible = Word(entry, 0) != 0;
            background.foreground = Word(entry, 1) != 0;
            background.index = Word(entry, 2);
            background.x = static_cast<float>(Word(entry, 3));
            background.y = static_cast<float>(Word(entry, 4));
            background.tileX = Word(entry, 5) != 0;
            background.tileY = Word(entry, 6) != 0;
            background.hspeed = static_cast<float>(Word(entry, 7));
            background.vspeed = static_cast<float>(Word(entry, 8));
            background.blend = 0xFFFFFF;
            background.alpha = 1;
            int32_t w = 0, h = 0;
            if (Word(entry, 9) != 0 && Background_GetSize(background.index, &w, &h)) {
                if (w > 0) background.xscale = static_cast<float>(width) / static_cast<float>(w);
                if (h > 0) background.yscale = static_cast<float>(height) / static_cast<float>(h);
            }
        }
    }
    if (const uint32_t listAt = GameData_U32(record + 44)) {
        const uint8_t* list = GameData + listAt;
        const uint32_t count = GameData_U32(list);
        for (uint32_t k = 0; k < count && k < static_cast<uint32_t>(ROOM_VIEWS); ++k) {
            const uint8_t* entry = GameData + GameData_U32(list + 4 + 4 * k);
            RoomView& view = views[k];
            view.visible = Word(entry, 0) != 0;
            view.viewX = static_cast<float>(Word(entry, 1));
            view.viewY = static_cast<float>(Word(entry, 2));
            view.viewWidth = static_cast<float>(Word(entry, 3));
            view.viewHeight = static_cast<float>(Word(entry, 4));
            view.portX = Word(entry, 5);
            view.portY = Word(entry, 6);
            view.portWidth = Word(entry, 7);
            view.portHeight = Word(entry, 8);
            view.angle = 0;
            view.borderH = Word(entry, 9);
            view.borderV = Word(entry, 10);
            view.hspeed = Word(entry, 11);
            view.vspeed = Word(entry, 12);
            view.followObject = Word(entry, 13);
            if (LayerMode) {
                const Camera* camera = CameraList::CreateFromRoomView(&view);
                view.camera = camera ? camera->id : -1;
            }
        }
    }
    // The instance and tile records are copied: the game data is never written.
    if (const uint32_t listAt = GameData_U32(record + 48)) {
        const uint8_t* list = GameData + listAt;
        const auto count = static_cast<int32_t>(GameData_U32(list));
        if (count > 0) {
            if (!instanceDefs.records.Resize(count))
                return GameData_Fail("ROOM", "no memory for the instances of room %s", name ? name : "");
            instanceDefs.present = true;
            for (int32_t i = 0; i < count; ++i) {
                const uint8_t* entry = GameData + GameData_U32(list + 4 + 4 * static_cast<uint32_t>(i));
                RoomInstanceDef& def = instanceDefs.records.items[i];
                std::memcpy(&def, entry, sizeof def);
                def.creationCode = Code_AddEntry(def.creationCode, 0);
            }
        }
    }
    if (const uint32_t listAt = GameData_U32(record + 52)) {
        const uint8_t* list = GameData + listAt;
        const auto count = static_cast<int32_t>(GameData_U32(list));
        if (!tileDefs.records.Resize(count))
            return GameData_Fail("ROOM", "no memory for the tiles of room %s", name ? name : "");
        tileDefs.present = true;
        for (int32_t i = 0; i < count; ++i)
            std::memcpy(&tileDefs.records.items[i], GameData + GameData_U32(list + 4 + 4 * static_cast<uint32_t>(i)),
                        sizeof(RoomTileDef));
    }
    if (formatNumber >= 2) {
        if (const uint32_t layersAt = GameData_U32(record + 88)) Layer_ReadRoomLayers(this, GameData + layersAt);
    }
    return true;
}

void CGameRoom::MakePrivateDefinition(int32_t definitionSpeed)
{
    QS_FREE(privateDefinition);
    privateDefinition = static_cast<uint8_t*>(QS_ALLOC(ROOM_RECORD_SIZE, true));
    if (privateDefinition) {
        // The list words only mark the lists as present; the lists hang off the room.
        const auto put = [this](uint32_t at, uint32_t value) { std::memcpy(privateDefinition + at, &value, 4); };
        put(16, static_cast<uint32_t>(definitionSpeed));
        put(48, 1);
        put(52, 1);
    }
    definition = privateDefinition;
    definitionBase = privateDefinition;
}

void CGameRoom::CreateEmptyDefinition()
{
    MakePrivateDefinition(30);
    tileDefs.Free();
    tileDefs.present = true;
}

void CGameRoom::CleanUpPersistent()
{
    for (CInstance* instance = activeInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (instance->persistent) PerformEventForInstance(instance, instance, EVENT_CLEANUP, 0);
        instance = next;
    }
}

bool GameData_Contains(const void* pointer)
{
    const auto* p = static_cast<const uint8_t*>(pointer);
    return GameData && p >= GameData && p < GameData + GameDataSize;
}

void Room_CopyDefinition(CGameRoom* destination, const CGameRoom* source, bool instantiate)
{
    destination->Clear();
    if (!source) return;
    destination->caption = source->caption ? DupString(source->caption) : nullptr;
    destination->width = source->width;
    destination->height = source->height;
    destination->speed = source->speed;
    destination->persistent = source->persistent;
    destination->colour = source->colour;
    destination->showColour = source->showColour;
    destination->creationCodeName = source->creationCodeName ? DupString(source->creationCodeName) : nullptr;
    destination->creationCode = source->creationCode;
    destination->physicsWorld = source->physicsWorld;
    destination->gravityX = source->gravityX;
    destination->gravityY = source->gravityY;
    destination->pixelsToMetres = source->pixelsToMetres;
    destination->formatNumber = source->formatNumber;
    for (int32_t k = 0; k < ROOM_BACKGROUNDS; ++k) destination->backgrounds[k] = source->backgrounds[k];
    destination->enableViews = source->enableViews;
    destination->clearViewBackground = source->clearViewBackground;
    destination->clearDisplayBuffer = source->clearDisplayBuffer;
    for (int32_t k = 0; k < ROOM_VIEWS; ++k) {
        RoomView& to = destination->views[k];
        const RoomView& from = source->views[k];
        const int32_t spare = to.spare;
        to = from;
        to.spare = spare;
        const Camera* clone = LayerMode && from.camera >= 0 ? CameraList::CloneCamera(from.camera) : nullptr;
        to.camera = clone ? clone->id : -1;
    }
    if (source->physics) {
        Room_DestroyInstanceBodies(destination);
        delete destination->physics;
        destination->physics = new (std::nothrow) PhysicsWorld(*source->physics);
    }
    Layer_CopyRoomLayers(destination, source);
    if (destination->runtimeMade) {
        destination->MakePrivateDefinition(source->speed);
        CopyDefs(destination->instanceDefs, source->instanceDefs);
        CopyDefs(destination->tileDefs, source->tileDefs);
        destination->instanceDefs.present = true;
        destination->tileDefs.present = true;
    } else {
        destination->definition = source->definition;
        destination->definitionBase = source->definitionBase;
        CopyDefs(destination->instanceDefs, source->instanceDefs);
        CopyDefs(destination->tileDefs, source->tileDefs);
    }
    if (instantiate && source->definition) {
        const int32_t defs = source->instanceDefs.records.length;
        for (int32_t i = 0; i < defs; ++i) {
            const RoomInstanceDef& def = source->instanceDefs.records.items[i];
            if (def.objectIndex < 0) continue;
            auto* instance = new CInstance(static_cast<float>(def.x), static_cast<float>(def.y), def.id,
                                           def.objectIndex, true);
            instance->m_creationCode = Code_GetEntry(def.creationCode);
            instance->image_xscale = def.xscale;
            instance->image_yscale = def.yscale;
            instance->image_blend = def.colour & 0xFFFFFF;
            instance->image_alpha = AlphaOf(def.colour);
            instance->image_angle = def.angle;
            Event_CurrentObject = def.objectIndex;
            instance->CreatePhysicsFixture(destination);
            Layer_AddInstanceById(destination, instance);
            destination->activeInstances.Insert(instance);
            Instance_Insert(instance->id, instance);
            Collision_AddInstance(instance);
            const int32_t n = destination->createdIds.length;
            if (destination->createdIds.Resize(n + 1)) destination->createdIds.items[n] = instance->id;
        }
        const int32_t tiles = source->tileDefs.records.length;
        for (int32_t i = 0; i < tiles; ++i) {
            const RoomTileDef& def = source->tileDefs.records.items[i];
            STile tile{static_cast<float>(def.x), static_cast<float>(def.y), def.background, def.left, def.top,
                       def.width, def.height, static_cast<float>(def.depth), def.id, def.xscale, def.yscale,
                       static_cast<int32_t>(def.colour & 0xFFFFFF), AlphaOf(def.colour), true};
            destination->AppendTile(tile);
        }
    } else if (!instantiate && !destination->runtimeMade) {
        for (int32_t i = 0; i < source->tileCount; ++i) destination->AppendTile(source->tiles[i]);
    }
    for (const CInstance* from = source->activeInstances.first; from; from = from->m_next) {
        auto* instance = new CInstance(from->x, from->y, from->id, from->object_index, false);
        instance->CopyFrom(from, true);
        destination->activeInstances.Insert(instance);
        Instance_Insert(instance->id, instance);
    }
    for (const CInstance* from = source->deactivatedInstances.first; from; from = from->m_next) {
        auto* instance = new CInstance(from->x, from->y, from->id, from->object_index, false);
        instance->CopyFrom(from, false);
        destination->deactivatedInstances.Append(instance);
        Instance_Insert(instance->id, instance);
    }
}
