// Input and dialog results join the asynchronous request list: they run as
// their events in the order they were posted, with their result map as
// async_load while the event runs and freed after it.
#include "Runner/Run_Step.h"

#include <gtest/gtest.h>

#include <string>

#include "Network/Async_Requests.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "Host/Host_Dialog.h"
#include "IO/IO_Async.h"
#include "IO/IO_Dialog.h"
#include "World/Event_Drivers.h"
#include "World/Object_Lists.h"
#include "World/WorldFixture.h"

namespace {
std::string MapText(int32_t map, const char* key)
{
    DsMap* m = DsMapTable.Get(map);
    if (!m) return "<no map>";
    ScriptValue k = ScriptValue_Undefined();
    ScriptValue_InitString(&k, key);
    DsMapElement* e = m->FindElement(&k);
    ScriptValue_SetUndefined(&k);
    if (!e) return "<missing>";
    if (e->value.Kind() == VALUE_STRING) return ScriptValue_StringText(&e->value);
    return std::to_string(static_cast<int>(e->value.real));
}

struct InputAsyncTest : WorldFixture {
    HeadlessDialog dialog;
    void SetUp() override
    {
        WorldFixture::SetUp();
        Host_Dialog_Set(&dialog);
    }
    void TearDown() override
    {
        Host_Dialog_Set(nullptr);
        Object_FreeEventLists();
        WorldFixture::TearDown();
    }
};

TEST_F(InputAsyncTest, DialogAndSystemEventsRunWithTheirMapsInPostingOrder)
{
    const int32_t object = NewObject();
    eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, IO_ASYNC_DIALOG, 0);
    eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, IO_ASYNC_SYSTEM, 1);
    Object_BuildEventLists();
    room.CreateInstance(0, 0, object);
    std::vector<std::string> seen;
    int32_t map = -1;
    eventmodule::Hooks[0] = [&](CInstance*, CInstance*) {
        map = async_load;
        seen.push_back("dialog " + MapText(async_load, "id") + " " + MapText(async_load, "result") + " " +
                       MapText(async_load, "status"));
    };
    eventmodule::Hooks[1] = [&](CInstance*, CInstance*) {
        seen.push_back(MapText(async_load, "event_type") + " " + MapText(async_load, "pad_index"));
    };
    dialog.QueueText(true, "Zed");
    const int id = InputQuery_InputAsync("Game", "Name?", "");
    EXPECT_EQ(AsyncId_Peek(), id + 1) << "the dialog took its id from the request list's counter";
    IO_PostAsync(IO_ASYNC_SYSTEM, {IO_AsyncText("event_type", "gamepad discovered"), IO_AsyncNumber("pad_index", 4)});
    AsyncRequests_Process();
    // The pad event was posted before the step took the dialog's answer.
    EXPECT_EQ(seen, (std::vector<std::string>{"gamepad discovered 4", "dialog " + std::to_string(id) + " Zed 1"}));
    EXPECT_EQ(DsMapTable.Get(map), nullptr) << "the map is freed after its event";
    EXPECT_EQ(async_load, -1);
    seen.clear();
    AsyncRequests_Process();
    EXPECT_TRUE(seen.empty()) << "each result runs once";
}
}  // namespace
