#pragma once
// The remote debugger link and the profiler. Until they exist
// (Debug_Stub.cpp) no debugger is ever connected and the profiler never
// records.
#include <cstdint>

bool Debug_IsConnected();
// Waits while the debugger keeps the game paused; 1 when a step was requested.
int Debug_PausedLoop();
// Error text sent to the debugger with its next status answer, or null.
extern const char* Debug_PendingErrorText;

// Start-up: opens the debugger's listening socket when the game asks for it.
void Debug_InitRemoteInterface();
// Once a frame: serves a connected debugger.
void Debug_Update();
// Shutdown: writes the profiler's report when -profiledump asked for one.
void Profiler_FinalDump();

// The profiler's scopes (kinds of Code/Code_Profiler.h): opens one for the
// function or code entry of index, closes the innermost open one.
namespace CProfiler {
void Begin(int32_t kind, int32_t index);
void End();
}  // namespace CProfiler
