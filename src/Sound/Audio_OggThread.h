#pragma once
// An Ogg decoder thread: it serves every fourth source of the pool, one
// channel each, taking the commands the main thread leaves under its lock
// once per 16 ms cycle.
#include <cstdint>

#include "Base/Thread.h"
#include "Sound/Audio_OggChannel.h"

struct AudioSound;

struct SOggThread : OggWorker {
    bool quitRequested = false;  // under the lock
    bool started = false;
    SOggChannel* channels = nullptr;
    int32_t channelCount = 0;
    int32_t threadIndex = 0;     // the first source it serves
    uint8_t* snapshot = nullptr; // one command per channel, taken each cycle
    Thread thread;
    bool threadRunning = false;  // started with a thread of its own

    SOggThread() = default;
    SOggThread(const SOggThread&) = delete;
    SOggThread& operator=(const SOggThread&) = delete;
    ~SOggThread() { Shutdown(); }

    // Makes the channels, channel i feeding pool source index + stride x i,
    // and starts the thread unless withThread is false (the owner then runs
    // the cycles). False, with nothing left made, when it cannot.
    bool Start(int32_t index, int32_t stride, int32_t channelsPerThread, int32_t sourceCount, bool withThread);
    // Asks the thread to quit, waits for it and deletes the channels.
    void Shutdown();

    // Commands, each under the lock.
    void SetPlay(int32_t channel, AudioSound* sound, bool loop, float startSeconds);
    void Stop(int32_t channel);
    void SetPosition(int32_t channel, float seconds);
};

// One cycle of the thread's loop: takes the commands and serves every
// channel. False, having done nothing, once quit was requested.
bool OggChannelThread_Cycle(SOggThread* t);
// What the thread does when it leaves: every channel stopped, idle, not busy.
void OggChannelThread_Leave(SOggThread* t);
