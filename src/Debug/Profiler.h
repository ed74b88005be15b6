#pragma once
// The call-tree profiler: per frame, how long each built-in function, code
// entry and runner section takes, as a tree of who called what. File mode
// (-profiledump <file> <seconds>) writes a report every interval and at game
// end; debugger mode keeps a record per frame and hands the tree to the
// remote debugger with each status poll. Scopes open and close through the
// hooks of Code/Code_Profiler.h while a frame is measured.
#include <cstdint>

class IBuffer;

namespace CProfiler {
// File mode with a file name (a name without a folder lies in the save
// area), debugger mode without one. Enables file mode at once.
void Init(const char* fileName, int32_t intervalSeconds);
void SetEnabled(bool on);
void SetPaused(bool paused);
// Around each frame and each game step.
void FrameStart();
void FrameEnd();
// The profiler's own time in the last measured frame, in microseconds.
uint64_t LastOverhead();
void StepStart();
void StepEnd();
// Opens a scope of kind (ProfilerScopeKind) for index under the current one;
// closes the innermost open scope.
void Begin(int32_t kind, int32_t index);
void End();
// The debugger's status poll: the totals and the tree since the last poll
// (s32 0 while a frame is measured or before one was), then a new tree.
void WriteToBuffer(IBuffer* buffer);
// Empties the tree and the totals.
void ResetTree();
// Writes the report to the file.
void DumpToFile();
// Game end: the last report of file mode.
void FinalDump();
// Shutdown.
void Free();
}  // namespace CProfiler
