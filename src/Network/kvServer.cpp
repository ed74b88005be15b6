#include "Network/kvServer.h"

#include <cstring>

#include "Base/Console.h"
#include "Host/Host_Socket.h"
#include "Network/Network_Main.h"

namespace {
constexpr char kRefusal[6] = {'Q', 'S', ':', 'B', 'Y', 'E'};
}

void kvSocketSet::Add(kvSocket* socket)
{
    for (kvSocket*& slot : sockets) {
        if (slot == socket) return;
    }
    for (kvSocket*& slot : sockets) {
        if (!slot) {
            slot = socket;
            ++count;
            return;
        }
    }
}

bool kvSocketSet::Remove(kvSocket* socket)
{
    for (kvSocket*& slot : sockets) {
        if (slot == socket) {
            slot = nullptr;
            --count;
            return true;
        }
    }
    return false;
}

kvServer::kvServer(bool isRaw) : raw(isRaw) {}

kvServer::~kvServer()
{
    delete listener;
}

int kvServer::Open(int32_t serverType, int32_t port, int32_t maximum)
{
    maximumClients = maximum;
    type = serverType;
    if (type != 0 && type != 1) return -1;
    auto* socket = new kvSocket(type);
    socket->Open();
    if (socket->handle < 0) {
        LogConsole->Output("Error: Can't open main server socket\n");
        delete socket;
        return -1;
    }
    int result = socket->Bind(uint16_t(port));
    if (result != 0) {
        LogConsole->Output("cannot bind port ");
        delete socket;
        return result;
    }
    if (type == 0) {
        result = HostSocket_Listen(socket->handle, 5);
        if (result != 0) {
            LogConsole->Output("Error: Can't listen to socket\n");
            LogConsole->Output("cannot listen on selected port");
            delete socket;
            return result;
        }
    } else {
        socket->AllocReadBuffer(65536);
    }
    socket->port = port;
    listener = socket;
    clients.Add(socket);
    return 0;
}

void kvServer::SetId(int32_t id)
{
    networkId = id;
    if (listener) listener->id = id;
}

bool kvServer::RemoveClient(kvSocket* socket)
{
    if (!clients.Remove(socket)) return false;
    --clientCount;
    return true;
}

void kvServer::Refuse(kvSocket* client, uint32_t address)
{
    char text[16];
    Socket_AddressText(address, text);
    LogConsole->Output("Client Refused: %s\n", text);
    if (client->Send(kRefusal, sizeof kRefusal) != sizeof kRefusal) LogConsole->Output("send error");
    client->Shutdown();
    delete client;
}

void kvServer::Accept()
{
    uint32_t address = 0;
    uint16_t peerPort = 0;
    const int handle = HostSocket_Accept(listener->handle, &address, &peerPort);
    if (handle < 0) return;
    HostSocket_SetNonBlocking(handle, true);
    auto* client = new kvSocket(handle, type, true);
    if (clientCount >= maximumClients) {
        Refuse(client, address);
        return;
    }
    const int32_t id = Network_AllocSocketId();
    if (id < 0) {
        Refuse(client, address);
        return;
    }
    NetworkSocketTable[id].acceptedClient = true;
    NetworkSocketTable[id].socket = client;
    ++clientCount;
    clients.Add(client);
    Socket_AddressText(address, client->ip);
    LogConsole->Output("Client(%d) Connected: %s\n", id, client->ip);
    client->port = listener->port;
    client->id = id;
    if (raw) {
        client->state = kvSocket_Established;
        Network_FireConnectEvent(networkId, id, client->port, client->ip, true);
        return;
    }
    client->state = kvSocket_Login;
    if (client->Send(kGreeting, sizeof kGreeting) != sizeof kGreeting) {
        LogConsole->Output("send error");
        RemoveClient(client);
        Network_FreeSocketEntry(client);
    }
}

void kvServer::ReadClient(kvSocket* client)
{
    if (client->ReadPackets(this) || client->doomed) return;
    LogConsole->Output("Client(%d) Disconnected: %s\n", client->id, client->ip);
    RemoveClient(client);
    client->Shutdown();
    const int32_t before = client->state;
    client->state = kvSocket_Closed;
    const int32_t port = client->port;
    char ip[16];
    std::memcpy(ip, client->ip, sizeof ip);
    const int32_t index = Network_FreeSocketEntry(client);
    if (before >= kvSocket_Established) Network_FireConnectEvent(networkId, index, port, ip, false);
}

void kvServer::Process()
{
    if (!listener || doomed) return;
    NetworkHold hold;
    for (kvSocket* socket : clients.sockets) {
        if (doomed) return;
        if (!socket || socket->doomed || socket->handle < 0 || !HostSocket_WaitReadable(socket->handle, 0)) continue;
        if (type == 1) socket->ReadDatagrams();
        else if (socket == listener) Accept();
        else ReadClient(socket);
    }
}

void kvServer::OnData(kvSocket* socket, const uint8_t* data, int32_t size)
{
    if (type == 0 && socket->state == kvSocket_Login) {
        if (size >= 12 && std::memcmp(data, kHello, 12) == 0) {
            socket->Send(kReply, sizeof kReply);
            socket->state = kvSocket_Established;
            Network_FireConnectEvent(networkId, socket->id, socket->port, socket->ip, true);
            return;
        }
        LogConsole->Output("ERROR: login failed\n");
        RemoveClient(socket);
        Network_FreeSocketEntry(socket);
        return;
    }
    if (type == 1 || socket->state == kvSocket_Established) socket->DeliverData(size, data);
}
