#include "Runner/Run_InputAsync.h"

#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Native.h"
#include "IO/IO_Async.h"
#include "IO/IO_Dialog.h"
#include "World/Event_Drivers.h"

void InputAsync_Process()
{
    InputQuery_ProcessAsync();
    IO_AsyncEvent event;
    while (IO_TakeAsync(&event)) {
        const int32_t map = DsMap_Create();
        if (map < 0) continue;
        for (const IO_AsyncPair& pair : event.pairs) {
            if (pair.isString) DsMap_AddStringValue(map, pair.key.c_str(), pair.text.c_str());
            else DsMap_AddRealValue(map, pair.key.c_str(), pair.number);
        }
        const int32_t previous = async_load;
        async_load = map;
        PerformAsyncEvent(event.subKind);
        async_load = previous;
        DsMap_Destroy(map);
    }
}
