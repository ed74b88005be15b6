#pragma once
// The HTTP client: each request runs on a thread of its own, at most 8 at a
// time; later ones wait on the request list and start oldest first as
// threads end. Replies are read into the record's data block and delivered
// through the request list (Async_Requests.h) by the completion routine the
// caller passes. Main thread only.
#include <cstdint>

#include "Network/Async_Requests.h"

constexpr int kHttpMaxThreads = 8;
// The reply block a request starts with.
constexpr int32_t kHttpReplyBufferSize = 0x20000;

// Set by every HTTP built-in; the error line of a failed request is logged
// only while it is set.
extern bool HttpErrorLogging;

// Start a request; false (and no record) when the HTTP library cannot be
// used. The record's id is the one AsyncId_Peek gave before the call.
bool Http_Get(const char* url, AsyncCompletion completion, AsyncCleanup cleanup, void* userData);
// Images that sprites and backgrounds load from URLs: a GET with the error
// line on, as for the HTTP built-ins.
bool Http_GetImage(const char* url, AsyncCompletion completion, AsyncCleanup cleanup, void* userData);
bool Http_Post(const char* url, const char* body, AsyncCompletion completion, AsyncCleanup cleanup, void* userData);
// bodyLength -1: the body is text of its own length; a null body sends none.
bool Http_Request(const char* url, const char* method, const char* headerBlock, const void* body,
                  int32_t bodyLength, AsyncCompletion completion, AsyncCleanup cleanup, void* userData);

// Every frame, before the request list is walked: finished request threads
// are joined and their records marked finished; a full table frees a place
// and starts the oldest waiting request. (Declared in Network_Main.h.)
void Http_Process();
// Game end: asks running requests to stop, waits for their threads and
// frees every record on the request list.
void Http_Shutdown();
// Threads running now.
int Http_RunningCount();
