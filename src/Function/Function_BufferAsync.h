#pragma once
// Asynchronous saves and loads of buffers (part of the "Buffers.." group).
// Outside a group each call is a request of its own in the save area's folder
// "default"; between buffer_async_group_begin and _end the calls gather into
// one request in the group's folder. Each request does its work in the next
// walk of the request list and raises the save-load event (72) with the map
// {"id", "status" (1 when every file went through, else 0), "error" (0)}.
#include <cstdint>
#include <string>
#include <vector>

struct HTTP_REQ_CONTEXT;

// One file of a request: a save holds the bytes taken at the call; a load
// names its buffer and where the bytes go (size < 0: the whole file).
struct AsyncFileNode {
    std::string name;
    std::vector<uint8_t> data;
    int32_t buffer;
    int32_t size;
    int32_t offset;
};

// Puts a request on the list; its id. A load whose files lie some in the
// bundle and some in the save area is a fatal error (-1).
int32_t Buffer_StartAsyncSaveLoad(bool save, std::vector<AsyncFileNode> nodes, const char* groupName);
// The work of a request, all at once; then it is finished.
void Buffer_AsyncSaveLoadStep(HTTP_REQ_CONTEXT* record);
// The result map and the event sub-kind 72.
int32_t Buffer_AsyncGetResult(HTTP_REQ_CONTEXT* record, void* userData, int32_t* outMap);

// Forgets any open group and registers the built-ins.
void InitBufferAsyncFunctions();
