#include "IO/IO_Async.h"

namespace {
void Drop(int, const IO_AsyncPair*, size_t) {}
int32_t NoId() { return -1; }
IO_AsyncHooks s_hooks = {Drop, NoId};
}  // namespace

void IO_Async_SetHooks(const IO_AsyncHooks& hooks)
{
    s_hooks.post = hooks.post ? hooks.post : Drop;
    s_hooks.takeId = hooks.takeId ? hooks.takeId : NoId;
}

void IO_PostAsync(int subKind, const std::vector<IO_AsyncPair>& pairs)
{
    s_hooks.post(subKind, pairs.data(), pairs.size());
}

int32_t IO_TakeAsyncId() { return s_hooks.takeId(); }
