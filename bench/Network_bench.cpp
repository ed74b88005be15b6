#include <benchmark/benchmark.h>

#include <vector>

#include "Host/Host_Socket.h"
#include "Network/Network_Main.h"
#include "Network/kvServer.h"
#include "Network/kvSocket.h"

// Framed TCP packets between two sockets of one process on 127.0.0.1: the
// client sends a packet and frames run until the server side's data event
// has it; beside it plain send and recv of the same bytes on a loopback
// pair. Arguments: the payload size.
namespace {
int s_delivered = 0;
void Count(int32_t)
{
    ++s_delivered;
}

uint16_t FreePort()
{
    const int h = HostSocket_Create(false);
    HostSocket_Bind(h, 0x7F000001, 0);
    const int port = HostSocket_LocalPort(h);
    HostSocket_Close(h);
    return uint16_t(port);
}

void BM_Network_FramedPackets(benchmark::State& state)
{
    const int32_t size = int32_t(state.range(0));
    Network_ClearSocketTable();
    const NetworkEventHook saved = Network_SetEventHook(Count);
    const uint16_t port = FreePort();
    Network_CreateServer(0, port, 4, true);
    const int32_t client = Network_CreateSocket(0);
    kvSocket* socket = Network_Entry(client)->socket;
    socket->Connect("127.0.0.1", port);
    s_delivered = 0;
    while (s_delivered == 0) Network_Update();  // the connect event
    std::vector<uint8_t> payload(size_t(size), 7);
    for (auto _ : state) {
        s_delivered = 0;
        socket->SendPacket(payload.data(), size);
        while (s_delivered == 0) Network_Update();
    }
    state.SetBytesProcessed(state.iterations() * int64_t(size));
    state.SetItemsProcessed(state.iterations());
    Network_Shutdown();
    Network_SetEventHook(saved);
}
BENCHMARK(BM_Network_FramedPackets)->Arg(64)->Arg(65536);

void BM_Network_PlainSendRecv(benchmark::State& state)
{
    const size_t size = size_t(state.range(0));
    const int listener = HostSocket_Create(false);
    HostSocket_Bind(listener, 0x7F000001, 0);
    HostSocket_Listen(listener, 1);
    const int sender = HostSocket_Create(false);
    HostSocket_Connect(sender, 0x7F000001, uint16_t(HostSocket_LocalPort(listener)));
    uint32_t address;
    uint16_t peer;
    HostSocket_WaitReadable(listener, 5000);
    const int receiver = HostSocket_Accept(listener, &address, &peer);
    HostSocket_SetNoDelay(sender);
    std::vector<uint8_t> payload(size, 7), in(size);
    for (auto _ : state) {
        size_t sent = 0, got = 0;
        while (got < size) {
            if (sent < size) {
                const long n = HostSocket_Send(sender, payload.data() + sent, size - sent, 0);
                if (n > 0) sent += size_t(n);
            }
            if (HostSocket_WaitReadable(receiver, 0)) {
                const long n = HostSocket_Recv(receiver, in.data() + got, size - got, 0);
                if (n > 0) got += size_t(n);
            }
        }
    }
    state.SetBytesProcessed(state.iterations() * int64_t(size));
    state.SetItemsProcessed(state.iterations());
    HostSocket_Close(receiver);
    HostSocket_Close(sender);
    HostSocket_Close(listener);
}
BENCHMARK(BM_Network_PlainSendRecv)->Arg(64)->Arg(65536);
}  // namespace
