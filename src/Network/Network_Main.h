#pragma once
// Networking and HTTP: the socket table whose index is the id game code
// holds, the per-frame update of sockets and finished HTTP requests, the
// networking event (sub-kind 68) and the shutdown that closes everything.
#include <cstdint>

struct kvSocket;
struct kvServer;

constexpr int kNetworkSocketCount = 1024;

struct NetworkSocketEntry {
    bool inUse;
    bool acceptedClient;  // filled by a server's accept
    kvSocket* socket;
    kvServer* server;
};
extern NetworkSocketEntry NetworkSocketTable[kNetworkSocketCount];

extern int32_t NetworkConnectTimeout;     // milliseconds
extern bool NetworkNonBlockingConnect;

// The entry of an id in use, or null.
NetworkSocketEntry* Network_Entry(double id);
// The socket that sends for an entry: its own, or a server's listening one.
kvSocket* Network_EntrySocket(const NetworkSocketEntry* entry);
void Network_ClearSocketTable();
int32_t Network_AllocSocketId();
int32_t Network_CreateSocket(int32_t type);
int32_t Network_CreateServer(int32_t type, int32_t port, int32_t maximumClients, bool raw);
long Network_SendUDP(int32_t id, const char* host, int32_t port, int32_t buffer, int32_t size, bool framed);
void Network_DestroySocket(int32_t id);
int32_t Network_FreeSocketEntry(kvSocket* socket);
void Network_ProcessServers();

void Network_FireConnectEvent(int32_t serverId, int32_t socketId, int32_t port, const char* ip, bool connected);
void Network_FireDataEvent(int32_t id, int32_t buffer, int32_t size);
void Network_FireConnectResultEvent(int32_t id, bool succeeded);

// While a hold lives, destroyed sockets and servers are only marked and
// closed; the last hold to end deletes them. Reading and event dispatch
// hold, so an event may destroy the socket it came from.
struct NetworkHold {
    NetworkHold();
    ~NetworkHold();
    NetworkHold(const NetworkHold&) = delete;
    NetworkHold& operator=(const NetworkHold&) = delete;
};
void Network_Bury(kvSocket* socket);
void Network_Bury(kvServer* server);

// The runner runs the networking event on every instance with async_load
// set to the map; until it is set events are built and dropped.
using NetworkEventHook = void (*)(int32_t map);
NetworkEventHook Network_SetEventHook(NetworkEventHook hook);
// The time of the current frame in microseconds, which times connects,
// handshakes, acknowledgements and resends; the engine's clock before the
// first frame.
uint64_t Network_Now();

// The frame's work on the engine's clock.
void Network_Update();
// The same at a given time, so that timeouts and resends follow the time
// the caller gives.
void Network_UpdateAt(uint64_t now);
void Network_Shutdown();
// Http_Client.cpp.
void Http_Process();
