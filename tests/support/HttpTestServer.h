#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the HTTP client's tests: one
// thread per connection, one request per connection, every request recorded.
// The test's route function answers; an answer may be held until the test
// releases it, may arrive in two parts with a pause between them, and may
// leave out its Content-Length (the connection's end then ends the body).
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpTestRequest {
    std::string method;
    std::string target;  // path and query as sent
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    // The first header of that name (case-insensitive), "" when none.
    std::string Header(const std::string& name) const;
};

struct HttpTestResponse {
    int status = 200;
    std::vector<std::string> headers;  // "Name: value" lines
    std::string body;
    bool contentLength = true;
    bool hold = false;       // waits for Release() before answering
    size_t splitAt = 0;      // > 0: the first splitAt bytes of the body, a pause, the rest
    int pauseMs = 0;
};

class HttpTestServer {
public:
    using Route = std::function<HttpTestResponse(const HttpTestRequest&)>;
    explicit HttpTestServer(Route route);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int Port() const { return m_port; }
    std::string Url(const std::string& path) const;
    // Lets n held answers go.
    void Release(int n);
    std::vector<HttpTestRequest> Requests();
    // Requests received so far (held ones included).
    size_t RequestCount();

    // A port on 127.0.0.1 that nothing listens on.
    static int ClosedPort();

private:
    void AcceptLoop();
    void Serve(int fd);

    Route m_route;
    int m_listen = -1;
    int m_port = 0;
    bool m_stopping = false;
    int m_releases = 0;
    std::mutex m_mutex;
    std::condition_variable m_released;
    std::vector<HttpTestRequest> m_requests;
    std::vector<std::thread> m_threads;
    std::thread m_acceptor;
};
