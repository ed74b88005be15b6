#pragma once
// One TCP or UDP endpoint of the game's networking: its handle, buffers,
// connection and handshake state, and the engine's own protocol on top of
// it: the greeting, hello and reply of a connection, the 12-byte packet
// frame, reassembly of frames from the byte stream and the hand-over of each
// packet to game code as a data event. Main thread only.
#include <cstddef>
#include <cstdint>
#include <vector>

struct kvServer;

enum kvSocketState : int32_t { kvSocket_None = 0, kvSocket_Login = 1, kvSocket_Established = 2, kvSocket_Closed = 3 };

constexpr uint32_t kPacketMagic = 0xDEADC0DE;
constexpr uint32_t kDebugFrameMagic = 0xBE11C0DE;
constexpr uint32_t kPacketHeaderSize = 12;
// Frames that claim more than this are taken for unframed data, and
// unframed data is handed over in blocks of at most this size.
constexpr int64_t kMaxFrameSize = 64 * 1024 * 1024;
extern const char kGreeting[18];  // "QS:Hearth-Connect" and its zero byte
extern const uint32_t kHello[4];
extern const uint32_t kReply[3];

struct kvSocket {
    explicit kvSocket(int32_t type);  // 0 TCP, 1 UDP
    kvSocket(int handle, int32_t type, bool withReadBuffer);
    ~kvSocket();
    kvSocket(const kvSocket&) = delete;
    kvSocket& operator=(const kvSocket&) = delete;

    int handle = -1;
    int broadcastHandle = -1;
    int32_t type = 0;
    int32_t state = kvSocket_None;
    bool connecting = false;
    bool handshakeOnConnect = false;
    bool handshakePending = false;
    bool reliable = false;
    // Destroyed while it was being read: whoever reads it stops at once; the
    // record itself is deleted when the network layer is idle again.
    bool doomed = false;
    int32_t handshakeState = 0;
    uint64_t handshakeTime = 0;
    uint64_t connectStart = 0;
    std::vector<uint8_t> readBuffer;
    std::vector<uint8_t> writeBuffer;
    int32_t id = -1;
    char ip[16] = {};
    int32_t port = 0;
    int32_t receiveTimeout = 120;
    int32_t sendTimeout = 120;
    int64_t expected = 0;  // 0 no packet under way, -1 unframed, else frame length
    int64_t received = 0;

    void AllocReadBuffer(int32_t capacity) { readBuffer.assign(static_cast<std::size_t>(capacity), 0); }
    bool CreateHandle();
    int Open();
    int SetTimeouts(int32_t receiveMs, int32_t sendMs);
    int Bind(uint16_t port);
    // 0, or negative after a failure (the handle is then closed).
    int Connect(const char* host, int32_t port);
    int ConnectBlocking(const char* host, int32_t port);
    long Send(const void* data, int32_t length);
    long SendPacket(const void* data, int32_t length);
    // 0 when the whole datagram went, -1 unresolvable host, -2 send error, -3 short send.
    int SendTo(const char* host, int32_t port, const void* data, int32_t length);
    // The datagram length (length + 12 framed) or the negative SendTo result.
    long SendUDP(const char* host, int32_t port, const void* data, int32_t length, bool framed);
    int SendBroadcast(int32_t port, const void* data, int32_t length);
    int Shutdown();
    void Close();

    // Framed reading of a TCP socket; true when anything was read. Packets
    // go to the owner's login and delivery, or straight to DeliverData.
    bool ReadPackets(kvServer* owner);
    // Every datagram waiting, through reliable UDP when it is on.
    void ReadDatagrams();
    // A received datagram of this (reading) socket: through reliable UDP
    // when it is on, then delivered.
    void TakeDatagram(const uint8_t* data, int32_t size);
    // Raises the data event with a buffer holding the block's payload.
    void DeliverData(int32_t size, const uint8_t* data);
    // The non-blocking connect and handshake, once per frame.
    void CheckConnect();
    // 0 failed, 1 waiting, 2 done.
    int Handshake();

private:
    bool ReadPacketHeader();
    int32_t WaitForData(int32_t timeoutMs, int32_t wanted);
    void HandOver(kvServer* owner, int32_t size);
    void CloseHandle();
};

// Dotted text of a host-order IPv4 address (16 bytes with the zero).
void Socket_AddressText(uint32_t address, char out[16]);
// 0 and the address of a host, or non-zero; "localhost" needs no lookup.
int Socket_Resolve(const char* host, uint32_t* address);
// Hex dump of a block to the log, as "-networkdebug" shows traffic.
void Socket_HexDump(const uint8_t* data, int32_t length);
