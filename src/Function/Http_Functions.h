#pragma once
// The HTTP built-ins (part of the "File.." group): http_get, http_get_file,
// http_post_string and http_request, each answering later with an HTTP
// event (sub-kind 62) whose async_load map holds "id", "status",
// "http_status", "result", "url" and "response_headers".
#include <cstdint>

void InitHttpFunctions();

// The header block of http_request: "key: value\r\n" per map element in the
// map's order; *contentLength receives a "Content-Length" entry's value
// (-1 when there is none). A memory-manager text the caller frees.
char* Http_BuildHeaderBlock(int32_t map, int64_t* contentLength);
