#include "Runner/Run_InputAsync.h"

#include "Network/Async_Requests.h"
#include "DataStructure/DS_Native.h"
#include "IO/IO_Async.h"

namespace {
void PostPairs(int subKind, const IO_AsyncPair* pairs, size_t count)
{
    const int32_t map = DsMap_Create();
    if (map < 0) return;
    for (size_t i = 0; i < count; ++i) {
        if (pairs[i].isString) DsMap_AddStringValue(map, pairs[i].key.c_str(), pairs[i].text.c_str());
        else DsMap_AddRealValue(map, pairs[i].key.c_str(), pairs[i].number);
    }
    PostAsyncEvent(map, subKind);
}
}  // namespace

void InputAsync_InstallHooks()
{
    IO_Async_SetHooks(IO_AsyncHooks{PostPairs, AsyncId_Take});
}
