#include "Debug/Debug_Stub.h"

const char* Debug_PendingErrorText = nullptr;

bool Debug_IsConnected()
{
    return false;
}

int Debug_PausedLoop()
{
    return 0;
}
