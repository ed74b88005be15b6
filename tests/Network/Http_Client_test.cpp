#include "Network/Http_Client.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <gmock/gmock.h>

#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Base/MemoryManager.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"
#include "Function/MathFunctionFixture.h"
#include "Host/Host_Http.h"
#include "IO/LoadSave.h"
#include "Function/Http_Functions.h"
#include "support/AsyncEvents.h"
#include "support/HttpTestServer.h"
#include "support/RecordingConsole.h"
#include "support/TempFolder.h"

using ::testing::HasSubstr;
using Fields = std::map<std::string, std::string>;

namespace {
// The HTTP built-ins against a server on 127.0.0.1, frames run by hand: each
// frame collects finished request threads and walks the request list.
struct HttpClientTest : MathFunctions {
    TempFolder root;
    tagIConsole* savedLog = nullptr;
    RecordingConsole log;

    void SetUp() override
    {
        MathFunctions::SetUp();
        InitHttpFunctions();
        asyncevents::Events.clear();
        Runner_SetSavePrefix((root / "save/").c_str());
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        Http_Shutdown();
        LogConsole = savedLog;
        Runner_SetSavePrefix("");
        asyncevents::Events.clear();
        MathFunctions::TearDown();
    }

    static void Frame()
    {
        Http_Process();
        Async_ProcessRequestList(asyncevents::Fire);
    }
    // Frames until the condition holds, 60 s at most (a loaded machine).
    template <typename F>
    static bool RunUntil(F done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            Frame();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    static const AsyncEventRecord* Result(double id)
    {
        for (const auto& e : asyncevents::Events) {
            const auto status = e.fields.find("status");
            if (e.fields.at("id") == std::to_string(int(id)) && status != e.fields.end() && status->second != "1")
                return &e;
        }
        return nullptr;
    }
    // The final event of a request (not a progress event).
    static AsyncEventRecord Finish(double id)
    {
        EXPECT_TRUE(RunUntil([&] { return Result(id) != nullptr; })) << "no result for request " << id;
        const AsyncEventRecord* e = Result(id);
        return e ? *e : AsyncEventRecord{};
    }
    static HTTP_REQ_CONTEXT* Record(double id)
    {
        for (HTTP_REQ_CONTEXT* r = AsyncRequestHead; r; r = r->next)
            if (r->id == int32_t(id)) return r;
        return nullptr;
    }
};

HttpTestResponse Text(const std::string& body, int status = 200)
{
    HttpTestResponse response;
    response.status = status;
    response.body = body;
    return response;
}

// A completion routine that notes the reply block's size, for the growth tests.
struct Observed {
    int32_t size = 0;
    int32_t received = 0;
    bool done = false;
} s_observed;
int32_t Observe(HTTP_REQ_CONTEXT* record, void*, int32_t* outMap)
{
    s_observed = Observed{record->size, record->received, true};
    *outMap = -1;
    return 0;
}
}  // namespace

TEST_F(HttpClientTest, GetDeliversTheReplyWithItsStatusHeadersAndUrl)
{
    HttpTestServer server([](const HttpTestRequest&) {
        HttpTestResponse r = Text("hello");
        r.headers = {"X-Test: yes", "X-Twice: 1", "X-Twice: 2"};
        return r;
    });
    const std::string url = server.Url("/a?b=1");
    const int32_t next = AsyncId_Peek();
    const double id = Num("http_get", {S(url.c_str())});
    EXPECT_EQ(id, next);
    const AsyncEventRecord e = Finish(id);
    EXPECT_EQ(e.subKind, 62);
    EXPECT_EQ(e.fields, (Fields{{"id", std::to_string(next)}, {"url", url}, {"result", "hello"}, {"status", "0"},
                                {"http_status", "200"}, {"response_headers", e.fields.at("response_headers")}}));
    EXPECT_EQ(e.headers.at("X-Test"), "yes");
    EXPECT_EQ(e.headers.at("X-Twice"), "1");
    EXPECT_EQ(e.headers.at("Content-Length"), "5");
    EXPECT_EQ(AsyncRequestHead, nullptr) << "the record is gone after its event";

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/a?b=1");
    EXPECT_EQ(requests[0].Header("User-Agent"), "Quillstep HTTP");
}

TEST_F(HttpClientTest, PostAndRequestSendTheirMethodsHeadersAndBodies)
{
    HttpTestServer server([](const HttpTestRequest& request) { return Text("echo:" + request.body); });
    const double post = Num("http_post_string", {S(server.Url("/form").c_str()), S("a=1&b=2")});
    EXPECT_EQ(Finish(post).fields.at("result"), "echo:a=1&b=2");

    const int32_t headers = DsMap_Create();
    DsMap_AddStringValue(headers, "X-Key", "value");
    DsMap_AddStringValue(headers, "Content-Type", "text/plain");
    const double put = Num("http_request", {S(server.Url("/item").c_str()), S("PUT"), R(headers), S("payload")});
    EXPECT_EQ(Finish(put).fields.at("result"), "echo:payload");
    const double del = Num("http_request", {S(server.Url("/item").c_str()), S("DELETE"), R(headers), S("")});
    Finish(del);
    DsMap_Destroy(headers);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[1].method, "PUT");
    EXPECT_EQ(requests[1].Header("X-Key"), "value");
    EXPECT_EQ(requests[1].Header("Content-Type"), "text/plain");
    EXPECT_EQ(requests[2].method, "DELETE");
    EXPECT_EQ(requests[2].body, "");
}

TEST_F(HttpClientTest, RedirectsAreFollowedAndTheFinalResponseIsDelivered)
{
    HttpTestServer server([](const HttpTestRequest& request) {
        if (request.target == "/old") {
            HttpTestResponse r = Text("see elsewhere", 302);
            r.headers = {"Location: /new", "X-Hop: first"};
            return r;
        }
        HttpTestResponse r = Text("moved here");
        r.headers = {"X-Final: yes"};
        return r;
    });
    const AsyncEventRecord e = Finish(Num("http_get", {S(server.Url("/old").c_str())}));
    EXPECT_EQ(e.fields.at("result"), "moved here");
    EXPECT_EQ(e.fields.at("http_status"), "200");
    EXPECT_EQ(e.headers.count("X-Hop"), 0u);
    EXPECT_EQ(e.headers.at("X-Final"), "yes");
    EXPECT_EQ(e.fields.at("url"), server.Url("/old")) << "the url asked for";
}

TEST_F(HttpClientTest, ErrorStatusesEmptyRepliesAndRefusedConnections)
{
    HttpTestServer server([](const HttpTestRequest& request) {
        return request.target == "/empty" ? Text("", 404) : Text("nope", 404);
    });
    AsyncEventRecord e = Finish(Num("http_get", {S(server.Url("/gone").c_str())}));
    EXPECT_EQ(e.fields.at("http_status"), "404");
    EXPECT_EQ(e.fields.at("status"), "0") << "bytes arrived";
    EXPECT_EQ(e.fields.at("result"), "nope");
    e = Finish(Num("http_get", {S(server.Url("/empty").c_str())}));
    EXPECT_EQ(e.fields.at("status"), "-1");
    EXPECT_EQ(e.fields.at("http_status"), "404");
    EXPECT_EQ(log.text, "");

    const std::string refused = "http://127.0.0.1:" + std::to_string(HttpTestServer::ClosedPort()) + "/";
    e = Finish(Num("http_get", {S(refused.c_str())}));
    EXPECT_EQ(e.fields.at("status"), "-1");
    EXPECT_EQ(e.fields.at("http_status"), "200") << "failed before any status arrived";
    EXPECT_EQ(e.fields.at("result"), "");
    EXPECT_THAT(log.text, HasSubstr("HttpError:HttpSendRequest: "));
}

TEST_F(HttpClientTest, OnlyHttpAndHttpsAddressesAreAsked)
{
    for (const char* url : {"ftp://127.0.0.1/", "HTTP://127.0.0.1/", "127.0.0.1/", ""}) {
        EXPECT_EQ(Num("http_get", {S(url)}), -1) << url;
        EXPECT_EQ(Num("http_post_string", {S(url), S("x")}), -1) << url;
        EXPECT_EQ(Num("http_get_file", {S(url), S("f.txt")}), -1) << url;
        EXPECT_EQ(Num("http_request", {S(url), S("GET"), R(-1), S("")}), -1) << url;
    }
    EXPECT_EQ(AsyncRequestHead, nullptr);
}

TEST_F(HttpClientTest, ASlowReplyRaisesProgressEventsUntilItEnds)
{
    HttpTestServer server([](const HttpTestRequest&) {
        HttpTestResponse r = Text(std::string(100, 'p'));
        r.splitAt = 10;
        r.pauseMs = 300;
        return r;
    });
    const double id = Num("http_get", {S(server.Url("/slow").c_str())});
    const AsyncEventRecord e = Finish(id);
    EXPECT_EQ(e.fields.at("result"), std::string(100, 'p'));
    bool sawPart = false;
    for (const auto& p : asyncevents::Events) {
        if (p.fields.at("status") != "1") continue;
        EXPECT_EQ(p.fields.at("id"), std::to_string(int(id)));
        EXPECT_EQ(p.fields.at("url"), server.Url("/slow"));
        EXPECT_EQ(p.fields.at("contentLength"), "100");
        sawPart |= p.fields.at("sizeDownloaded") == "10";
    }
    EXPECT_TRUE(sawPart) << "a progress event while the reply was half there";
}

TEST_F(HttpClientTest, AStalledReplyFailsAfterTheStallLimit)
{
    HttpTestServer server([](const HttpTestRequest&) {
        HttpTestResponse r = Text("0123456789");
        r.splitAt = 4;
        r.pauseMs = 4000;
        return r;
    });
    HostHttp_SetTimeouts(kHostHttpConnectSeconds, 1);
    const auto start = std::chrono::steady_clock::now();
    const AsyncEventRecord e = Finish(Num("http_get", {S(server.Url("/stall").c_str())}));
    HostHttp_SetTimeouts(kHostHttpConnectSeconds, kHostHttpStallSeconds);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(3500)) << "gave up before the rest came";
    EXPECT_EQ(e.fields.at("result"), "0123");
    EXPECT_EQ(e.fields.at("status"), "0") << "bytes arrived before the stall";
    EXPECT_THAT(log.text, HasSubstr("HttpError:InternetReadFile: no data for 1 seconds"));
}

TEST_F(HttpClientTest, TheReplyBlockGrowsByHalfOrIsSizedFromTheAnnouncedLength)
{
    std::string big(300000, 0);
    for (size_t i = 0; i < big.size(); ++i) big[i] = char('a' + i % 26);
    HttpTestServer server([&](const HttpTestRequest& request) {
        HttpTestResponse r = Text(big);
        r.contentLength = request.target == "/announced";
        if (request.target == "/liar") {
            // Announces far more than it sends; nothing that large is reserved.
            r.contentLength = false;
            r.headers = {"Content-Length: 2000000000"};
            r.body = "short";
        }
        return r;
    });
    const struct {
        const char* path;
        int32_t size;
        int32_t received;
    } cases[] = {
        {"/unannounced", 442368, 300000},  // 131072 -> 196608 -> 294912 -> 442368
        {"/announced", 300001, 300000},
        {"/liar", kHttpReplyBufferSize, 5},
    };
    for (const auto& c : cases) {
        s_observed = Observed{};
        ASSERT_TRUE(Http_Get(server.Url(c.path).c_str(), Observe, nullptr, nullptr));
        EXPECT_TRUE(RunUntil([] { return s_observed.done; })) << c.path;
        EXPECT_EQ(s_observed.size, c.size) << c.path;
        EXPECT_EQ(s_observed.received, c.received) << c.path;
    }
    EXPECT_EQ(Finish(Num("http_get", {S(server.Url("/unannounced").c_str())})).fields.at("result"), big);
}

TEST_F(HttpClientTest, ANinthRequestWaitsForAFreeThread)
{
    HttpTestServer server([](const HttpTestRequest&) {
        HttpTestResponse r = Text("done");
        r.hold = true;
        return r;
    });
    std::vector<double> ids;
    for (int i = 0; i < 9; ++i) ids.push_back(Num("http_get", {S(server.Url("/" + std::to_string(i)).c_str())}));
    EXPECT_EQ(Http_RunningCount(), 8);
    EXPECT_EQ(Record(ids[8])->status, ASYNC_QUEUED_GET);
    ASSERT_TRUE(RunUntil([&] { return server.RequestCount() == 8; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(server.RequestCount(), 8u) << "the ninth is not sent while eight run";

    server.Release(1);
    ASSERT_TRUE(RunUntil([&] { return Record(ids[8])->status != ASYNC_QUEUED_GET; }));
    EXPECT_EQ(Http_RunningCount(), 8);
    server.Release(8);
    for (double id : ids) EXPECT_EQ(Finish(id).fields.at("result"), "done");
    EXPECT_EQ(server.RequestCount(), 9u);
}

TEST_F(HttpClientTest, BufferBodiesAndRepliesIntoABuffer)
{
    HttpTestServer server([](const HttpTestRequest& request) { return Text("<" + request.body + ">"); });
    const int32_t headers = DsMap_Create();
    DsMap_AddStringValue(headers, "Content-Length", "5");
    const int32_t noLength = DsMap_Create();

    const int32_t sent = Buffer_Create(16, eBuffer_Grow, 1);
    Buffer_Get(sent)->WriteBytes("hello world", 1, 11);  // position 11, a zero follows
    const int32_t full = Buffer_Create(4, eBuffer_Fixed, 1);
    Buffer_Get(full)->WriteBytes("abcd", 1, 4);  // no zero byte anywhere
    const int32_t into = Buffer_Create(4, eBuffer_Grow, 1);

    const std::string url = server.Url("/b");
    EXPECT_EQ(Finish(Num("http_request", {S(url.c_str()), S("POST"), R(headers), R(sent)})).fields.at("result"),
              "<hello>");
    EXPECT_EQ(Finish(Num("http_request", {S(url.c_str()), S("POST"), R(noLength), R(sent)})).fields.at("result"),
              "<hello world>");
    EXPECT_EQ(Finish(Num("http_request", {S(url.c_str()), S("POST"), R(noLength), R(full)})).fields.at("result"),
              "<abcd>");
    // Content-Length beyond the buffer: only what the buffer holds.
    DsMap_Destroy(headers);
    const int32_t tooLong = DsMap_Create();
    DsMap_AddStringValue(tooLong, "Content-Length", "999");
    EXPECT_EQ(Finish(Num("http_request", {S(url.c_str()), S("POST"), R(tooLong), R(full)})).fields.at("result"),
              "<abcd>");

    const AsyncEventRecord e = Finish(Num("http_request", {S(url.c_str()), S("GET"), R(noLength), R(into)}));
    EXPECT_EQ(e.fields.at("result"), "2");
    EXPECT_EQ(e.fields.at("contentLength"), "2");
    EXPECT_EQ(e.fields.at("sizeDownloaded"), "2");
    EXPECT_EQ(e.fields.at("status"), "0");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(Buffer_Get(into)->Data()), 2), "<>");
    EXPECT_EQ(Buffer_Get(into)->Position(), 2);

    // A buffer deleted before the reply: no copy, status -1.
    Buffer_Get(into)->Seek(eBuffer_SeekStart, 0);
    const double gone = Num("http_request", {S(url.c_str()), S("GET"), R(noLength), R(into)});
    Buffer_Delete(into);
    EXPECT_EQ(Finish(gone).fields.at("status"), "-1");

    for (int32_t b : {sent, full}) Buffer_Delete(b);
    for (int32_t m : {noLength, tooLong}) DsMap_Destroy(m);
}

TEST_F(HttpClientTest, GetFileWritesTheReplyIntoTheSaveArea)
{
    HttpTestServer server([](const HttpTestRequest&) { return Text("file body"); });
    const AsyncEventRecord e = Finish(Num("http_get_file", {S(server.Url("/f").c_str()), S("dl/got.txt")}));
    EXPECT_EQ(e.fields.at("status"), "0");
    EXPECT_EQ(e.fields.at("result"), root / "save/dl/got.txt");
    EXPECT_EQ(root.Read("save/dl/got.txt"), "file body");
}

TEST_F(HttpClientTest, HeaderBlocksFollowTheMapsOrder)
{
    const int32_t map = DsMap_Create();
    DsMap_AddStringValue(map, "A", "1");
    DsMap_AddRealValue(map, "Content-Length", 12);
    std::string expected;
    DsMapTable.Get(map)->ForEach([&](DsMapElement* element) {
        const std::string key = ScriptValue_StringText(&element->key);
        expected += key == "A" ? "A: 1\r\n" : "Content-Length: 12\r\n";
    });
    int64_t length = 0;
    char* block = Http_BuildHeaderBlock(map, &length);
    const std::string text = block;
    QS_FREE(block);
    DsMap_Destroy(map);
    EXPECT_EQ(length, 12);
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.size(), 26u);
    block = Http_BuildHeaderBlock(-1, &length);
    EXPECT_STREQ(block, "");
    EXPECT_EQ(length, -1);
    QS_FREE(block);
}
