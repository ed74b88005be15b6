#pragma once
// The profiler as code runs meet it: while it records, every code run,
// script call and built-in call opens a scope and closes it again. The
// profiler lives above this layer: its routines are set by
// Runner_InstallHooks (until then, and for a null slot, scopes go nowhere),
// and it sets Code_ProfilerActive while it records.
#include <cstdint>

enum ProfilerScopeKind : int32_t {
    PROFILE_BUILTIN = 0,   // index: the built-in function
    PROFILE_CODE = 1,      // index: the code entry
};

struct CodeProfilerHooks {
    void (*begin)(int32_t kind, int32_t index);
    void (*end)();
};
// Returns the hooks it replaces.
CodeProfilerHooks Code_Profiler_SetHooks(const CodeProfilerHooks& hooks);
extern bool Code_ProfilerActive;
void Code_ProfilerOpen(int32_t kind, int32_t index);
void Code_ProfilerClose();

// What code runs call; a test of one flag while the profiler is off.
inline void Code_ProfilerBegin(int32_t kind, int32_t index)
{
    if (Code_ProfilerActive) Code_ProfilerOpen(kind, index);
}
inline void Code_ProfilerEnd()
{
    if (Code_ProfilerActive) Code_ProfilerClose();
}
