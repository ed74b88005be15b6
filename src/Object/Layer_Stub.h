#pragma once
// STAND-IN for the room layers until they exist: no instance is on a layer.
class CGameRoom;
class CInstance;

void Layer_UpdateInstanceActivation(CGameRoom* room, CInstance* instance);
