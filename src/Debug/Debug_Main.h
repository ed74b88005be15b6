#pragma once
// The remote debugger link. Until it exists (Debug_Stub.cpp) no debugger is
// ever connected.

bool Debug_IsConnected();
// Waits while the debugger keeps the game paused; 1 when a step was requested.
int Debug_PausedLoop();
// Error text sent to the debugger with its next status answer, or null.
extern const char* Debug_PendingErrorText;

// Start-up: opens the debugger's listening socket when the game asks for it.
void Debug_InitRemoteInterface();
// Once a frame: serves a connected debugger.
void Debug_Update();
