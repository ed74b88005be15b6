#pragma once
// Stand-in for the remote debugger link until it exists: never connected.

bool Debug_IsConnected();
// Waits while the debugger keeps the game paused; 1 when a step was requested.
int Debug_PausedLoop();
// Error text sent to the debugger with its next status answer, or null.
extern const char* Debug_PendingErrorText;
