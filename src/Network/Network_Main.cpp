#include "Network/Network_Main.h"

#include <cstdio>
#include <vector>

#include "Base/ErrorReport.h"
#include "Base/Timing.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Native.h"
#include "Network/Network_Rely.h"
#include "Network/kvServer.h"
#include "Network/kvSocket.h"

NetworkSocketEntry NetworkSocketTable[kNetworkSocketCount];
int32_t NetworkConnectTimeout = 50000;
bool NetworkNonBlockingConnect = false;

namespace {
void NoEvent(int32_t) {}

NetworkEventHook s_eventHook = NoEvent;
uint64_t s_frameTime = 0;  // 0 before the first frame
int32_t s_eventMap = -1;
int s_holds = 0;
std::vector<kvSocket*> s_buriedSockets;
std::vector<kvServer*> s_buriedServers;

// The one event map: made on the first event, emptied before each later one.
int32_t ResetEventMap()
{
    if (s_eventMap < 0 || !DsMap_FromIndex(s_eventMap)) s_eventMap = DsMap_Create();
    else DsMap_Clear(s_eventMap);
    return s_eventMap;
}

void Fire()
{
    NetworkHold hold;
    s_eventHook(s_eventMap);
}

// The address an event reports for an entry: its socket's, or its server's
// listening socket's.
const kvSocket* EventSocket(int32_t id)
{
    if (id < 0 || id >= kNetworkSocketCount) return nullptr;
    return Network_EntrySocket(&NetworkSocketTable[id]);
}

void AddAddress(int32_t map, int32_t id)
{
    const kvSocket* socket = EventSocket(id);
    DsMap_LockedAddString(map, "ip", socket ? socket->ip : "");
    DsMap_LockedAddReal(map, "port", socket ? socket->port : 0);
}

void DestroySocketRecord(kvSocket* socket)
{
    for (NetworkSocketEntry& entry : NetworkSocketTable) {
        if (entry.inUse && entry.server) entry.server->RemoveClient(socket);
    }
    socket->Shutdown();
    socket->state = kvSocket_Closed;
    Network_Bury(socket);
}
}  // namespace

NetworkEventHook Network_SetEventHook(NetworkEventHook hook)
{
    const NetworkEventHook old = s_eventHook;
    s_eventHook = hook ? hook : NoEvent;
    return old;
}

uint64_t Network_Now()
{
    return s_frameTime ? s_frameTime : Timing_Microseconds();
}

NetworkHold::NetworkHold()
{
    ++s_holds;
}

NetworkHold::~NetworkHold()
{
    if (--s_holds > 0) return;
    // Deleting may not run events, so nothing is buried meanwhile.
    std::vector<kvSocket*> sockets;
    std::vector<kvServer*> servers;
    sockets.swap(s_buriedSockets);
    servers.swap(s_buriedServers);
    for (kvSocket* socket : sockets) delete socket;
    for (kvServer* server : servers) delete server;
}

void Network_Bury(kvSocket* socket)
{
    socket->doomed = true;
    socket->Close();
    NetworkHold hold;
    s_buriedSockets.push_back(socket);
}

void Network_Bury(kvServer* server)
{
    server->doomed = true;
    if (server->listener) {
        server->listener->doomed = true;
        server->listener->Close();
    }
    NetworkHold hold;
    s_buriedServers.push_back(server);
}

NetworkSocketEntry* Network_Entry(double id)
{
    if (!(id >= 0 && id < kNetworkSocketCount)) return nullptr;
    NetworkSocketEntry* entry = &NetworkSocketTable[int(id)];
    return entry->inUse ? entry : nullptr;
}

kvSocket* Network_EntrySocket(const NetworkSocketEntry* entry)
{
    if (!entry) return nullptr;
    if (entry->server) return entry->server->listener;
    return entry->socket;
}

void Network_ClearSocketTable()
{
    for (NetworkSocketEntry& entry : NetworkSocketTable) entry = NetworkSocketEntry{};
}

int32_t Network_AllocSocketId()
{
    for (int32_t i = 0; i < kNetworkSocketCount; ++i) {
        if (!NetworkSocketTable[i].inUse) {
            NetworkSocketTable[i] = NetworkSocketEntry{true, false, nullptr, nullptr};
            return i;
        }
    }
    return -1;
}

int32_t Network_CreateSocket(int32_t type)
{
    if (type == 2) ReportRuntimeError("Error: Bluetooth not yet implemented", false);
    const int32_t id = Network_AllocSocketId();
    if (id < 0) {
        ReportRuntimeError("Cannot allocate any more sockets", false);
        return -1;
    }
    auto* socket = new kvSocket(type);
    socket->id = id;
    socket->AllocReadBuffer(65536);
    if (type == 1) socket->Open();
    NetworkSocketTable[id].socket = socket;
    return id;
}

int32_t Network_CreateServer(int32_t type, int32_t port, int32_t maximumClients, bool raw)
{
    if (maximumClients >= 1015) {
        char text[128];
        std::snprintf(text, sizeof text, "Maximum number of clients for server must be less than %d on this platform",
                      1014);
        ReportRuntimeError(text, false);
        return -1;
    }
    if (maximumClients < 1) {
        ReportRuntimeError("Maximum number of clients for server cannot be less than 1", false);
        return -1;
    }
    if (type == 2) ReportRuntimeError("Error: Bluetooth not yet implemented", false);
    const int32_t id = Network_AllocSocketId();
    if (id < 0) {
        ReportRuntimeError("Cannot allocate anymore sockets", false);
        return -1;
    }
    auto* server = new kvServer(raw);
    NetworkSocketTable[id].server = server;
    if (server->Open(type, port, maximumClients) != 0) {
        delete server;
        NetworkSocketTable[id] = NetworkSocketEntry{};
        return -1;
    }
    server->SetId(id);
    return id;
}

long Network_SendUDP(int32_t id, const char* host, int32_t port, int32_t buffer, int32_t size, bool framed)
{
    kvSocket* socket = Network_EntrySocket(Network_Entry(id));
    const IBuffer* data = Buffer_Get(buffer);
    if (!socket || !data) return -1;
    if (framed && socket->reliable) return RELY_Send(id, host, port, buffer, size);
    // The bytes come from the buffer's start and never from past its end.
    if (size > data->Size()) size = data->Size();
    if (size < 0) size = 0;
    return socket->SendUDP(host, port & 0xFFFF, data->Data(), size, framed);
}

void Network_DestroySocket(int32_t id)
{
    NetworkSocketEntry* entry = Network_Entry(id);
    if (!entry) return;
    NetworkHold hold;
    kvServer* server = entry->server;
    kvSocket* socket = entry->socket;
    *entry = NetworkSocketEntry{};
    if (server) {
        // Its clients keep their entries, but nothing reads them any more.
        for (kvSocket* client : server->clients.sockets) {
            if (client && client != server->listener) server->RemoveClient(client);
        }
        Network_Bury(server);
    }
    if (socket) DestroySocketRecord(socket);
}

int32_t Network_FreeSocketEntry(kvSocket* socket)
{
    for (int32_t i = 0; i < kNetworkSocketCount; ++i) {
        NetworkSocketEntry& entry = NetworkSocketTable[i];
        if (entry.inUse && entry.socket == socket) {
            kvServer* server = entry.server;
            entry = NetworkSocketEntry{};
            Network_Bury(socket);
            if (server) Network_Bury(server);
            return i;
        }
    }
    return -1;
}

void Network_ProcessServers()
{
    for (NetworkSocketEntry& entry : NetworkSocketTable) {
        if (entry.inUse && entry.server) entry.server->Process();
    }
}

void Network_FireConnectEvent(int32_t serverId, int32_t socketId, int32_t port, const char* ip, bool connected)
{
    const int32_t map = ResetEventMap();
    DsMap_LockedAddReal(map, "type", connected ? 1 : 2);
    DsMap_LockedAddReal(map, "id", serverId);
    DsMap_LockedAddReal(map, "socket", socketId);
    DsMap_LockedAddReal(map, "port", port);
    DsMap_LockedAddString(map, "ip", ip);
    Fire();
}

void Network_FireDataEvent(int32_t id, int32_t buffer, int32_t size)
{
    const int32_t map = ResetEventMap();
    DsMap_LockedAddReal(map, "type", 3);
    DsMap_LockedAddReal(map, "id", id);
    DsMap_LockedAddReal(map, "buffer", buffer);
    DsMap_LockedAddReal(map, "size", size);
    AddAddress(map, id);
    Fire();
}

void Network_FireConnectResultEvent(int32_t id, bool succeeded)
{
    const int32_t map = ResetEventMap();
    DsMap_LockedAddReal(map, "type", 4);
    DsMap_LockedAddReal(map, "socket", id);
    DsMap_LockedAddReal(map, "id", id);
    DsMap_LockedAddReal(map, "succeeded", succeeded ? 1 : 0);
    AddAddress(map, id);
    Fire();
}

void Network_Update()
{
    Network_UpdateAt(Timing_Microseconds());
}

void Network_UpdateAt(uint64_t now)
{
    s_frameTime = now;
    NetworkHold hold;
    for (NetworkSocketEntry& entry : NetworkSocketTable) {
        if (!entry.inUse) continue;
        if (kvSocket* socket = entry.socket) {
            socket->CheckConnect();
            if (!entry.inUse || entry.socket != socket) continue;
        }
        if (entry.server) {
            entry.server->Process();
            continue;
        }
        kvSocket* socket = entry.socket;
        if (!socket || socket->readBuffer.empty() || entry.acceptedClient || socket->connecting
            || socket->handshakePending || socket->handle < 0)
            continue;
        if (socket->type == 0) socket->ReadPackets(nullptr);
        else socket->ReadDatagrams();
    }
    RELY_Update();
}

void Network_Shutdown()
{
    {
        NetworkHold hold;
        for (int32_t i = 0; i < kNetworkSocketCount; ++i) Network_DestroySocket(i);
    }
    RELY_Shutdown();
    if (s_eventMap >= 0) DsMap_Destroy(s_eventMap);
    s_eventMap = -1;
    s_frameTime = 0;
}
