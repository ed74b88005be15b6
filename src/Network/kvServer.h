#pragma once
// A listening endpoint and the clients it accepted: each frame it accepts
// new clients (greeting them unless raw, refusing them with "QS:BYE" above
// its maximum), reads its clients' packets and notices their departure.
#include <cstdint>

#include "Network/kvSocket.h"

constexpr int kSocketSetCapacity = 1024;

struct kvSocketSet {
    kvSocket* sockets[kSocketSetCapacity] = {};
    int count = 0;
    void Add(kvSocket* socket);
    bool Remove(kvSocket* socket);
};

struct kvServer {
    explicit kvServer(bool raw);
    ~kvServer();
    kvServer(const kvServer&) = delete;
    kvServer& operator=(const kvServer&) = delete;

    int Open(int32_t type, int32_t port, int32_t maximumClients);
    void SetId(int32_t id);
    bool RemoveClient(kvSocket* socket);
    void Process();
    void OnData(kvSocket* socket, const uint8_t* data, int32_t size);

    kvSocket* listener = nullptr;
    kvSocketSet clients;  // the listening socket and every accepted client
    int32_t networkId = -1;
    bool raw = false;
    bool doomed = false;  // as kvSocket::doomed
    int32_t type = 0;
    int32_t maximumClients = 1014;
    int32_t clientCount = 0;

private:
    void Accept();
    void Refuse(kvSocket* client, uint32_t address);
    void ReadClient(kvSocket* client);
};
