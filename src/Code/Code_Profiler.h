#pragma once
// The profiler as code runs meet it: while it records, every code run,
// script call and built-in call opens a scope and closes it again. The
// profiler lives above this layer; the runner installs its routines and the
// profiler sets active while it records.
#include <cstdint>

enum ProfilerScopeKind : int32_t {
    PROFILE_BUILTIN = 0,   // index: the built-in function
    PROFILE_CODE = 1,      // index: the code entry
};

struct CodeProfilerHooks {
    bool active;
    void (*begin)(int32_t kind, int32_t index);
    void (*end)();
};
extern CodeProfilerHooks Code_Profiler;

inline void Code_ProfilerBegin(int32_t kind, int32_t index)
{
    if (Code_Profiler.active && Code_Profiler.begin) Code_Profiler.begin(kind, index);
}
inline void Code_ProfilerEnd()
{
    if (Code_Profiler.active && Code_Profiler.end) Code_Profiler.end();
}
