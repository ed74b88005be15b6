#pragma once
// A sync group: several Ogg-played sounds decoded at one sample position and
// mixed, block by block, on a thread and an OpenAL source of the group's own,
// so that layered tracks stay sample-aligned while their gains change.
#include <atomic>
#include <cstdint>

#include "Base/Thread.h"
#include "Sound/Audio_OggChannel.h"

struct AudioSound;

struct SOggSyncGroup : OggWorker {
    // Under the lock.
    bool failed = false;         // its streams did not open; the thread has ended
    bool quitRequested = false;
    bool stopRequest = false, playRequest = false, pauseRequest = false, resumeRequest = false;
    int32_t count = 0;           // tracks added
    bool isPlaying = false;
    int64_t framesPlayed = 0;    // frames of the blocks the source finished since the start
    int32_t rate = 0;            // of the play, 0 before one

    bool started = false;
    SOggChannel* channels = nullptr;  // decode only: no source
    int32_t capacity = 0;
    int32_t groupIndex = 0;
    bool loop = false;
    int64_t position = 0;        // the group clock: frames mixed since the start
    int32_t fails = 0;           // restarts after the source ran dry
    int32_t playing = 0;         // tracks of the current play
    int32_t outChannels = 1;     // of the mix: the first track's, as mono or stereo
    int32_t blockFrames = 0;
    uint8_t* mixMemory = nullptr;
    int16_t* mix[2] = {};        // two blocks, aligned to 128 bytes
    int32_t currentMix = 0;
    uint32_t source = 0;
    uint32_t alBuffers[2] = {};
    Thread thread;
    bool threadRunning = false;

    SOggSyncGroup() = default;
    SOggSyncGroup(const SOggSyncGroup&) = delete;
    SOggSyncGroup& operator=(const SOggSyncGroup&) = delete;
    ~SOggSyncGroup() { Shutdown(); }

    // Makes the channels, mix blocks, source and buffers, and starts the
    // thread unless withThread is false. False when any cannot be had.
    bool Start(int32_t index, int32_t channelCapacity, bool loops, bool withThread);
    // Stops and joins the thread, prints what it reported, frees everything.
    void Shutdown();
    // Adds a track; its channel, or -1 (logged) when the group is full.
    int32_t SetPlay(AudioSound* sound);
    void Request(bool SOggSyncGroup::*request);
    // Opens the first n tracks from their beginnings. False when one fails.
    bool OpenChannels(int32_t n);
    // Mixes the next block of the first n tracks into the current mix block.
    void MixChannels(int32_t n);
    // Decodes a block of the channel and mixes it in with the gain ramp; the bytes decoded.
    int32_t DecodeAndMix(SOggChannel& c);
    double TrackPosition();
};

// Adds count samples into dest with the gain ramping linearly from g0 to g1
// across a block of total samples, of which these start at first; each sum
// is truncated and clamped to -32767..32767.
void OggSync_Mix(int16_t* dest, const int16_t* samples, int32_t count, float g0, float g1, int32_t first,
                 int32_t total);
// One cycle of the group's thread. 0 once quit was requested or the group
// failed, 1 when the thread should sleep out its cycle, 2 when it should
// cycle again at once.
int32_t OggSyncThread_Cycle(SOggSyncGroup* g);
// What the thread does when it leaves: the source stopped, every track closed.
void OggSyncThread_Leave(SOggSyncGroup* g);
