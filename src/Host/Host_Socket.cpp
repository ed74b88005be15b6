#include "Host/Host_Socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
sockaddr_in Address(uint32_t address, uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(address);
    a.sin_port = htons(port);
    return a;
}

int SetInt(int handle, int level, int name, int value)
{
    return setsockopt(handle, level, name, &value, sizeof value) == 0 ? 0 : -1;
}

bool Wait(int handle, short events, int timeoutMs)
{
    pollfd p{handle, events, 0};
    int n;
    do n = poll(&p, 1, timeoutMs);
    while (n < 0 && errno == EINTR);
    return n > 0 && (p.revents & (events | POLLHUP | POLLERR)) != 0;
}
}  // namespace

int HostSocket_Create(bool udp)
{
    return socket(AF_INET, (udp ? SOCK_DGRAM : SOCK_STREAM) | SOCK_CLOEXEC, 0);
}

int HostSocket_LastError()
{
    return errno;
}

bool HostSocket_SetNonBlocking(int handle, bool on)
{
    const int flags = fcntl(handle, F_GETFL, 0);
    if (flags < 0) return false;
    return fcntl(handle, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) == 0;
}

int HostSocket_SetNoDelay(int handle)
{
    return SetInt(handle, IPPROTO_TCP, TCP_NODELAY, 1);
}

int HostSocket_SetLingerOff(int handle)
{
    linger l{0, 0};
    return setsockopt(handle, SOL_SOCKET, SO_LINGER, &l, sizeof l) == 0 ? 0 : -1;
}

int HostSocket_SetReuseAddress(int handle)
{
    return SetInt(handle, SOL_SOCKET, SO_REUSEADDR, 1);
}

int HostSocket_SetBroadcast(int handle)
{
    return SetInt(handle, SOL_SOCKET, SO_BROADCAST, 1);
}

int HostSocket_SetTimeouts(int handle, int32_t receiveMs, int32_t sendMs)
{
    timeval r{receiveMs / 1000, (receiveMs % 1000) * 1000};
    if (setsockopt(handle, SOL_SOCKET, SO_RCVTIMEO, &r, sizeof r) != 0) return -1;
    timeval s{sendMs / 1000, (sendMs % 1000) * 1000};
    return setsockopt(handle, SOL_SOCKET, SO_SNDTIMEO, &s, sizeof s) == 0 ? 0 : -1;
}

int HostSocket_Bind(int handle, uint32_t address, uint16_t port)
{
    const sockaddr_in a = Address(address, port);
    return bind(handle, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 ? 0 : -1;
}

int HostSocket_Listen(int handle, int backlog)
{
    return listen(handle, backlog) == 0 ? 0 : -1;
}

int HostSocket_Accept(int handle, uint32_t* address, uint16_t* port)
{
    sockaddr_in a{};
    socklen_t length = sizeof a;
    const int client = accept4(handle, reinterpret_cast<sockaddr*>(&a), &length, SOCK_CLOEXEC);
    if (client >= 0) {
        *address = ntohl(a.sin_addr.s_addr);
        *port = ntohs(a.sin_port);
    }
    return client;
}

int HostSocket_Connect(int handle, uint32_t address, uint16_t port)
{
    const sockaddr_in a = Address(address, port);
    if (connect(handle, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) return 0;
    return errno == EINPROGRESS || errno == EAGAIN ? 1 : -1;
}

int HostSocket_PendingError(int handle)
{
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno;
    return error;
}

long HostSocket_Send(int handle, const void* data, size_t length, int flags)
{
    return send(handle, data, length, flags | MSG_NOSIGNAL);
}

long HostSocket_Recv(int handle, void* data, size_t length, int flags)
{
    return recv(handle, data, length, flags);
}

long HostSocket_RecvFrom(int handle, void* data, size_t length, int flags, uint32_t* address, uint16_t* port)
{
    sockaddr_in a{};
    socklen_t size = sizeof a;
    const long n = recvfrom(handle, data, length, flags, reinterpret_cast<sockaddr*>(&a), &size);
    if (n >= 0) {
        *address = ntohl(a.sin_addr.s_addr);
        *port = ntohs(a.sin_port);
    }
    return n;
}

long HostSocket_SendTo(int handle, uint32_t address, uint16_t port, const void* data, size_t length, int flags)
{
    const sockaddr_in a = Address(address, port);
    return sendto(handle, data, length, flags | MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&a), sizeof a);
}

int HostSocket_BytesAvailable(int handle)
{
    int n = 0;
    return ioctl(handle, FIONREAD, &n) == 0 ? n : 0;
}

bool HostSocket_WaitReadable(int handle, int timeoutMs)
{
    return Wait(handle, POLLIN, timeoutMs);
}

bool HostSocket_WaitWritable(int handle, int timeoutMs)
{
    return Wait(handle, POLLOUT, timeoutMs);
}

void HostSocket_Shutdown(int handle)
{
    shutdown(handle, SHUT_RDWR);
}

int HostSocket_Close(int handle)
{
    return close(handle);
}

int HostSocket_Resolve(const char* host, uint32_t* address)
{
    in_addr a{};
    if (inet_pton(AF_INET, host, &a) == 1) {
        *address = ntohl(a.s_addr);
        return 0;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    const int error = getaddrinfo(host, nullptr, &hints, &found);
    if (error != 0 || !found) return error != 0 ? error : EAI_NONAME;
    *address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return 0;
}

int HostSocket_LocalPort(int handle)
{
    sockaddr_in a{};
    socklen_t length = sizeof a;
    if (getsockname(handle, reinterpret_cast<sockaddr*>(&a), &length) != 0) return -1;
    return ntohs(a.sin_port);
}

bool HostSocket_Pair(int handles[2])
{
    return socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, handles) == 0;
}
