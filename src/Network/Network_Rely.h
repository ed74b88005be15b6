#pragma once
// Reliable UDP: framed datagrams of a socket in reliable mode travel with a
// CRC-32 and a sequence number; the receiver drops corrupt and repeated
// packets and acknowledges the others about once a second, the sender sends
// each packet again every 3 seconds until it is acknowledged. Main thread.
#include <cstdint>

enum RelyType : uint32_t { RELY_Unsequenced = 0, RELY_Data = 1, RELY_Ack = 2 };

// The payload of a received datagram (and its size), or null when the
// datagram is dropped or carries nothing for game code.
const uint8_t* RELY_Receive(int32_t socketId, const uint8_t* datagram, int32_t size, const char* host, int32_t port,
                            int32_t* payloadSize);
// Sends size bytes of a game buffer as reliable data: the bytes sent less
// the header, or the negative send result (-4 when too little went).
long RELY_Send(int32_t socketId, const char* host, int32_t port, int32_t buffer, int32_t size);
// Once per frame: due acknowledgements, then due resends.
void RELY_Update();
// Game end: forgets every peer and pending packet.
void RELY_Shutdown();
// Packets waiting for their acknowledgement.
int RELY_PendingCount();
