#include "Sound/Audio_OggThread.h"

#include <AL/al.h>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Base/Timing.h"
#include "Sound/Audio_Voice.h"

namespace {
constexpr int64_t kCycleMs = 16;

int OggChannelThread(Thread* thread)
{
    auto* t = static_cast<SOggThread*>(thread->UserData());
    for (;;) {
        const uint64_t began = Timing_Microseconds();
        if (!OggChannelThread_Cycle(t)) break;
        const int64_t left = kCycleMs - static_cast<int64_t>((Timing_Microseconds() - began) / 1000);
        if (left > 0) Thread_Sleep(static_cast<uint32_t>(left));
    }
    OggChannelThread_Leave(t);
    return 0;
}

// The seek target in milliseconds of a position in seconds, within int range.
int32_t Ogg_Milliseconds(float seconds)
{
    if (!(seconds > 0.0f)) return 0;
    const float ms = seconds * 1000.0f;
    return ms >= 2147483520.0f ? 2147483520 : static_cast<int32_t>(ms);
}
}  // namespace

bool SOggThread::Start(int32_t index, int32_t stride, int32_t channelsPerThread, int32_t sourceCount,
                       bool withThread)
{
    if (channelsPerThread < 1 || index + stride * (channelsPerThread - 1) >= sourceCount) return false;
    channels = new SOggChannel[static_cast<size_t>(channelsPerThread)];
    snapshot = static_cast<uint8_t*>(QS_ALLOC(static_cast<size_t>(channelsPerThread), true));
    channelCount = channelsPerThread;
    threadIndex = index;
    bool made = snapshot != nullptr;
    for (int32_t i = 0; made && i < channelsPerThread; ++i) {
        const int32_t s = index + stride * i;
        made = channels[i].Init(this, Audio_SourceAt(s), s);
    }
    if (made && withThread) {
        quitRequested = false;
        threadRunning = thread.Start(OggChannelThread, this);
        if (!threadRunning) {
            LogConsole->Output("Error %d creating ogg thread\n", static_cast<int>(thread.LastError()));
            made = false;
        }
    }
    if (!made) {
        Flush(index);
        Shutdown();
        return false;
    }
    started = true;
    return true;
}

void SOggThread::Shutdown()
{
    if (threadRunning) {
        lock.Lock();
        quitRequested = true;
        lock.Unlock();
        thread.Join();  // a cycle takes at most one decode per channel and 16 ms
        threadRunning = false;
    } else if (started) {
        OggChannelThread_Leave(this);
    }
    delete[] channels;
    channels = nullptr;
    QS_FREE(snapshot);
    snapshot = nullptr;
    channelCount = 0;
    started = false;
}

void SOggThread::SetPlay(int32_t channel, AudioSound* sound, bool loop, float startSeconds)
{
    SOggChannel& c = channels[channel];
    lock.Lock();
    c.command = loop ? kOggPlay | kOggLoop : kOggPlay;
    if (startSeconds > 0.0f) {
        c.command |= kOggPosition;
        c.pendingPosition = startSeconds;
    } else {
        c.pendingPosition = 0.0f;
    }
    c.pendingSound = sound;
    c.busy = true;
    c.paused = false;
    c.buffersPlayed = 0;
    lock.Unlock();
}

void SOggThread::Stop(int32_t channel)
{
    lock.Lock();
    channels[channel].command = kOggStop;
    lock.Unlock();
}

void SOggThread::SetPosition(int32_t channel, float seconds)
{
    lock.Lock();
    channels[channel].command |= kOggPosition;
    channels[channel].pendingPosition = seconds;
    lock.Unlock();
}

bool OggChannelThread_Cycle(SOggThread* t)
{
    t->lock.Lock();
    const bool quit = t->quitRequested;
    for (int32_t i = 0; i < t->channelCount; ++i) {
        SOggChannel& c = t->channels[i];
        t->snapshot[i] = c.command;
        if (c.command != 0) {
            c.sound = c.pendingSound;
            c.seekTarget = Ogg_Milliseconds(c.pendingPosition);
        }
        c.command = 0;
    }
    t->lock.Unlock();
    if (quit) return false;
    for (int32_t i = 0; i < t->channelCount; ++i) {
        SOggChannel& c = t->channels[i];
        const uint8_t command = t->snapshot[i];
        if (command == 0 && c.state == 0) continue;
        if (command & (kOggPlay | kOggStop)) {
            c.Stop();
            if (command & kOggStop) c.Release(t);
        }
        if (command & kOggPlay) {
            const bool at = (command & kOggPosition) != 0;
            c.startPosition = at ? static_cast<float>(c.seekTarget) / 1000.0f : 0.0f;
            c.Open(t, (command & kOggLoop) != 0, at ? c.seekTarget : 0);
        } else if (command & kOggPosition && !(command & kOggStop)) {
            c.startPosition = static_cast<float>(c.seekTarget) / 1000.0f;
            c.Seek(t, c.seekTarget);
        }
        if (c.state != 0) c.Refill(t, c.state == 2);
    }
    return true;
}

void OggChannelThread_Leave(SOggThread* t)
{
    for (int32_t i = 0; i < t->channelCount; ++i) {
        SOggChannel& c = t->channels[i];
        if (c.state == 0) continue;
        c.Stop();
        t->lock.Lock();
        c.busy = false;
        t->lock.Unlock();
    }
}
