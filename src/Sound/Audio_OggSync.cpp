#include "Sound/Audio_OggSync.h"

#include <AL/al.h>

#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Base/Timing.h"
#include "Sound/Audio_Decompress.h"
#include "Sound/Audio_Sound.h"

namespace {
constexpr int64_t kCycleMs = 16;
constexpr size_t kMixMemory = 2 * kOggBlockBytes + 127;
constexpr float kSilentGain = 0.01f;

int OggSyncThread(Thread* thread)
{
    auto* g = static_cast<SOggSyncGroup*>(thread->UserData());
    for (;;) {
        const uint64_t began = Timing_Microseconds();
        const int32_t next = OggSyncThread_Cycle(g);
        if (next == 0) break;
        if (next == 2) continue;
        const int64_t left = kCycleMs - static_cast<int64_t>((Timing_Microseconds() - began) / 1000);
        if (left > 0) Thread_Sleep(static_cast<uint32_t>(left));
    }
    OggSyncThread_Leave(g);
    return 0;
}

// The frames of one track in the mix's channel count: averaged into mono,
// doubled from mono, or mixed down from more than two; in place or into scratch.
const int16_t* ToChannels(int16_t* in, int16_t* scratch, int32_t frames, int32_t from, int32_t to)
{
    if (from == to) return in;
    if (to == 1) {
        for (int32_t f = 0; f < frames; ++f) {
            int32_t sum = 0;
            for (int32_t c = 0; c < from; ++c) sum += in[f * from + c];
            scratch[f] = static_cast<int16_t>(sum / from);
        }
        return scratch;
    }
    if (from == 1) {
        for (int32_t f = 0; f < frames; ++f) scratch[2 * f] = scratch[2 * f + 1] = in[f];
        return scratch;
    }
    Ogg_MixDownToStereo(in, frames, from);
    return in;
}

void Upload(SOggSyncGroup* g, uint32_t buffer)
{
    alBufferData(buffer, g->outChannels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, g->mix[g->currentMix],
                 kOggBlockBytes, g->rate);
}

void EndTrack(SOggSyncGroup* g, SOggChannel& c)
{
    c.Close();
    c.state = 0;
    c.buffersPlayed = 0;
    g->lock.Lock();
    c.busy = false;
    g->lock.Unlock();
}

void Play(SOggSyncGroup* g, int32_t n)
{
    std::memset(g->mixMemory, 0, kMixMemory);
    g->position = 0;
    g->playing = 0;
    g->currentMix = 0;
    if (!g->OpenChannels(n)) {
        g->lock.Lock();
        g->failed = true;
        g->lock.Unlock();
        return;
    }
    g->playing = n;
    const SOggChannel& first = g->channels[0];
    g->outChannels = first.channels == 1 ? 1 : 2;
    g->blockFrames = kOggBlockBytes / (2 * g->outChannels);
    g->lock.Lock();
    g->rate = first.rate;
    g->framesPlayed = 0;
    g->lock.Unlock();
    for (int32_t b = 0; b < 2; ++b) {
        g->currentMix = b;
        g->MixChannels(n);
        Upload(g, g->alBuffers[b]);
        g->position += g->blockFrames;
    }
    alSourceQueueBuffers(g->source, 2, g->alBuffers);
    alSourcePlay(g->source);
    alSourcef(g->source, AL_GAIN, 1.0f);
    g->currentMix = 0;
}

void Refill(SOggSyncGroup* g)
{
    ALint processed = 0;
    alGetSourcei(g->source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint buffer = 0;
        // With the count of finished frames, so that a track position read meanwhile stays whole.
        g->lock.Lock();
        alSourceUnqueueBuffers(g->source, 1, &buffer);
        g->framesPlayed += g->blockFrames;
        g->lock.Unlock();
        std::memset(g->mix[g->currentMix], 0, kOggBlockBytes);
        g->MixChannels(g->playing);
        Upload(g, buffer);
        g->currentMix ^= 1;
        g->position += g->blockFrames;
        alSourceQueueBuffers(g->source, 1, &buffer);
    }
}
}  // namespace

void OggSync_Mix(int16_t* dest, const int16_t* samples, int32_t count, float g0, float g1, int32_t first,
                 int32_t total)
{
    for (int32_t i = 0; i < count; ++i) {
        const float gain = static_cast<float>(first + i) / static_cast<float>(total) * (g1 - g0) + g0;
        const float sum = gain * static_cast<float>(samples[i]) + static_cast<float>(dest[i]);
        const float clamped = sum > 32767.0f ? 32767.0f : sum < -32767.0f ? -32767.0f : sum;
        dest[i] = static_cast<int16_t>(clamped);
    }
}

bool SOggSyncGroup::Start(int32_t index, int32_t channelCapacity, bool loops, bool withThread)
{
    groupIndex = index;
    loop = loops;
    capacity = channelCapacity > 0 ? channelCapacity : 1;
    channels = new SOggChannel[static_cast<size_t>(capacity)];
    bool made = true;
    for (int32_t i = 0; made && i < capacity; ++i) made = channels[i].Init(this, 0, -1);
    mixMemory = made ? static_cast<uint8_t*>(QS_ALLOC(kMixMemory, true)) : nullptr;
    if (mixMemory) {
        const uintptr_t aligned = (reinterpret_cast<uintptr_t>(mixMemory) + 127) & ~static_cast<uintptr_t>(127);
        mix[0] = reinterpret_cast<int16_t*>(aligned);
        mix[1] = mix[0] + kOggBlockBytes / 2;
        alGetError();
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) source = 0;
        if (source != 0) {
            alSourcef(source, AL_GAIN, 0.0f);
            alGenBuffers(2, alBuffers);
            if (alGetError() != AL_NO_ERROR) alBuffers[0] = alBuffers[1] = 0;
        }
    }
    made = mixMemory && source != 0 && alBuffers[0] != 0;
    if (made && withThread) {
        threadRunning = thread.Start(OggSyncThread, this);
        if (!threadRunning) LogConsole->Output("Error %d creating ogg thread\n", static_cast<int>(thread.LastError()));
        made = threadRunning;
    }
    started = true;
    if (!made) Shutdown();
    return made;
}

void SOggSyncGroup::Shutdown()
{
    if (!started) return;
    if (threadRunning) {
        lock.Lock();
        quitRequested = true;
        lock.Unlock();
        thread.Join();  // a cycle mixes at most two blocks and sleeps 16 ms
        threadRunning = false;
    } else {
        OggSyncThread_Leave(this);
    }
    lock.Lock();
    if (errorPending) LogConsole->Output("%s", errorText);
    errorText[0] = '\0';
    errorPending = false;
    lock.Unlock();
    delete[] channels;
    channels = nullptr;
    if (source != 0) alDeleteSources(1, &source);
    if (alBuffers[0] != 0) alDeleteBuffers(2, alBuffers);
    source = alBuffers[0] = alBuffers[1] = 0;
    QS_FREE(mixMemory);
    mixMemory = nullptr;
    started = false;
}

int32_t SOggSyncGroup::SetPlay(AudioSound* sound)
{
    lock.Lock();
    if (count >= capacity) {
        lock.Unlock();
        LogConsole->Output("Too many sounds added to sync group, not adding this one.\n");
        return -1;
    }
    const int32_t index = count++;
    SOggChannel& c = channels[index];
    c.command = kOggPlay;
    c.pendingSound = sound;
    c.pendingPosition = 0.0f;
    c.busy = true;
    c.buffersPlayed = 0;
    lock.Unlock();
    return index;
}

void SOggSyncGroup::Request(bool SOggSyncGroup::*request)
{
    lock.Lock();
    if (request == &SOggSyncGroup::playRequest) {
        if (count > 0) playRequest = isPlaying = true;
    } else {
        this->*request = true;
        if (request == &SOggSyncGroup::stopRequest) isPlaying = false;
    }
    lock.Unlock();
}

bool SOggSyncGroup::OpenChannels(int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        SOggChannel& c = channels[i];
        c.previousGain = c.sound ? c.sound->gain : 0.0f;
        if (!c.OpenStream(this)) {
            Report("failed to open stream file!\n");
            return false;
        }
        c.state = loop ? 2 : 1;
        c.buffersPlayed = 0;
        lock.Lock();
        c.busy = true;
        lock.Unlock();
    }
    return true;
}

void SOggSyncGroup::MixChannels(int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        SOggChannel& c = channels[i];
        lock.Lock();
        const bool busy = c.busy;
        lock.Unlock();
        if (!busy || !c.open || !c.sound) continue;
        if (c.previousGain < kSilentGain && c.sound->gain < kSilentGain) continue;
        // A stream without a known length has no place on the group clock.
        if (c.totalSamples <= 0) {
            EndTrack(this, c);
            continue;
        }
        const int64_t at = position % c.totalSamples;
        ++c.buffersPlayed;
        if (ov_pcm_tell(&c.file) != at) ov_pcm_seek(&c.file, at);
        if (DecodeAndMix(c) <= 0) EndTrack(this, c);
    }
}

int32_t SOggSyncGroup::DecodeAndMix(SOggChannel& c)
{
    const float g0 = c.previousGain;
    const float g1 = c.sound->gain;
    const int32_t from = c.channels;
    const int32_t widest = from > outChannels ? from : outChannels;
    // Pieces small enough that a piece and its conversion each fit a PCM half.
    const int32_t pieceFrames = kOggBlockBytes / (2 * widest);
    int16_t* in = reinterpret_cast<int16_t*>(c.pcmBlock + c.currentPcm * kOggBlockBytes);
    int16_t* scratch = reinterpret_cast<int16_t*>(c.pcmBlock + (c.currentPcm ^ 1) * kOggBlockBytes);
    const int32_t total = blockFrames * outChannels;
    int32_t done = 0;
    int32_t bytes = 0;
    while (done < blockFrames) {
        const int32_t want = blockFrames - done < pieceFrames ? blockFrames - done : pieceFrames;
        const int32_t got = c.Decode(this, reinterpret_cast<uint8_t*>(in), want * from * 2, loop);
        if (got < 0) {
            c.currentPcm ^= 1;
            return 0;
        }
        const int32_t frames = got / (from * 2);
        if (frames == 0) break;
        const int16_t* samples = ToChannels(in, scratch, frames, from, outChannels);
        OggSync_Mix(mix[currentMix] + done * outChannels, samples, frames * outChannels, g0, g1,
                    done * outChannels, total);
        done += frames;
        bytes += got;
        if (frames < want) break;
    }
    c.currentPcm ^= 1;
    if (bytes > 0) c.previousGain = g1;
    return bytes;
}

double SOggSyncGroup::TrackPosition()
{
    lock.Lock();
    ALint offset = 0;
    if (source != 0) alGetSourcei(source, AL_SAMPLE_OFFSET, &offset);
    const int64_t frames = framesPlayed + offset;
    const int32_t r = rate;
    lock.Unlock();
    return r > 0 ? static_cast<double>(frames) / r : 0.0;
}

int32_t OggSyncThread_Cycle(SOggSyncGroup* g)
{
    g->lock.Lock();
    const bool quit = g->quitRequested || g->failed;
    const bool stop = g->stopRequest, play = g->playRequest, pause = g->pauseRequest, resume = g->resumeRequest;
    g->stopRequest = g->playRequest = g->pauseRequest = g->resumeRequest = false;
    const int32_t count = g->count;
    for (int32_t i = 0; i < count; ++i) {
        SOggChannel& c = g->channels[i];
        if (c.command != 0) c.sound = c.pendingSound;
        c.command = 0;
    }
    g->lock.Unlock();
    if (quit) return 0;
    ALint state = AL_INITIAL;
    alGetSourcei(g->source, AL_SOURCE_STATE, &state);
    if (play) {
        if (state == AL_PLAYING) {
            g->Report("OggSyncThread already playing, ignoring new play request\n");
            return 2;
        }
        Play(g, count);
    }
    if (stop) {
        alSourceStop(g->source);
        alSourcei(g->source, AL_BUFFER, 0);
        g->playing = 0;
    } else if (!play && (state == AL_PLAYING || (state == AL_STOPPED && g->playing > 0))) {
        Refill(g);
        if (state == AL_STOPPED) {
            alSourcePlay(g->source);
            ++g->fails;
        }
    }
    if (pause && state == AL_PLAYING) alSourcePause(g->source);
    if (resume && state == AL_PAUSED) alSourcePlay(g->source);
    return 1;
}

void OggSyncThread_Leave(SOggSyncGroup* g)
{
    if (g->source != 0) {
        alSourceStop(g->source);
        alSourcei(g->source, AL_BUFFER, 0);
    }
    for (int32_t i = 0; i < g->capacity; ++i)
        if (g->channels && g->channels[i].state != 0) EndTrack(g, g->channels[i]);
}
