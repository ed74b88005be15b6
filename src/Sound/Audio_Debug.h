#pragma once
// What the debug overlay shows of the audio engine, read from the source pool
// as it stands (the overlay draws it; it sits above this layer).
#include <cstdint>

struct AudioSourceState {
    uint32_t source = 0;  // OpenAL name
    int32_t buffer = 0;   // the buffer attached, or the one playing from a queue
    int32_t processed = 0;
    int32_t queued = 0;
    float gain = 0.0f;
    int32_t sampleOffset = 0;
    // Of that buffer; 0 when the source has none.
    int32_t bufferSize = 0;
    int32_t bufferBits = 0;
    int32_t bufferChannels = 0;
};

// Fills state for source index of the pool; false when there is no such
// source or it is not playing (paused and stopped sources are left out).
bool Audio_PlayingSourceState(int32_t index, AudioSourceState* state);
