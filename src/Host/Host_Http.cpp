#include "Host/Host_Http.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <strings.h>

namespace {
std::atomic<int32_t> s_connectSeconds{kHostHttpConnectSeconds};
std::atomic<int32_t> s_stallSeconds{kHostHttpStallSeconds};
std::atomic<bool> s_ready{false};

struct Exchange {
    CURL* curl;
    const HostHttpReceiver* receiver;
    std::string block;          // the header block of the response being read
    bool blockHasLocation = false;
    bool delivered = false;     // headers handed to the receiver
    bool stoppedByReceiver = false;
    // Stall watch: the bytes moved either way, and when that last changed.
    curl_off_t moved = 0;
    std::chrono::steady_clock::time_point lastMove = std::chrono::steady_clock::now();
    bool stalled = false;
};

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    return strncasecmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

void Deliver(Exchange* x)
{
    if (x->delivered) return;
    x->delivered = true;
    long status = 0;
    curl_easy_getinfo(x->curl, CURLINFO_RESPONSE_CODE, &status);
    curl_off_t length = -1;
    if (curl_easy_getinfo(x->curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK) length = -1;
    x->receiver->headers(x->receiver->user, int32_t(status), x->block.c_str(), int64_t(length));
}

// Header lines arrive one by one, for every response on the way: interim
// (1xx) answers and redirects that will be followed are dropped, the final
// response is handed over at its blank line.
size_t OnHeader(char* bytes, size_t size, size_t count, void* user)
{
    auto* x = static_cast<Exchange*>(user);
    const size_t n = size * count;
    std::string line(bytes, n);
    if (StartsWithNoCase(line, "HTTP/")) {
        x->block.clear();
        x->blockHasLocation = false;
    }
    if (line == "\r\n" || line == "\n") {
        long status = 0;
        curl_easy_getinfo(x->curl, CURLINFO_RESPONSE_CODE, &status);
        const bool interim = status >= 100 && status < 200;
        const bool followed = status >= 300 && status < 400 && x->blockHasLocation;
        if (!interim && !followed) Deliver(x);
        return n;
    }
    if (StartsWithNoCase(line, "Location:")) x->blockHasLocation = true;
    x->block += line;
    return n;
}

size_t OnBody(char* bytes, size_t size, size_t count, void* user)
{
    auto* x = static_cast<Exchange*>(user);
    const size_t n = size * count;
    Deliver(x);
    if (!x->receiver->body(x->receiver->user, bytes, n)) {
        x->stoppedByReceiver = true;
        return 0;  // anything but n stops the exchange
    }
    return n;
}

int OnProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded)
{
    auto* x = static_cast<Exchange*>(user);
    if (x->receiver->cancelled && x->receiver->cancelled(x->receiver->user)) return 1;
    const auto now = std::chrono::steady_clock::now();
    if (downloaded + uploaded != x->moved) {
        x->moved = downloaded + uploaded;
        x->lastMove = now;
    } else if (now - x->lastMove >= std::chrono::seconds(s_stallSeconds.load())) {
        x->stalled = true;
        return 1;
    }
    return 0;
}
}  // namespace

bool HostHttp_Init(std::string& error)
{
    if (s_ready) return true;
    const CURLcode code = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (code != CURLE_OK) {
        error = std::string("HttpInit: ") + curl_easy_strerror(code);
        return false;
    }
    s_ready = true;
    return true;
}

void HostHttp_SetTimeouts(int32_t connectSeconds, int32_t stallSeconds)
{
    s_connectSeconds = connectSeconds > 0 ? connectSeconds : 1;
    s_stallSeconds = stallSeconds > 0 ? stallSeconds : 1;
}

bool HostHttp_Perform(const HostHttpRequest& request, const HostHttpReceiver& receiver, std::string& error)
{
    CURL* curl = curl_easy_init();
    if (!curl) {
        error = "HttpOpenRequest: the HTTP library could not start a request";
        return false;
    }
    Exchange x{curl, &receiver, std::string(), false, false, false, 0, std::chrono::steady_clock::now(), false};
    char reason[CURL_ERROR_SIZE] = "";
    curl_slist* headers = nullptr;
    // The body goes as it is, without waiting for a "100 Continue".
    headers = curl_slist_append(headers, "Expect:");
    if (request.headerBlock) {
        const char* at = request.headerBlock;
        while (*at) {
            const size_t length = std::strcspn(at, "\r\n");
            const std::string line(at, length);
            // The library states the length of the body it sends itself; an
            // announced one could promise more than is there.
            if (length && !(request.body && StartsWithNoCase(line, "Content-Length:")))
                headers = curl_slist_append(headers, line.c_str());
            at += length;
            at += std::strspn(at, "\r\n");
        }
    }
    const char* method = request.method ? request.method : "GET";
    curl_easy_setopt(curl, CURLOPT_URL, request.url);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, reason);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, kHostHttpUserAgent);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(s_connectSeconds.load()));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &x);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &x);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &x);
    if (std::strcmp(method, "HEAD") == 0) {
        curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    } else if (request.body) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(request.bodyLength));
        if (std::strcmp(method, "POST") != 0) curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method);
    } else if (std::strcmp(method, "GET") != 0) {
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method);
    }

    const CURLcode code = curl_easy_perform(curl);
    bool ok = code == CURLE_OK;
    if (ok) {
        Deliver(&x);  // a reply without a body still has its headers
    } else {
        // The step names where the exchange stopped: before or after the reply began.
        error = x.delivered ? "InternetReadFile: " : "HttpSendRequest: ";
        if (x.stoppedByReceiver)
            error += "the reply could not be stored";
        else if (x.stalled)
            error += "no data for " + std::to_string(s_stallSeconds.load()) + " seconds";
        else
            error += reason[0] ? reason : curl_easy_strerror(code);
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return ok;
}
