#include "support/HttpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include <gtest/gtest.h>

namespace {
void SendAll(int fd, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += size_t(n);
    }
}

const char* Reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 302: return "Found";
    case 404: return "Not Found";
    default: return "Status";
    }
}
}  // namespace

std::string HttpTestRequest::Header(const std::string& name) const
{
    for (const auto& [key, value] : headers)
        if (strcasecmp(key.c_str(), name.c_str()) == 0) return value;
    return "";
}

HttpTestServer::HttpTestServer(Route route) : m_route(std::move(route))
{
    m_listen = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(m_listen, 64) != 0 ||
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ADD_FAILURE() << "the test server could not listen";
        return;
    }
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

HttpTestServer::~HttpTestServer()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_released.notify_all();
    shutdown(m_listen, SHUT_RDWR);
    close(m_listen);
    if (m_acceptor.joinable()) m_acceptor.join();
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        threads.swap(m_threads);
    }
    for (std::thread& t : threads) t.join();
}

std::string HttpTestServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void HttpTestServer::Release(int n)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_releases += n;
    }
    m_released.notify_all();
}

std::vector<HttpTestRequest> HttpTestServer::Requests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

size_t HttpTestServer::RequestCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests.size();
}

int HttpTestServer::ClosedPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);  // bound but never listening: a connection is refused
    return ntohs(address.sin_port);
}

void HttpTestServer::AcceptLoop()
{
    for (;;) {
        const int fd = accept(m_listen, nullptr, nullptr);
        if (fd < 0) return;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping) {
            close(fd);
            return;
        }
        m_threads.emplace_back([this, fd] { Serve(fd); });
    }
}

void HttpTestServer::Serve(int fd)
{
    std::string data;
    char chunk[65536];
    size_t headEnd;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) {
            close(fd);
            return;
        }
        data.append(chunk, size_t(n));
    }
    HttpTestRequest request;
    const std::string head = data.substr(0, headEnd);
    size_t lineEnd = head.find("\r\n");
    const std::string first = head.substr(0, lineEnd);
    const size_t s1 = first.find(' '), s2 = first.rfind(' ');
    request.method = first.substr(0, s1);
    request.target = first.substr(s1 + 1, s2 - s1 - 1);
    while (lineEnd != std::string::npos) {
        const size_t start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        size_t valueStart = colon + 1;
        while (valueStart < line.size() && line[valueStart] == ' ') ++valueStart;
        request.headers.emplace_back(line.substr(0, colon), line.substr(valueStart));
    }
    const std::string lengthText = request.Header("Content-Length");
    const size_t length = lengthText.empty() ? 0 : std::stoul(lengthText);
    request.body = data.substr(headEnd + 4);
    while (request.body.size() < length) {
        const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0) break;
        request.body.append(chunk, size_t(n));
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(request);
    }
    const HttpTestResponse response = m_route(request);
    if (response.hold) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_released.wait(lock, [this] { return m_stopping || m_releases > 0; });
        if (m_releases > 0) --m_releases;
    }
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
    for (const std::string& header : response.headers) out += header + "\r\n";
    if (response.contentLength) out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    out += "Connection: close\r\n\r\n";
    const size_t split = response.splitAt < response.body.size() ? response.splitAt : response.body.size();
    SendAll(fd, out + response.body.substr(0, split));
    if (response.pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(response.pauseMs));
    SendAll(fd, response.body.substr(split));
    shutdown(fd, SHUT_WR);
    // Drain until the client closes, so the reply is never cut by a reset.
    while (recv(fd, chunk, sizeof chunk, 0) > 0) {
    }
    close(fd);
}
