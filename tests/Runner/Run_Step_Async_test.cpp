// The asynchronous step of a frame: finished requests reach every instance
// that has the event, with their result map as async_load.
#include <chrono>
#include <thread>

#include "Network/Async_Requests.h"
#include "Code/Code_Function.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Native.h"
#include "Network/Http_Client.h"
#include "Function/Http_Functions.h"
#include "Runner/Run_Step.h"
#include "World/Event_Drivers.h"
#include "World/Object_Lists.h"
#include "World/WorldFixture.h"
#include "support/AsyncEvents.h"
#include "support/HttpTestServer.h"

namespace {
struct AsyncStepTest : WorldFixture {
    std::vector<std::map<std::string, std::string>> seen;
    std::vector<int32_t> maps;

    void SetUp() override
    {
        WorldFixture::SetUp();
        const int32_t object = NewObject();
        eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, 62, 0);
        eventmodule::SetHandler(Object_Get(object), EVENT_OTHER, 63, 0);
        Object_BuildEventLists();
        room.CreateInstance(0, 0, object);
        room.CreateInstance(0, 0, object);
        eventmodule::Hooks[0] = [this](CInstance*, CInstance*) {
            maps.push_back(async_load);
            seen.push_back(asyncevents::ReadMap(async_load));
        };
    }
    void TearDown() override
    {
        Http_Shutdown();
        CodeFunction_FreeAll();
        Object_FreeEventLists();
        WorldFixture::TearDown();
    }
};
}  // namespace

TEST_F(AsyncStepTest, APostedResultRunsOnEveryInstanceWithItsMapAsAsyncLoad)
{
    const int32_t map = DsMap_Create();
    DsMap_AddStringValue(map, "status", "done");
    PostAsyncEvent(map, 63);
    AsyncRequests_Process();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(maps, (std::vector<int32_t>{map, map}));
    EXPECT_EQ(seen[0].at("status"), "done");
    EXPECT_EQ(async_load, -1);
    EXPECT_FALSE(Ds_Exists(map, DS_TYPE_MAP));
}

TEST_F(AsyncStepTest, AnHttpGetFromGameCodeEndsInTheHttpEvent)
{
    HttpTestServer server([](const HttpTestRequest&) {
        HttpTestResponse r;
        r.body = "pong";
        return r;
    });
    InitHttpFunctions();
    int32_t index = -1;
    ASSERT_TRUE(CodeFunction_Find("http_get", &index));
    ScriptValue url = ScriptValue_Undefined();
    ScriptValue_InitString(&url, server.Url("/ping").c_str());
    ScriptValue* args[] = {&url};
    ScriptValue id = ScriptValue_Undefined();
    CallBuiltinFunction(nullptr, nullptr, &id, 1, index, args);
    ScriptValue_SetUndefined(&url);
    ASSERT_EQ(id.Kind(), VALUE_REAL);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    auto finished = [&] {
        for (const auto& fields : seen)
            if (fields.at("status") != "1") return true;
        return false;
    };
    while (!finished() && std::chrono::steady_clock::now() < deadline) {
        AsyncRequests_Process();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(finished());
    const auto& fields = seen.back();
    EXPECT_EQ(fields.at("id"), std::to_string(int(id.real)));
    EXPECT_EQ(fields.at("result"), "pong");
    EXPECT_EQ(fields.at("http_status"), "200");
    EXPECT_EQ(fields.at("status"), "0");
    EXPECT_EQ(async_load, -1);
}
