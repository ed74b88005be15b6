#include "Network/Async_Requests.h"

#include <cstring>
#include <new>
#include <string>

#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Native.h"

HTTP_REQ_CONTEXT* AsyncRequestHead = nullptr;

namespace {
std::atomic<int32_t> s_nextId{0};
uint64_t s_walk = 0;

// What a posted result carries.
struct PostedResult {
    int32_t map;
    int32_t subKind;
    int32_t bufferIndex;  // -1: none
};

int32_t PostedResult_Get(HTTP_REQ_CONTEXT*, void* userData, int32_t* outMap)
{
    const auto* posted = static_cast<PostedResult*>(userData);
    *outMap = posted->map;
    return posted->subKind;
}

void PostedResult_Cleanup(HTTP_REQ_CONTEXT* record)
{
    auto* posted = static_cast<PostedResult*>(record->userData);
    if (!posted) return;
    // The walk has usually destroyed the map already: its slot is then empty.
    DsMap_Destroy(posted->map);
    if (posted->bufferIndex >= 0) Buffer_Delete(posted->bufferIndex);
    delete posted;
    record->userData = nullptr;
}

HTTP_REQ_CONTEXT* Post(int32_t map, int32_t bufferIndex, int32_t subKind)
{
    auto* posted = new PostedResult{map, subKind, bufferIndex};
    auto* record = new HTTP_REQ_CONTEXT(nullptr, 0, PostedResult_Get, PostedResult_Cleanup, posted, true);
    record->status = ASYNC_FINISHED;
    return record;
}

bool Unlink(HTTP_REQ_CONTEXT* record)
{
    for (HTTP_REQ_CONTEXT** link = &AsyncRequestHead; *link; link = &(*link)->next) {
        if (*link == record) {
            *link = record->next;
            record->next = nullptr;
            return true;
        }
    }
    return false;
}

int32_t ProgressMap(HTTP_REQ_CONTEXT* record)
{
    const int32_t map = DsMap_Create();
    if (map < 0) return -1;
    DsMap_AddIntValue(map, "id", record->id);
    DsMap_AddIntValue(map, "status", 1);
    DsMap_AddStringValue(map, "url", record->url ? record->url : "");
    DsMap_AddIntValue(map, "contentLength", record->contentLength);
    DsMap_AddIntValue(map, "sizeDownloaded", record->received);
    return map;
}

// Delivers a finished record (already unlinked) and deletes it.
void Deliver(HTTP_REQ_CONTEXT* record, AsyncFireEvent fire)
{
    int32_t map = -1;
    const int32_t subKind = record->completion ? record->completion(record, record->userData, &map) : 0;
    if (subKind >= 60) fire(map, subKind);
    if (map >= 0) DsMap_Destroy(map);
    if (record->cleanup) record->cleanup(record);
    delete record;
}
}  // namespace

HTTP_REQ_CONTEXT::HTTP_REQ_CONTEXT(const char* urlText, int32_t bufferSize, AsyncCompletion completionRoutine,
                                   AsyncCleanup cleanupRoutine, void* user, bool append)
    : completion(completionRoutine), cleanup(cleanupRoutine), userData(user)
{
    DsMutexLock lock;
    if (bufferSize > 0) {
        data = static_cast<uint8_t*>(QS_ALLOC(size_t(bufferSize), false));
        if (data) {
            std::memset(data, 0xFF, size_t(bufferSize));
            size = bufferSize;
        }
    }
    if (append && AsyncRequestHead) {
        HTTP_REQ_CONTEXT* tail = AsyncRequestHead;
        while (tail->next) tail = tail->next;
        tail->next = this;
    } else {
        next = AsyncRequestHead;
        AsyncRequestHead = this;
    }
    if (urlText) url = DupString(urlText);
    id = AsyncId_Take();
    ownMap = DsMap_Create();
}

HTTP_REQ_CONTEXT::~HTTP_REQ_CONTEXT()
{
    QS_FREE(data);
    QS_FREE(url);
    if (ownMap != -1) {
        DsMutexLock lock;
        DsMap_Destroy(ownMap);
    }
}

int32_t AsyncId_Peek()
{
    return s_nextId.load();
}

int32_t AsyncId_Take()
{
    return s_nextId.fetch_add(1);
}

void HttpReq_RemoveAndDelete(HTTP_REQ_CONTEXT* record)
{
    if (!record) return;
    DsMutexLock lock;
    if (Unlink(record)) delete record;
}

HTTP_REQ_CONTEXT* PostAsyncEvent(int32_t map, int32_t subKind)
{
    return Post(map, -1, subKind);
}

void PostAsyncEventWithBuffer(int32_t map, int32_t bufferIndex, int32_t subKind)
{
    Post(map, bufferIndex, subKind);
}

void Http_ParseResponseHeaders(HTTP_REQ_CONTEXT* record, const char* rawHeaders)
{
    if (!record || !rawHeaders) return;
    DsMutexLock lock;
    DsMap* map = DsMapTable.Get(record->ownMap);
    if (!map) return;
    const char* at = rawHeaders;
    while (*at) {
        const size_t length = std::strcspn(at, "\r\n");
        const std::string line(at, length);
        at += length;
        at += std::strspn(at, "\r\n");
        const size_t colon = line.find(": ");
        if (colon == std::string::npos) continue;
        ScriptValue key = ScriptValue_Undefined();
        ScriptValue value = ScriptValue_Undefined();
        ScriptValue_InitString(&key, line.substr(0, colon).c_str());
        ScriptValue_InitString(&value, line.substr(colon + 2).c_str());
        map->Add(&key, &value);
        ScriptValue_SetUndefined(&key);
        ScriptValue_SetUndefined(&value);
    }
}

void Async_ProcessRequestList(AsyncFireEvent fire)
{
    DsMutexLock lock;
    // The walk starts again from the head after each delivery; a record
    // passed earlier in this walk gets one progress event all the same.
    const uint64_t walk = ++s_walk;
    HTTP_REQ_CONTEXT* record = AsyncRequestHead;
    while (record) {
        if (!record->active) {
            record = record->next;
            continue;
        }
        if (record->perFrame) record->perFrame(record);
        const int32_t status = record->status;
        if (status == ASYNC_RECEIVING && record->completion && record->progressWalk != walk) {
            record->progressWalk = walk;
            const int32_t map = ProgressMap(record);
            fire(map, 62);
            if (map >= 0) DsMap_Destroy(map);
        } else if (status == ASYNC_FINISHED) {
            Unlink(record);
            Deliver(record, fire);
            record = AsyncRequestHead;
            continue;
        }
        record = record->next;
    }
}

void Async_FreeRequests()
{
    DsMutexLock lock;
    while (HTTP_REQ_CONTEXT* record = AsyncRequestHead) {
        AsyncRequestHead = record->next;
        if (record->cleanup) record->cleanup(record);
        delete record;
    }
}
