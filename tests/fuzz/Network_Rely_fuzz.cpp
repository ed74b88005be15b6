// Fuzzes the receiving side of reliable UDP with arbitrary datagrams. An odd
// first byte gets a correct CRC, so that the input reaches the type,
// sequence and acknowledgement handling rather than the CRC check alone.
#include <cstdint>
#include <cstring>
#include <vector>

#include "Base/CRC32.h"
#include "Base/Console.h"
#include "Network/Network_Rely.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool quiet = [] {
        Console_SetStdoutSuppressed(true);
        return true;
    }();
    (void)quiet;
    std::vector<uint8_t> datagram(data, data + size);
    if (size >= 4 && (data[0] & 1)) {
        const uint32_t crc = CRC32_Calc(datagram.data() + 4, size - 4);
        std::memcpy(datagram.data(), &crc, 4);
    }
    int32_t payloadSize = -1;
    const uint8_t* payload = RELY_Receive(0, datagram.data(), int32_t(datagram.size()), "127.0.0.1", 9, &payloadSize);
    if (payload && (payload < datagram.data() || payload + payloadSize > datagram.data() + datagram.size()))
        __builtin_trap();
    RELY_Update();
    RELY_Shutdown();
    return 0;
}
