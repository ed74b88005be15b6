#pragma once
// IPv4 sockets for the network layer: plain handles (-1 for none) and
// addresses as host-order u32. Sends never raise SIGPIPE. Results follow the
// system calls: -1 on failure, with HostSocket_LastError() telling why.
#include <cstddef>
#include <cstdint>

int HostSocket_Create(bool udp);
int HostSocket_LastError();
bool HostSocket_SetNonBlocking(int handle, bool on);
// Each returns 0 or -1.
int HostSocket_SetNoDelay(int handle);
int HostSocket_SetLingerOff(int handle);
int HostSocket_SetReuseAddress(int handle);
int HostSocket_SetBroadcast(int handle);
int HostSocket_SetTimeouts(int handle, int32_t receiveMs, int32_t sendMs);
int HostSocket_Bind(int handle, uint32_t address, uint16_t port);
int HostSocket_Listen(int handle, int backlog);
// The new handle, or -1; the peer's address and port on success.
int HostSocket_Accept(int handle, uint32_t* address, uint16_t* port);
// 0 connected, 1 in progress (non-blocking), -1 failed.
int HostSocket_Connect(int handle, uint32_t address, uint16_t port);
// SO_ERROR: 0 when a finished connect succeeded.
int HostSocket_PendingError(int handle);
long HostSocket_Send(int handle, const void* data, size_t length, int flags);
long HostSocket_Recv(int handle, void* data, size_t length, int flags);
long HostSocket_RecvFrom(int handle, void* data, size_t length, int flags, uint32_t* address, uint16_t* port);
long HostSocket_SendTo(int handle, uint32_t address, uint16_t port, const void* data, size_t length, int flags);
// Bytes waiting (for a datagram socket: the size of the next datagram).
int HostSocket_BytesAvailable(int handle);
// Waits up to timeoutMs (0: just looks) for the handle to be readable or
// writable; a closed peer counts as readable.
bool HostSocket_WaitReadable(int handle, int timeoutMs);
bool HostSocket_WaitWritable(int handle, int timeoutMs);
void HostSocket_Shutdown(int handle);
int HostSocket_Close(int handle);
// 0 and the address, or the resolver's error code (never 0). Dotted text is
// converted without a lookup; anything else goes to the system resolver.
int HostSocket_Resolve(const char* host, uint32_t* address);
// The port a handle is bound to, or -1.
int HostSocket_LocalPort(int handle);
// A connected pair of local stream handles (both non-blocking), for feeding
// a byte stream to a reader; false when none can be made.
bool HostSocket_Pair(int handles[2]);
