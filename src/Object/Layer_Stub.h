#pragma once
// STAND-IN for the room layers until they exist: a small table of layers
// that tests fill by hand, and the instance placement the instance variables
// rely on (an instance on a layer takes the layer's depth); rooms have no
// layers to build, copy or animate yet.
#include <cstdint>

class CGameRoom;
class CInstance;

struct CLayer {
    int32_t id;
    int32_t depth;
    bool dynamic;  // made by the room for a depth
};

void Layer_UpdateInstanceActivation(CGameRoom* room, CInstance* instance);
// The layer with that id, or null.
CLayer* Layer_FindByID(CGameRoom* room, int32_t id);
void Layer_AddInstance(CGameRoom* room, CLayer* layer, CInstance* instance);
void Layer_UpdateInstanceDepth(CGameRoom* room, CInstance* instance);
// Appends a layer to the table (tests); false when it is full.
bool Layer_StubAdd(const CLayer& layer);
void Layer_StubClear();
// The layers of a room record whose room format is 2 or more.
void Layer_BuildRoomLayers(CGameRoom* room, const uint8_t* layerList);
void Layer_CopyRoomLayers(CGameRoom* destination, const CGameRoom* source);
void Layer_FreeAll(CGameRoom* room);
void Layer_AddInstanceToDefault(CGameRoom* room, CInstance* instance);
// On the layer the room's layer data assigns to the instance's id.
void Layer_AddInstanceById(CGameRoom* room, CInstance* instance);
void Layer_RemoveInstance(CGameRoom* room, CInstance* instance);
// One step of the layers' motion and their elements' animation at fps.
void Layer_AnimateRoom(CGameRoom* room, double fps);
// Room start: resolves the layers of the room that starts.
void Layer_StartRoom(CGameRoom* room);
// Room end: forgets the resolved layer references of the room (null: nothing).
void Layer_UnresolveAll(CGameRoom* room);
