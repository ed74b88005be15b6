#pragma once
// Preparing sounds for playback once their audio data is in memory.
#include <cstdint>

struct AudioSound;

// Uncompressed sounds become one buffer, decompress-on-load sounds are decoded
// whole, compressed ones keep their Ogg data for the channels, streamed ones
// stay on disk. Only sounds of group `group` are prepared, and a sound that
// still holds a buffer keeps it.
void AudioSound_Prepare(AudioSound* sound, int32_t group);
// Prepares the sounds of group 0 (start-up).
void Audio_PrepareSounds();
