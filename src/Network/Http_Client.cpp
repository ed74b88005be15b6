#include "Network/Http_Client.h"

#include <cstring>
#include <string>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Base/Thread.h"
#include "DataStructure/DS_Handles.h"
#include "Host/Host_Http.h"
#include "Network/Network_Main.h"

bool HttpErrorLogging = false;

namespace {
// A reply's announced length reserves its block up front only up to this
// size; a larger announcement (which a server may make up) grows the block
// as the bytes arrive instead.
constexpr int64_t kUpFrontLimit = 16 * 1024 * 1024;
constexpr int64_t kMaxReply = 0x7FFFFFFE;

enum HttpKind { HTTP_GET, HTTP_POST, HTTP_REQUEST };

struct HttpRecord : HTTP_REQ_CONTEXT {
    HttpRecord(const char* url, HttpKind k, AsyncCompletion completion, AsyncCleanup cleanup, void* userData)
        : HTTP_REQ_CONTEXT(url, kHttpReplyBufferSize, completion, cleanup, userData, false), kind(k)
    {
    }
    ~HttpRecord() override
    {
        QS_FREE(body);
        QS_FREE(method);
        QS_FREE(headerBlock);
    }

    HttpKind kind;
    // The body has a block of its own: the reply may begin while it is sent.
    uint8_t* body = nullptr;
    size_t bodyLength = 0;
    char* method = nullptr;
    char* headerBlock = nullptr;
    std::string error;  // written by the request thread; read after it ended
    std::atomic<bool> cancel{false};
};

struct RunningRequest {
    Thread* thread;
    HttpRecord* record;
};
RunningRequest s_running[kHttpMaxThreads];
int s_runningCount = 0;

char* CopyText(const char* text)
{
    if (!text) return nullptr;
    const size_t n = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(QS_ALLOC(n, false));
    if (copy) std::memcpy(copy, text, n);
    return copy;
}

bool Reserve(HttpRecord* record, int64_t size)
{
    if (size <= record->size) return true;
    void* block = record->data;
    if (!block) {
        block = QS_ALLOC(size_t(size), false);
        if (!block) return false;
    } else if (!MemoryManager::ReallocPtr(&block, size_t(size), __FILE__, __LINE__)) {
        return false;
    }
    record->data = static_cast<uint8_t*>(block);
    record->size = int32_t(size);
    return true;
}

void OnHeaders(void* user, int32_t status, const char* rawHeaders, int64_t contentLength)
{
    auto* record = static_cast<HttpRecord*>(user);
    record->httpStatus = status;
    Http_ParseResponseHeaders(record, rawHeaders);
    record->status = ASYNC_RECEIVING;
    if (contentLength < 0 || contentLength > kMaxReply) return;
    record->contentLength = int32_t(contentLength);
    if (contentLength + 1 <= kUpFrontLimit) Reserve(record, contentLength + 1);
}

bool OnBody(void* user, const void* bytes, size_t n)
{
    auto* record = static_cast<HttpRecord*>(user);
    const int64_t received = record->received;
    const int64_t need = received + int64_t(n);
    if (need > kMaxReply) return false;
    if (need > record->size) {
        // Grows by half, as the reply buffer always has.
        int64_t grown = int64_t(record->size) * 3 / 2;
        if (grown < need) grown = need;
        if (grown > kMaxReply) grown = kMaxReply;
        if (!Reserve(record, grown)) return false;
    }
    std::memcpy(record->data + received, bytes, n);
    record->received = int32_t(need);
    return true;
}

bool OnCancelled(void* user)
{
    return static_cast<HttpRecord*>(user)->cancel;
}

int RequestThread(Thread* thread)
{
    auto* record = static_cast<HttpRecord*>(thread->UserData());
    const char* method = "GET";
    const char* headers = nullptr;
    switch (record->kind) {
    case HTTP_GET:
        record->status = ASYNC_SENDING;
        break;
    case HTTP_POST:
        method = "POST";
        headers = "Content-Type: application/x-www-form-urlencoded\r\n";
        record->status = ASYNC_SENDING;
        break;
    case HTTP_REQUEST:
        method = record->method ? record->method : "GET";
        headers = record->headerBlock;
        if (std::strcmp(method, "POST") == 0) record->status = ASYNC_SENDING_POST;
        else if (std::strcmp(method, "GET") == 0) record->status = ASYNC_SENDING;
        break;
    }
    const HostHttpRequest request{record->url, method, headers, record->body, record->bodyLength};
    const HostHttpReceiver receiver{record, OnHeaders, OnBody, OnCancelled};
    return HostHttp_Perform(request, receiver, record->error) ? 0 : -1;
}

// True when the request is now running or was dropped; false when every
// thread is busy (the record waits on the list).
bool StartThread(HttpRecord* record)
{
    if (s_runningCount >= kHttpMaxThreads) return false;
    auto* thread = new Thread;
    if (!thread->Start(RequestThread, record)) {
        LogConsole->Output("Create Http Thread: error %u\n", thread->LastError());
        delete thread;
        HttpReq_RemoveAndDelete(record);
        return true;
    }
    s_running[s_runningCount++] = RunningRequest{thread, record};
    return true;
}

AsyncStatus QueuedStatus(HttpKind kind)
{
    return kind == HTTP_POST ? ASYNC_QUEUED_POST : kind == HTTP_GET ? ASYNC_QUEUED_GET : ASYNC_QUEUED_REQUEST;
}

void Start(HttpRecord* record)
{
    if (!StartThread(record)) record->status = QueuedStatus(record->kind);
}

// New records go to the head, so the last waiting one found is the oldest.
void StartQueued()
{
    HttpRecord* oldest = nullptr;
    {
        DsMutexLock lock;
        for (HTTP_REQ_CONTEXT* r = AsyncRequestHead; r; r = r->next) {
            const int32_t status = r->status;
            if (r->active && status >= ASYNC_QUEUED_POST && status <= ASYNC_QUEUED_REQUEST)
                oldest = static_cast<HttpRecord*>(r);
        }
    }
    if (!oldest) return;
    oldest->status = ASYNC_CREATED;
    StartThread(oldest);
}

bool Ready()
{
    std::string error;
    if (HostHttp_Init(error)) return true;
    LogConsole->Output("%s\n", error.c_str());
    return false;
}

void CopyBody(HttpRecord* record, const void* body, size_t length)
{
    if (!body) return;
    record->body = static_cast<uint8_t*>(QS_ALLOC(length ? length : 1, false));
    if (!record->body) return;
    if (length) std::memcpy(record->body, body, length);
    record->bodyLength = length;
}
}  // namespace

bool Http_Get(const char* url, AsyncCompletion completion, AsyncCleanup cleanup, void* userData)
{
    if (!Ready()) return false;
    Start(new HttpRecord(url, HTTP_GET, completion, cleanup, userData));
    return true;
}

bool Http_GetImage(const char* url, AsyncCompletion completion, AsyncCleanup cleanup, void* userData)
{
    HttpErrorLogging = true;
    return Http_Get(url, completion, cleanup, userData);
}

bool Http_Post(const char* url, const char* body, AsyncCompletion completion, AsyncCleanup cleanup, void* userData)
{
    if (!Ready()) return false;
    auto* record = new HttpRecord(url, HTTP_POST, completion, cleanup, userData);
    CopyBody(record, body ? body : "", body ? std::strlen(body) : 0);
    Start(record);
    return true;
}

bool Http_Request(const char* url, const char* method, const char* headerBlock, const void* body,
                  int32_t bodyLength, AsyncCompletion completion, AsyncCleanup cleanup, void* userData)
{
    if (!Ready()) return false;
    auto* record = new HttpRecord(url, HTTP_REQUEST, completion, cleanup, userData);
    if (body) {
        const size_t length =
            bodyLength < 0 ? std::strlen(static_cast<const char*>(body)) : size_t(bodyLength);
        CopyBody(record, body, length);
    }
    record->method = CopyText(method);
    record->headerBlock = CopyText(headerBlock);
    Start(record);
    return true;
}

void Http_Process()
{
    for (int i = 0; i < s_runningCount; ++i) {
        RunningRequest& entry = s_running[i];
        if (entry.thread->Running()) continue;
        entry.thread->Join();
        delete entry.thread;
        HttpRecord* record = entry.record;
        if (!record->error.empty() && HttpErrorLogging) LogConsole->Output("HttpError:%s\n", record->error.c_str());
        record->status = ASYNC_FINISHED;
        // The entry moved into this place is looked at in the next frame.
        entry = s_running[--s_runningCount];
        if (s_runningCount >= kHttpMaxThreads - 1) StartQueued();
    }
}

void Http_Shutdown()
{
    for (int i = 0; i < s_runningCount; ++i) s_running[i].record->cancel = true;
    for (int i = 0; i < s_runningCount; ++i) {
        s_running[i].thread->Join();
        delete s_running[i].thread;
    }
    s_runningCount = 0;
    Async_FreeRequests();
    HttpErrorLogging = false;
}

int Http_RunningCount()
{
    return s_runningCount;
}
