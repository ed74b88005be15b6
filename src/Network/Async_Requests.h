#pragma once
// The asynchronous request list: every piece of work whose result reaches
// game code later (HTTP requests, dialogs, buffer groups, results that are
// already complete when posted) is one record on a single list. Once a record
// is finished its completion routine builds the result map and names the
// event sub-kind; the frame step walks the list once per frame, runs that
// event with the map as async_load and deletes the record. The list, and
// the maps the records build, are guarded by DsMutex.
#include <atomic>
#include <cstdint>

struct HTTP_REQ_CONTEXT;

// Returns the event sub-kind (60 or more raises the event) and the result
// map's handle in *outMap (-1 for none); the walk destroys that map.
using AsyncCompletion = int32_t (*)(HTTP_REQ_CONTEXT* record, void* userData, int32_t* outMap);
using AsyncCleanup = void (*)(HTTP_REQ_CONTEXT* record);
using AsyncPerFrame = void (*)(HTTP_REQ_CONTEXT* record);

enum AsyncStatus : int32_t {
    ASYNC_CREATED = 1,         // also an HTTP request of another method while it is sent
    ASYNC_RECEIVING = 3,       // headers read, body arriving: a progress event every frame
    ASYNC_SENDING = 5,
    ASYNC_SENDING_POST = 6,    // http_request with method "POST"
    ASYNC_FINISHED = 7,        // the next walk delivers the result and deletes the record
    ASYNC_QUEUED_POST = 8,     // waiting for a free request thread
    ASYNC_QUEUED_GET = 9,
    ASYNC_QUEUED_REQUEST = 10,
};

// The base record; producers derive their own. Request threads write the
// atomic fields of their own record without the lock.
struct HTTP_REQ_CONTEXT {
    // Under DsMutex: a data block of bufferSize bytes filled with 0xFF (none
    // when bufferSize <= 0), a copy of url, the next id, a new empty own map;
    // linked at the tail when append is set (posted results keep their
    // order), else at the head.
    HTTP_REQ_CONTEXT(const char* url, int32_t bufferSize, AsyncCompletion completion, AsyncCleanup cleanup,
                     void* userData, bool append);
    // Frees the data, the url and the own map. Does not unlink the record.
    virtual ~HTTP_REQ_CONTEXT();
    HTTP_REQ_CONTEXT(const HTTP_REQ_CONTEXT&) = delete;
    HTTP_REQ_CONTEXT& operator=(const HTTP_REQ_CONTEXT&) = delete;

    HTTP_REQ_CONTEXT* next = nullptr;
    uint8_t active = 1;  // the walk passes over records whose flag is 0
    std::atomic<int32_t> status{ASYNC_CREATED};
    AsyncCompletion completion;
    AsyncCleanup cleanup;
    AsyncPerFrame perFrame = nullptr;  // for producers that work on the main thread
    void* userData;
    char* url = nullptr;
    int32_t id;
    std::atomic<int32_t> httpStatus{200};
    int32_t ownMap = -1;  // HTTP fills it with the response headers
    int32_t dialog = 0;
    uint8_t* data = nullptr;
    int32_t size = 0;
    std::atomic<int32_t> received{0};
    std::atomic<int32_t> contentLength{-1};
    uint64_t progressWalk = 0;  // the walk that last raised its progress event
};

// The head of the list (null when empty); read and changed under DsMutex.
extern HTTP_REQ_CONTEXT* AsyncRequestHead;

// The one source of asynchronous ids: every record and every id another
// producer hands to game code. AsyncId_Peek is the id the next record gets.
int32_t AsyncId_Peek();
int32_t AsyncId_Take();

// Unlinks the record and deletes it; one that is not on the list is ignored.
void HttpReq_RemoveAndDelete(HTTP_REQ_CONTEXT* record);

// Posts a complete result: a finished record whose map (and buffer, when
// bufferIndex >= 0) are destroyed after the event. Any thread; the map must
// be complete before the call.
HTTP_REQ_CONTEXT* PostAsyncEvent(int32_t map, int32_t subKind);
void PostAsyncEventWithBuffer(int32_t map, int32_t bufferIndex, int32_t subKind);

// Adds each "Name: value" line of a raw header block (CR/LF separated) to
// the record's own map; a name that repeats keeps its first value.
void Http_ParseResponseHeaders(HTTP_REQ_CONTEXT* record, const char* rawHeaders);

// Runs an asynchronous event of a sub-kind with a result map as async_load.
using AsyncFireEvent = void (*)(int32_t map, int32_t subKind);
// The walk of every frame, under DsMutex: per-frame routines, a progress
// event (sub-kind 62) for each receiving record that has a completion
// routine, and, for each finished record, its completion, the event, the
// clean-up and the deletion. Results posted while an event runs are
// delivered in the same walk.
void Async_ProcessRequestList(AsyncFireEvent fire);

// Game end: deletes every record left on the list after its clean-up
// routine (no completion, no event). Request threads must have ended.
void Async_FreeRequests();
