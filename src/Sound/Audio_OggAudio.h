#pragma once
// The owner of every Ogg-played sound's decoding: four decoder threads that
// each serve every fourth source of the pool (source s is channel s / 4 of
// thread s % 4), started on the first command for one of their sources, and
// the sync groups. Main thread only; it reaches the threads through their
// locks.
#include <cstdint>

#include "Base/Array.h"

struct AudioSound;
struct SOggChannel;
struct SOggSyncGroup;
struct SOggThread;

struct COggAudio {
    SOggThread* threads = nullptr;
    int32_t threadCount = 0;
    int32_t channelTotal = 0;  // sources served: the pool's count rounded down to the thread count
    // Grows by 8, from nothing: no allocation while globals are constructed.
    cARRAY_CLASS<SOggSyncGroup, ArrayForm::Growable> syncGroups{0, 8};
    int32_t debugSyncGroup = -1;
    // Threads and groups start without threads of their own; the owner runs
    // their cycles (OggAudio_RunCycles). For checks that step decoding by hand.
    bool threadless = false;

    void Init(int32_t threadCount, int32_t sourceCount);
    // The thread serving source s, started when it was not; null when it
    // cannot be. *channel is the source's channel in it.
    SOggThread* ThreadOf(int32_t source, int32_t* channel);
    // The source's channel (group -1) or the group's channel feeding source
    // s; null when none.
    SOggChannel* FindChannel(int32_t source, int32_t group);
    // A channel index, or -1 when the sound cannot be played.
    int32_t PlaySound(int32_t source, AudioSound* sound, bool loop, float startSeconds, int32_t group);
    void Stop(int32_t source);
    void Pause(int32_t source);
    void Resume(int32_t source);
    void SetPosition(int32_t source, float seconds);
    bool ReadSoundInfo(AudioSound* sound);
    // Once per frame: prints the threads' messages, frees the voices whose
    // channel finished, deletes destroyed streams and failed groups.
    void Update();
    // Stops and deletes every thread and sync group.
    void Quit();

    SOggSyncGroup* SyncGroup(int32_t id);
    int32_t CreateSyncGroup(bool loop);
    void DestroySyncGroup(int32_t id);
};

extern COggAudio OggAudio;

// Runs one cycle of every started thread and sync group that has no thread
// of its own.
void OggAudio_RunCycles();
