// The room that the layer built-ins act on.
#include "World/Room_Class.h"
#include "World/Room_Main.h"
#include "World/Room_Layers.h"

int32_t LayerTargetRoom = -1;

CGameRoom* Layer_GetTargetRoom()
{
    if (LayerTargetRoom != -1) {
        if (CGameRoom* room = Room_Get(LayerTargetRoom)) return room;
    }
    return Run_Room;
}
