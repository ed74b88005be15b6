// Fuzzes the framed reader of a TCP socket: the input, cut into pieces by
// its own bytes, arrives on a stream between reads, and every packet found
// is delivered as the data event would deliver it.
#include <cstdint>
#include <cstring>

#include "Base/Console.h"
#include "Host/Host_Socket.h"
#include "Network/kvSocket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        Console_SetStdoutSuppressed(true);
        return true;
    }();
    (void)quiet;
    int pair[2];
    if (!HostSocket_Pair(pair)) return 0;
    auto* reader = new kvSocket(pair[0], 0, true);
    size_t at = 0;
    while (at < size) {
        // Each piece's length comes from the byte at its start.
        size_t piece = size_t(data[at]) * 7 + 1;
        if (piece > size - at) piece = size - at;
        while (piece > 0) {
            const long sent = HostSocket_Send(pair[1], data + at, piece, 0);
            if (sent > 0) {
                at += size_t(sent);
                piece -= size_t(sent);
            }
            reader->ReadPackets(nullptr);
        }
    }
    HostSocket_Shutdown(pair[1]);
    reader->ReadPackets(nullptr);
    HostSocket_Close(pair[1]);
    delete reader;
    return 0;
}
