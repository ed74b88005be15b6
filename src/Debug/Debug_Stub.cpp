#include "Debug/Debug_Main.h"

const char* Debug_PendingErrorText = nullptr;

bool Debug_IsConnected()
{
    return false;
}

int Debug_PausedLoop()
{
    return 0;
}

void Debug_InitRemoteInterface() {}
void Debug_Update() {}
