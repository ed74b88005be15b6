#include "Network/Async_Requests.h"

#include <gtest/gtest.h>

#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Native.h"
#include "support/AsyncEvents.h"

namespace {
struct AsyncRequestsTest : ::testing::Test {
    void SetUp() override { asyncevents::Events.clear(); }
    void TearDown() override
    {
        Async_FreeRequests();
        asyncevents::Events.clear();
    }
    static int32_t MapWith(const char* key, double value)
    {
        const int32_t map = DsMap_Create();
        DsMap_AddRealValue(map, key, value);
        return map;
    }
    static std::vector<std::string> Delivered()
    {
        std::vector<std::string> out;
        for (const auto& e : asyncevents::Events) out.push_back(std::to_string(e.subKind) + ":" + e.fields.at("n"));
        return out;
    }
};

int32_t s_lastResultMap = -1;
int32_t NoEvent(HTTP_REQ_CONTEXT*, void*, int32_t* outMap)
{
    *outMap = s_lastResultMap = DsMap_Create();
    return 12;  // below 60: no event, the map is still destroyed
}
}  // namespace

TEST_F(AsyncRequestsTest, PostedResultsArriveInOrderAndAResultPostedDuringAnEventComesInTheSameWalk)
{
    const int32_t first = MapWith("n", 1);
    const int32_t second = MapWith("n", 2);
    PostAsyncEvent(first, 63);
    PostAsyncEvent(second, 70);
    auto fire = [](int32_t map, int32_t subKind) {
        asyncevents::Fire(map, subKind);
        // The map is the walk's until the event has run; the event may post more.
        if (asyncevents::Events.size() == 1) PostAsyncEvent(MapWith("n", 3), 72);
    };
    Async_ProcessRequestList(fire);
    EXPECT_EQ(Delivered(), (std::vector<std::string>{"63:1", "70:2", "72:3"}));
    EXPECT_EQ(AsyncRequestHead, nullptr);
    // The walk destroyed the maps; the posts' clean-up found them gone without harm.
    EXPECT_FALSE(Ds_Exists(first, DS_TYPE_MAP));
    EXPECT_FALSE(Ds_Exists(second, DS_TYPE_MAP));
    EXPECT_FALSE(Ds_Exists(asyncevents::Events[2].map, DS_TYPE_MAP));
}

TEST_F(AsyncRequestsTest, RecordsWaitUntilFinishedAndSubKindsBelowSixtyRaiseNothing)
{
    auto* pending = new HTTP_REQ_CONTEXT("http://x/", 0, NoEvent, nullptr, nullptr, false);
    EXPECT_EQ(pending->data, nullptr);
    EXPECT_EQ(pending->size, 0);
    EXPECT_EQ(pending->received, 0);
    EXPECT_EQ(pending->contentLength, -1);
    EXPECT_EQ(pending->status, ASYNC_CREATED);
    EXPECT_EQ(pending->httpStatus, 200);
    EXPECT_STREQ(pending->url, "http://x/");
    EXPECT_TRUE(Ds_Exists(pending->ownMap, DS_TYPE_MAP));

    auto* sized = new HTTP_REQ_CONTEXT(nullptr, 4, nullptr, nullptr, nullptr, false);
    ASSERT_NE(sized->data, nullptr);
    EXPECT_EQ(sized->data[3], 0xFF);

    Async_ProcessRequestList(asyncevents::Fire);
    EXPECT_TRUE(asyncevents::Events.empty());
    EXPECT_EQ(AsyncRequestHead, sized) << "unfinished records stay, newest first";

    const int32_t ownMap = pending->ownMap;
    pending->status = ASYNC_FINISHED;
    sized->active = 0;
    sized->status = ASYNC_FINISHED;  // inactive: passed over
    Async_ProcessRequestList(asyncevents::Fire);
    EXPECT_TRUE(asyncevents::Events.empty());
    EXPECT_FALSE(Ds_Exists(ownMap, DS_TYPE_MAP)) << "the record's own map goes with it";
    ASSERT_GE(s_lastResultMap, 0);
    EXPECT_FALSE(Ds_Exists(s_lastResultMap, DS_TYPE_MAP)) << "the result map was destroyed";
    EXPECT_EQ(AsyncRequestHead, sized);
    EXPECT_EQ(sized->next, nullptr);
}

TEST_F(AsyncRequestsTest, AReceivingRecordRaisesOneProgressEventPerWalk)
{
    auto* record = new HTTP_REQ_CONTEXT("http://h/p", 0, NoEvent, nullptr, nullptr, false);
    record->status = ASYNC_RECEIVING;
    record->received = 10;
    record->contentLength = 40;
    // A finished record behind it makes the walk start again from the head.
    PostAsyncEvent(MapWith("n", 1), 62);
    Async_ProcessRequestList(asyncevents::Fire);
    ASSERT_EQ(asyncevents::Events.size(), 2u);
    const auto& progress = asyncevents::Events[0].fields;
    EXPECT_EQ(asyncevents::Events[0].subKind, 62);
    EXPECT_EQ(progress.at("id"), std::to_string(record->id));
    EXPECT_EQ(progress.at("status"), "1");
    EXPECT_EQ(progress.at("url"), "http://h/p");
    EXPECT_EQ(progress.at("contentLength"), "40");
    EXPECT_EQ(progress.at("sizeDownloaded"), "10");
    Async_ProcessRequestList(asyncevents::Fire);
    EXPECT_EQ(asyncevents::Events.size(), 3u) << "one more in the next frame";
}

TEST_F(AsyncRequestsTest, IdsComeFromOneCounterAcrossRecordsAndOtherProducers)
{
    const int32_t before = AsyncId_Peek();
    auto* a = new HTTP_REQ_CONTEXT(nullptr, 0, nullptr, nullptr, nullptr, false);
    const int32_t taken = AsyncId_Take();
    HTTP_REQ_CONTEXT* b = PostAsyncEvent(-1, 60);
    EXPECT_EQ(a->id, before);
    EXPECT_EQ(taken, before + 1);
    EXPECT_EQ(b->id, before + 2);
    EXPECT_EQ(AsyncId_Peek(), before + 3);
    HttpReq_RemoveAndDelete(a);
    HttpReq_RemoveAndDelete(nullptr);
    EXPECT_EQ(AsyncRequestHead, b);
}

TEST_F(AsyncRequestsTest, ResponseHeadersFillTheRecordsOwnMapKeepingTheFirstOfARepeatedName)
{
    auto* record = new HTTP_REQ_CONTEXT(nullptr, 0, nullptr, nullptr, nullptr, false);
    Http_ParseResponseHeaders(record,
                              "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nX-Twice: 1\r\nX-Twice: 2\r\n"
                              "Odd:no-space\r\nX-Spaced:  a b \r\n\r\n");
    Http_ParseResponseHeaders(record, nullptr);
    const auto fields = asyncevents::ReadMap(record->ownMap);
    EXPECT_EQ(fields, (std::map<std::string, std::string>{
                          {"Content-Type", "text/plain"}, {"X-Twice", "1"}, {"X-Spaced", " a b "}}));
}
