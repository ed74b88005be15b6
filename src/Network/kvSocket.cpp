#include "Network/kvSocket.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "Base/Console.h"
#include "Base/Timing.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Host/Host_Socket.h"
#include "Network/Network_Main.h"
#include "Network/Network_Rely.h"
#include "Network/kvServer.h"
#include "Options/Runner_Options.h"

const char kGreeting[18] = "QS:Hearth-Connect";
const uint32_t kHello[4] = {0xCAFEBABE, 0xDEADB00B, 16, 0};
const uint32_t kReply[3] = {0xDEAFBEAD, 0xF00DBEEB, 12};

namespace {
constexpr int32_t kHandshakeWaitMs = 5000;

uint32_t Word(const uint8_t* bytes, int index)
{
    uint32_t w;
    std::memcpy(&w, bytes + 4 * index, 4);
    return w;
}

bool TimedOut(uint64_t since)
{
    return Network_Now() - since > uint64_t(NetworkConnectTimeout) * 1000;
}
}  // namespace

void Socket_AddressText(uint32_t address, char out[16])
{
    std::snprintf(out, 16, "%u.%u.%u.%u", (address >> 24) & 255, (address >> 16) & 255, (address >> 8) & 255,
                  address & 255);
}

int Socket_Resolve(const char* host, uint32_t* address)
{
    if (!host) return -1;
    // The exact name only: any other spelling goes to the resolver.
    return HostSocket_Resolve(std::strcmp(host, "localhost") == 0 ? "127.0.0.1" : host, address);
}

void Socket_HexDump(const uint8_t* data, int32_t length)
{
    for (int32_t line = 0; line < length; line += 16) {
        const int32_t n = length - line < 16 ? length - line : 16;
        LogConsole->Output("%08x :: ", line);
        for (int32_t i = 0; i < n; ++i) LogConsole->Output(" %02x", data[line + i]);
        LogConsole->Output("\t");
        for (int32_t i = 0; i < n; ++i) LogConsole->Output(" %c", std::isalnum(data[line + i]) ? data[line + i] : '.');
        LogConsole->Output("\n");
    }
}

kvSocket::kvSocket(int32_t socketType) : type(socketType) {}

kvSocket::kvSocket(int h, int32_t socketType, bool withReadBuffer) : handle(h), type(socketType)
{
    if (withReadBuffer) AllocReadBuffer(4096);
}

kvSocket::~kvSocket()
{
    Close();
}

void kvSocket::CloseHandle()
{
    if (handle >= 0) HostSocket_Close(handle);
    handle = -1;
}

bool kvSocket::CreateHandle()
{
    handle = HostSocket_Create(type == 1);
    return handle >= 0;
}

int kvSocket::Open()
{
    if (type != 0 && type != 1) return -1;
    if (handle < 0 && !CreateHandle()) {
        LogConsole->Output("Error: Can't create socket\n");
        return -1;
    }
    if (type == 0) {
        if (HostSocket_SetNoDelay(handle) != 0) {
            LogConsole->Output("Error (0x%8x): Could not set socket option\n", HostSocket_LastError());
            return -1;
        }
        if (HostSocket_SetLingerOff(handle) != 0) {
            LogConsole->Output("Error (0x%08x): Could not set socket option\n", HostSocket_LastError());
            return -1;
        }
    }
    if (!HostSocket_SetNonBlocking(handle, true)) LogConsole->Output("Error: Can't put socket into ASYNC mode\n");
    return SetTimeouts(receiveTimeout, sendTimeout);
}

int kvSocket::SetTimeouts(int32_t receiveMs, int32_t sendMs)
{
    receiveTimeout = receiveMs;
    sendTimeout = sendMs;
    return handle < 0 ? 0 : HostSocket_SetTimeouts(handle, receiveMs, sendMs);
}

int kvSocket::Bind(uint16_t bindPort)
{
    if (HostSocket_Bind(handle, 0, bindPort) == 0) return 0;
    LogConsole->Output("Error (0x%8x): Can't bind port\n", HostSocket_LastError());
    LogConsole->Output("Setting SO_REUSEADDR and retrying...");
    HostSocket_SetReuseAddress(handle);
    const int result = HostSocket_Bind(handle, 0, bindPort);
    if (result != 0) LogConsole->Output("Error (0x%8x): Can't bind port even with SO_REUSEADDR\n", HostSocket_LastError());
    return result;
}

int kvSocket::Connect(const char* host, int32_t connectPort)
{
    uint32_t address = 0;
    if (Socket_Resolve(host, &address) != 0) return -1;
    port = connectPort;
    Socket_AddressText(address, ip);
    if (handle < 0) {
        type = 0;
        if (!CreateHandle()) return -1;
    }
    HostSocket_SetNoDelay(handle);
    if (!HostSocket_SetNonBlocking(handle, true))
        LogConsole->Output("ioctlsocket failed with error: %ld\n", long(HostSocket_LastError()));
    const int result = HostSocket_Connect(handle, address, uint16_t(connectPort));
    if (result < 0) {
        const int error = HostSocket_LastError();
        LogConsole->Output("Error (0x%8x): Could not set socket option\n", error);
        CloseHandle();
        return -error;
    }
    if (NetworkNonBlockingConnect) {
        connecting = true;
        connectStart = Network_Now();
        return 0;
    }
    if (HostSocket_WaitWritable(handle, NetworkConnectTimeout) && HostSocket_PendingError(handle) == 0) {
        HostSocket_SetNonBlocking(handle, false);
        return 0;
    }
    LogConsole->Output("Socket timeout connecting\n");
    CloseHandle();
    return -1;
}

int kvSocket::ConnectBlocking(const char* host, int32_t connectPort)
{
    const int result = Connect(host, connectPort);
    if (result != 0) return result;
    if (NetworkNonBlockingConnect) {
        handshakeOnConnect = true;
        return 0;
    }
    if (WaitForData(kHandshakeWaitMs, 18) == 18 && std::strcmp(reinterpret_cast<char*>(readBuffer.data()), kGreeting) == 0
        && Send(kHello, sizeof kHello) == sizeof kHello && WaitForData(kHandshakeWaitMs, 12) >= 12
        && std::memcmp(readBuffer.data(), kReply, sizeof kReply) == 0) {
        LogConsole->Output("Socket Connected.\n");
        return 0;
    }
    Shutdown();
    return -1;
}

int32_t kvSocket::WaitForData(int32_t timeoutMs, int32_t wanted)
{
    // A real wait, whatever clock the frame logic runs on.
    const uint64_t deadline = Timing_Microseconds() + uint64_t(timeoutMs) * 1000;
    int32_t got = 0;
    do {
        got = 0;
        if (handle >= 0 && !readBuffer.empty()) {
            for (;;) {
                const int available = HostSocket_BytesAvailable(handle);
                if (available <= 0) break;
                if (size_t(got) + size_t(available) > readBuffer.size())
                    readBuffer.resize(size_t(got) + size_t(available) + 16384);
                const int32_t n = available < wanted ? available : wanted;
                const long r = HostSocket_Recv(handle, readBuffer.data() + got, size_t(n), 0);
                if (r <= 0) break;
                got += int32_t(r);
                if (r == wanted) break;
            }
        }
        if (got > 0) break;
        Network_ProcessServers();
        if (handle >= 0) HostSocket_WaitReadable(handle, 1);
    } while (Timing_Microseconds() < deadline);
    return got;
}

long kvSocket::Send(const void* data, int32_t length)
{
    if (handle < 0) return -1;
    return HostSocket_Send(handle, data, size_t(length), 0);
}

long kvSocket::SendPacket(const void* data, int32_t length)
{
    if (NetworkDebug) {
        LogConsole->Output("WRI : ");
        Socket_HexDump(static_cast<const uint8_t*>(data), length);
    }
    const uint32_t header[3] = {kPacketMagic, kPacketHeaderSize, uint32_t(length)};
    writeBuffer.resize(size_t(length) + kPacketHeaderSize);
    std::memcpy(writeBuffer.data(), header, sizeof header);
    if (length > 0) std::memcpy(writeBuffer.data() + kPacketHeaderSize, data, size_t(length));
    return Send(writeBuffer.data(), int32_t(writeBuffer.size()));
}

int kvSocket::SendTo(const char* host, int32_t toPort, const void* data, int32_t length)
{
    uint32_t address = 0;
    if (handle < 0) return -2;
    // An unresolvable host is a failed send, not a count of bytes.
    if (Socket_Resolve(host, &address) != 0) return -1;
    const long sent = HostSocket_SendTo(handle, address, uint16_t(toPort), data, size_t(length), 0);
    if (sent < 0) return -2;
    return sent == length ? 0 : -3;
}

long kvSocket::SendUDP(const char* host, int32_t toPort, const void* data, int32_t length, bool framed)
{
    if (!framed) {
        const int r = SendTo(host, toPort, data, length);
        return r < 0 ? r : length;
    }
    std::vector<uint8_t> datagram(size_t(length) + kPacketHeaderSize);
    const uint32_t header[3] = {kPacketMagic, kPacketHeaderSize, uint32_t(length)};
    std::memcpy(datagram.data(), header, sizeof header);
    if (length > 0) std::memcpy(datagram.data() + kPacketHeaderSize, data, size_t(length));
    const int r = SendTo(host, toPort, datagram.data(), int32_t(datagram.size()));
    return r < 0 ? r : long(datagram.size());
}

int kvSocket::SendBroadcast(int32_t toPort, const void* data, int32_t length)
{
    if (broadcastHandle < 0) {
        broadcastHandle = HostSocket_Create(true);
        if (broadcastHandle < 0) return -1;
        HostSocket_SetBroadcast(broadcastHandle);
    }
    const long sent = HostSocket_SendTo(broadcastHandle, 0xFFFFFFFFu, uint16_t(toPort), data, size_t(length), 0);
    if (sent < 0) return -2;
    return sent == length ? 0 : -3;
}

int kvSocket::Shutdown()
{
    if (handle < 0) return -1;
    HostSocket_Shutdown(handle);
    const int result = HostSocket_Close(handle);
    handle = -1;
    return result;
}

void kvSocket::Close()
{
    readBuffer.clear();
    readBuffer.shrink_to_fit();
    Shutdown();
    if (broadcastHandle >= 0) HostSocket_Close(broadcastHandle);
    broadcastHandle = -1;
}

bool kvSocket::ReadPacketHeader()
{
    if (handle < 0 || HostSocket_BytesAvailable(handle) <= 0) return false;
    if (readBuffer.size() < kPacketHeaderSize) readBuffer.resize(kPacketHeaderSize);
    const long n = HostSocket_Recv(handle, readBuffer.data(), kPacketHeaderSize, 0);
    if (n <= 0) return false;
    received = n;
    expected = -1;
    if (n == kPacketHeaderSize) {
        const uint8_t* h = readBuffer.data();
        int64_t length = -1;
        if (Word(h, 0) == kPacketMagic && Word(h, 1) == kPacketHeaderSize)
            length = int64_t(Word(h, 2)) + kPacketHeaderSize;
        else if (Word(h, 0) == kDebugFrameMagic && Word(h, 1) == 44 && Word(h, 2) >= kPacketHeaderSize)
            length = Word(h, 2);
        // A length word past the limit is not trusted to size the buffer.
        if (length > 0 && length <= kMaxFrameSize) expected = length;
    }
    return true;
}

void kvSocket::HandOver(kvServer* owner, int32_t size)
{
    if (owner) owner->OnData(this, readBuffer.data(), size);
    else DeliverData(size, readBuffer.data());
}

bool kvSocket::ReadPackets(kvServer* owner)
{
    NetworkHold hold;
    bool any = false;
    for (;;) {
        if (expected == 0) {
            if (!ReadPacketHeader()) break;
            any = true;
        }
        if (expected > 0 && received >= expected) {
            const int32_t size = int32_t(expected);
            expected = received = 0;
            HandOver(owner, size);
            if (doomed) return true;
            continue;
        }
        if (received >= int64_t(readBuffer.size())) {
            // Grows as the bytes come, so a length word alone reserves nothing.
            int64_t grown = readBuffer.empty() ? 4096 : int64_t(readBuffer.size()) * 2;
            if (expected > 0 && grown > expected) grown = expected;
            if (grown > kMaxFrameSize) break;
            readBuffer.resize(size_t(grown));
        }
        if (handle < 0 || HostSocket_BytesAvailable(handle) <= 0) break;
        int64_t limit = int64_t(readBuffer.size());
        if (expected > 0 && expected < limit) limit = expected;
        const long n = HostSocket_Recv(handle, readBuffer.data() + received, size_t(limit - received), 0);
        if (n <= 0) break;
        received += n;
        any = true;
    }
    if (expected < 0) {
        const int32_t size = int32_t(received);
        expected = received = 0;
        if (size > 0) HandOver(owner, size);
    }
    return any;
}

void kvSocket::ReadDatagrams()
{
    NetworkHold hold;
    while (!doomed && handle >= 0 && HostSocket_WaitReadable(handle, 0)) {
        const int available = HostSocket_BytesAvailable(handle);
        if (available > int(readBuffer.size())) readBuffer.resize(size_t(available) + 32768);
        uint32_t address = 0;
        uint16_t fromPort = 0;
        const long n = HostSocket_RecvFrom(handle, readBuffer.data(), readBuffer.size(), 0, &address, &fromPort);
        if (n <= 0) break;
        Socket_AddressText(address, ip);
        port = fromPort;
        TakeDatagram(readBuffer.data(), int32_t(n));
    }
}

void kvSocket::TakeDatagram(const uint8_t* data, int32_t size)
{
    if (!reliable) {
        DeliverData(size, data);
        return;
    }
    int32_t payloadSize = 0;
    if (const uint8_t* payload = RELY_Receive(id, data, size, ip, port, &payloadSize))
        DeliverData(payloadSize, payload);
}

void kvSocket::DeliverData(int32_t size, const uint8_t* data)
{
    if (NetworkDebug) {
        LogConsole->Output("RCV : ");
        Socket_HexDump(data, size);
    }
    const uint8_t* payload = data;
    int32_t length = size;
    if (size >= int32_t(kPacketHeaderSize) && Word(data, 0) == kPacketMagic && Word(data, 1) == kPacketHeaderSize) {
        payload = data + kPacketHeaderSize;
        // The length word never reaches past the block.
        const uint32_t claimed = Word(data, 2);
        length = claimed < uint32_t(size) - kPacketHeaderSize ? int32_t(claimed) : size - int32_t(kPacketHeaderSize);
    }
    const int index = Buffer_Create(length > 0 ? length : 1, eBuffer_Fixed, 1);
    IBuffer* buffer = Buffer_Get(index);
    if (!buffer) return;
    if (length > 0) std::memcpy(buffer->Data(), payload, size_t(length));
    Network_FireDataEvent(id, index, length);
    // The event may have deleted the buffer, and the id may be another's now.
    if (Buffer_Get(index) == buffer) Buffer_Delete(index);
}

void kvSocket::CheckConnect()
{
    if (connecting) {
        if (handle >= 0 && HostSocket_WaitWritable(handle, 0) && HostSocket_PendingError(handle) == 0) {
            connecting = false;
            connectStart = 0;
            if (handshakeOnConnect) {
                handshakeState = 0;
                handshakePending = true;
            } else {
                Network_FireConnectResultEvent(id, true);
            }
        } else if (handle < 0 || HostSocket_WaitWritable(handle, 0) || TimedOut(connectStart)) {
            // Writable with an error is a refused connect; otherwise the wait ran out.
            CloseHandle();
            connecting = false;
            Network_FireConnectResultEvent(id, false);
        }
        return;
    }
    if (!handshakePending) return;
    const int result = Handshake();
    if (result == 0) {
        CloseHandle();
        handshakePending = false;
        Network_FireConnectResultEvent(id, false);
    } else if (result == 2) {
        handshakePending = false;
        Network_FireConnectResultEvent(id, true);
    }
}

int kvSocket::Handshake()
{
    switch (handshakeState) {
    case 0:
        handshakeTime = Network_Now();
        LogConsole->Output("handshake start %lld\n", static_cast<long long>(handshakeTime));
        handshakeState = 1;
        return 1;
    case 1: {
        const int available = handle >= 0 ? HostSocket_BytesAvailable(handle) : 0;
        LogConsole->Output("handshake wait1 peek %d\n", available);
        if (available == 0 && TimedOut(handshakeTime)) {
            LogConsole->Output("handshake wait1 time_expired %lld %lld\n", static_cast<long long>(handshakeTime),
                               static_cast<long long>(Network_Now()));
            Shutdown();
            return 0;
        }
        if (available < 18 && !TimedOut(handshakeTime)) {
            LogConsole->Output("handshake wait1 %d < %d\n", available, 18);
            return 1;
        }
        char greeting[18];
        const long n = available == 18 ? HostSocket_Recv(handle, greeting, 18, 0) : -1;
        if (n == 18) LogConsole->Output("handshake wait1 read %d\n", int(n));
        if (n == 18 && std::memcmp(greeting, kGreeting, 18) == 0 && Send(kHello, sizeof kHello) == sizeof kHello) {
            handshakeTime = Network_Now();
            handshakeState = 3;
            return 1;
        }
        Shutdown();
        return 0;
    }
    case 3: {
        const int available = handle >= 0 ? HostSocket_BytesAvailable(handle) : 0;
        LogConsole->Output("handshake wait2 peek %d\n", available);
        if (available == 0 && TimedOut(handshakeTime)) {
            Shutdown();
            return 0;
        }
        if (available != 12) return 1;
        uint32_t reply[3];
        if (HostSocket_Recv(handle, reply, 12, 0) == 12 && std::memcmp(reply, kReply, 12) == 0) {
            LogConsole->Output("Socket Connected.\n");
            return 2;
        }
        Shutdown();
        return 0;
    }
    default:
        return 1;
    }
}
