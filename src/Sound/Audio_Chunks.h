#pragma once
// The readers of the sound chunk ("SOND") and the audio chunk ("AUDO") for the
// audio engine. Every offset and length is checked against the payload; a
// broken record refuses the chunk with a message.
#include <cstdint>

struct AudioSound;

// Streamed, compressed and decompress-on-load flags for a sound kind code.
void Audio_SetKindFlags(AudioSound* sound, int32_t kind);

// "SOND": one asset sound per non-empty entry, with its name.
bool Audio_Load(const uint8_t* payload, uint32_t length, const uint8_t* base);
// "AUDO" of the game data or of a group file (offsets relative to base):
// binds the audio data of every asset sound of the group.
bool Audio_WAVs(const uint8_t* payload, uint32_t length, const uint8_t* base, int32_t group);
// The chunk pass's reader: group 0 of the game data.
bool Audio_WAVs_Main(const uint8_t* payload, uint32_t length, const uint8_t* base);
