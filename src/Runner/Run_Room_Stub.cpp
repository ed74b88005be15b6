#include "Runner/Run_Room_Stub.h"

int32_t PendingRoomCode = -1;

void RequestGameEnd()
{
    PendingRoomCode = ROOMCODE_END;
}
