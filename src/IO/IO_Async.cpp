#include "IO/IO_Async.h"

IO_AsyncHooks IO_AsyncHook;

void IO_PostAsync(int subKind, const std::vector<IO_AsyncPair>& pairs)
{
    if (IO_AsyncHook.post) IO_AsyncHook.post(subKind, pairs.data(), pairs.size());
}

int32_t IO_TakeAsyncId() { return IO_AsyncHook.takeId ? IO_AsyncHook.takeId() : -1; }
