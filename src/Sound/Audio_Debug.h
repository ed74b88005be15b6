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

// The sync group the overlay's panel shows (Audio_SetSyncGroupDebug).
struct AudioSyncGroupState {
    int32_t index = -1;
    int32_t count = 0;          // tracks added
    int32_t fails = 0;
    int32_t queued = 0;         // blocks queued on its source
    int32_t sampleOffset = 0;
    int32_t outChannels = 1;
    enum SourceState { kPlaying, kInitial, kPaused, kStopped } sourceState = kInitial;
};
struct AudioSyncTrackState {
    const char* fileName = nullptr;  // null without a sound
    int32_t channels = 0;
    int32_t rate = 0;
    int64_t totalSamples = 0;
    int64_t position = 0;       // the group clock within the track
    bool audible = false;       // gain above 0.01
};
// False when the panel's group does not exist.
bool Audio_SyncGroupDebugState(AudioSyncGroupState* state);
bool Audio_SyncGroupDebugTrack(int32_t channel, AudioSyncTrackState* track);
