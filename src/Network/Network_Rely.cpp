#include "Network/Network_Rely.h"

#include <cstring>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "Base/CRC32.h"
#include "Base/Console.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Network/Network_Main.h"

namespace {
constexpr int kRingSize = 255;
constexpr uint64_t kAckInterval = 1000000;
constexpr uint64_t kResendInterval = 3000000;

struct RelyPeer {
    std::string host;
    int32_t port;
    int32_t socketId;
    uint32_t ring[kRingSize] = {};
    uint8_t acknowledged = 0;
    uint8_t next = 0;
    uint64_t lastAck = 0;
};

struct RelyPending {
    uint32_t sequence;
    int32_t buffer;
    std::string host;
    int32_t port;
    int32_t socketId;
    uint64_t lastSent;
};

uint32_t s_sequence = 1;
std::vector<std::unique_ptr<RelyPeer>> s_peers;
std::list<RelyPending> s_pending;

uint32_t Word(const uint8_t* bytes, int index)
{
    uint32_t w;
    std::memcpy(&w, bytes + 4 * index, 4);
    return w;
}

RelyPeer* FindPeer(int32_t socketId, const char* host, int32_t port, bool create)
{
    for (auto& peer : s_peers) {
        if (peer->socketId == socketId && peer->port == port && peer->host == host) return peer.get();
    }
    if (!create) return nullptr;
    auto peer = std::make_unique<RelyPeer>();
    peer->host = host;
    peer->port = port;
    peer->socketId = socketId;
    s_peers.push_back(std::move(peer));
    return s_peers.back().get();
}

int Waiting(const RelyPeer* peer)
{
    return (peer->next - peer->acknowledged + kRingSize) % kRingSize;
}

long SendRaw(int32_t socketId, const char* host, int32_t port, int32_t buffer)
{
    const IBuffer* packet = Buffer_Get(buffer);
    if (!packet) return -1;
    return Network_SendUDP(socketId, host, port, buffer, packet->Size(), false);
}

// Builds, sends and keeps a sequenced packet of a type.
long SendSequenced(uint32_t type, int32_t socketId, const char* host, int32_t port, const uint8_t* data, int32_t size)
{
    const uint32_t sequence = s_sequence++;
    const int index = Buffer_Create(size + 12, eBuffer_Fast, 1);
    IBuffer* packet = Buffer_Get(index);
    if (!packet) return -1;
    uint8_t* bytes = packet->Data();
    const uint32_t header[3] = {0, type, sequence};
    std::memcpy(bytes, header, sizeof header);
    if (size > 0) std::memcpy(bytes + 12, data, size_t(size));
    const uint32_t crc = CRC32_Calc(bytes + 4, size_t(size) + 8);
    std::memcpy(bytes, &crc, 4);
    const long sent = SendRaw(socketId, host, port, index);
    s_pending.push_back(RelyPending{sequence, index, host, port, socketId, Network_Now()});
    if (sent >= 13) return sent - 12;
    return sent < 0 ? sent : -4;
}

void FlushAcks(RelyPeer* peer)
{
    const int count = Waiting(peer);
    if (count == 0) return;
    std::vector<uint32_t> list;
    list.reserve(size_t(count));
    for (int i = peer->acknowledged; i != peer->next; i = (i + 1) % kRingSize) list.push_back(peer->ring[i]);
    SendSequenced(RELY_Ack, peer->socketId, peer->host.c_str(), peer->port,
                  reinterpret_cast<const uint8_t*>(list.data()), int32_t(list.size() * 4));
    peer->acknowledged = peer->next;
    peer->lastAck = Network_Now();
}

// False for a repeat.
bool NoteReceived(int32_t socketId, const char* host, int32_t port, uint32_t sequence)
{
    RelyPeer* peer = FindPeer(socketId, host, port, true);
    for (uint32_t seen : peer->ring) {
        if (seen == sequence) {
            LogConsole->Output("Already received packet %d from %s:%d\n", int(sequence), host, port);
            return false;
        }
    }
    // A full ring is acknowledged now rather than overwriting entries that
    // were never acknowledged.
    if ((peer->next + 1) % kRingSize == peer->acknowledged) FlushAcks(peer);
    peer->ring[peer->next] = sequence;
    peer->next = uint8_t((peer->next + 1) % kRingSize);
    return true;
}

void Acknowledge(uint32_t sequence)
{
    for (auto it = s_pending.begin(); it != s_pending.end(); ++it) {
        if (it->sequence == sequence) {
            Buffer_Delete(it->buffer);
            s_pending.erase(it);
            return;
        }
    }
}

void Malformed(const char* host, int32_t port)
{
    LogConsole->Output("RELY: malformed packet from %s:%d (unknown type).  discarding!\n", host, port);
}
}  // namespace

const uint8_t* RELY_Receive(int32_t socketId, const uint8_t* datagram, int32_t size, const char* host, int32_t port,
                            int32_t* payloadSize)
{
    *payloadSize = 0;
    if (size < 8) {
        Malformed(host, port);
        return nullptr;
    }
    if (CRC32_Calc(datagram + 4, size_t(size) - 4) != Word(datagram, 0)) {
        LogConsole->Output("RELY: crc on incoming packet from %s:%d does not match, discarding!\n", host, port);
        return nullptr;
    }
    const uint32_t type = Word(datagram, 1) & 0xFF;
    if (type == RELY_Unsequenced) {
        *payloadSize = size - 8;
        return datagram + 8;
    }
    if ((type != RELY_Data && type != RELY_Ack) || size < 12) {
        Malformed(host, port);
        return nullptr;
    }
    if (!NoteReceived(socketId, host, port, Word(datagram, 2))) return nullptr;
    if (type == RELY_Data) {
        *payloadSize = size - 12;
        return datagram + 12;
    }
    for (int32_t i = 0; i < (size - 12) / 4; ++i) Acknowledge(Word(datagram, 3 + i));
    return nullptr;
}

long RELY_Send(int32_t socketId, const char* host, int32_t port, int32_t buffer, int32_t size)
{
    const IBuffer* source = Buffer_Get(buffer);
    if (!source) return -1;
    if (size > source->Size()) size = source->Size();
    if (size < 0) size = 0;
    return SendSequenced(RELY_Data, socketId, host, port, source->Data(), size);
}

void RELY_Update()
{
    const uint64_t now = Network_Now();
    for (auto& peer : s_peers) {
        if (now - peer->lastAck > kAckInterval) FlushAcks(peer.get());
    }
    const size_t count = s_pending.size();
    for (size_t i = 0; i < count && !s_pending.empty(); ++i) {
        RelyPending& front = s_pending.front();
        if (Network_Now() - front.lastSent <= kResendInterval) break;
        SendRaw(front.socketId, front.host.c_str(), front.port, front.buffer);
        front.lastSent = Network_Now();
        s_pending.splice(s_pending.end(), s_pending, s_pending.begin());
    }
}

void RELY_Shutdown()
{
    for (const RelyPending& entry : s_pending) Buffer_Delete(entry.buffer);
    s_pending.clear();
    s_peers.clear();
    s_sequence = 1;
}

int RELY_PendingCount()
{
    return int(s_pending.size());
}
