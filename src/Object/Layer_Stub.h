#pragma once
// STAND-IN for the room layers until they exist: a room has no layers, so no
// instance is on a layer and there is nothing to build, copy or animate.
#include <cstdint>

class CGameRoom;
class CInstance;

void Layer_UpdateInstanceActivation(CGameRoom* room, CInstance* instance);
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
