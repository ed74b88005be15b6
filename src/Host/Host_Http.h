#pragma once
// HTTP and HTTPS requests on the host's HTTP library, one blocking exchange
// per call, made on a request thread. Redirects are followed; what the
// caller sees is the final response.
#include <cstddef>
#include <cstdint>
#include <string>

struct HostHttpRequest {
    const char* url;
    const char* method;       // "GET", "POST", "HEAD" or any other verb
    const char* headerBlock;  // "Name: value\r\n" lines, or null
    const void* body;         // null: no body
    size_t bodyLength;
};

// Called on the request thread.
struct HostHttpReceiver {
    void* user;
    // Once, before any byte of the body: the final response's status, its
    // raw header block (status line and header lines, CR LF separated) and
    // its announced length (-1 when none).
    void (*headers)(void* user, int32_t status, const char* rawHeaders, int64_t contentLength);
    // A run of body bytes; false stops the exchange as failed.
    bool (*body)(void* user, const void* bytes, size_t n);
    // Polled while the exchange waits; true abandons it.
    bool (*cancelled)(void* user);
};

// Prepares the HTTP library once; call on the main thread before the first
// request. False, with the reason in error, when it cannot be used.
bool HostHttp_Init(std::string& error);
// The user agent every request sends.
constexpr const char* kHostHttpUserAgent = "Quillstep HTTP";
// Connection and stall limits in seconds: a connection not made within the
// first, or a reply that brings no byte for the second, fails the exchange.
constexpr int32_t kHostHttpConnectSeconds = 30;
constexpr int32_t kHostHttpStallSeconds = 60;
void HostHttp_SetTimeouts(int32_t connectSeconds, int32_t stallSeconds);
// Runs the exchange. False when it failed; error then holds "step: reason".
bool HostHttp_Perform(const HostHttpRequest& request, const HostHttpReceiver& receiver, std::string& error);
