#pragma once
// Ogg Vorbis data read from memory by the decoder: the read, seek, tell and
// close callbacks over a borrowed block of bytes.
#include <tremor/ivorbisfile.h>

#include <cstdint>

struct OggMemory {
    const uint8_t* data;
    uint32_t length;
    uint32_t position;
};

// Callbacks whose data source is an OggMemory; close leaves the bytes alone.
ov_callbacks OggMemory_Callbacks();
