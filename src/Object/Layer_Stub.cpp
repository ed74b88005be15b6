// STAND-IN: see Layer_Stub.h.
#include "Object/Layer_Stub.h"

void Layer_UpdateInstanceActivation(CGameRoom*, CInstance*) {}
void Layer_BuildRoomLayers(CGameRoom*, const uint8_t*) {}
void Layer_CopyRoomLayers(CGameRoom*, const CGameRoom*) {}
void Layer_FreeAll(CGameRoom*) {}
void Layer_AddInstanceToDefault(CGameRoom*, CInstance*) {}
void Layer_AddInstanceById(CGameRoom*, CInstance*) {}
void Layer_RemoveInstance(CGameRoom*, CInstance*) {}
void Layer_AnimateRoom(CGameRoom*, double) {}
