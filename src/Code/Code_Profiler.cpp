#include "Code/Code_Profiler.h"

bool Code_ProfilerActive = false;

namespace {
void NoBegin(int32_t, int32_t) {}
void NoEnd() {}
CodeProfilerHooks s_hooks = {NoBegin, NoEnd};
}  // namespace

CodeProfilerHooks Code_Profiler_SetHooks(const CodeProfilerHooks& hooks)
{
    const CodeProfilerHooks previous = s_hooks;
    s_hooks.begin = hooks.begin ? hooks.begin : NoBegin;
    s_hooks.end = hooks.end ? hooks.end : NoEnd;
    return previous;
}

void Code_ProfilerOpen(int32_t kind, int32_t index) { s_hooks.begin(kind, index); }
void Code_ProfilerClose() { s_hooks.end(); }
