#pragma once
// The chunk pass: every chunk of the game data, in file order, goes to the
// reader of the subsystem that owns it, through one dispatch table.
#include <cstdint>

// A chunk reader: (payload, payload length, game data image). False when the
// payload is malformed (after GameData_Fail has said why); the pass stops.
typedef bool (*ChunkReader)(const uint8_t* payload, uint32_t length, const uint8_t* data);

// False when a chunk had an unrecognised tag or a malformed payload.
bool LoadGameChunks(const uint8_t* data, uint32_t size);
bool LoadGameData();

// Reader of chunks that need no reading (or were read by the header pass).
bool Chunk_Ignore(const uint8_t* payload, uint32_t length, const uint8_t* data);
// "GLOB": the code entries run on the global object at game start.
bool GLOB_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);

// Chunk readers of subsystems not built yet: skips the chunk with one log line.
bool Chunk_ReaderNotBuilt(const uint8_t* payload, uint32_t length, const uint8_t* data);
