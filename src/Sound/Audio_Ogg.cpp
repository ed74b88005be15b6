#include "Sound/Audio_Ogg.h"

#include <AL/al.h>

#include "Base/Console.h"
#include "Sound/Audio_OggAudio.h"
#include "Sound/Audio_OggSync.h"
#include "Sound/Audio_OggThread.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Voice.h"

COggAudio OggAudio;

namespace {
// Whether a channel is busy with the sound, or about to be.
bool BusyWith(OggWorker* owner, SOggChannel* channels, int32_t count, const AudioSound* sound)
{
    bool busy = false;
    owner->lock.Lock();
    for (int32_t i = 0; i < count && !busy; ++i)
        busy = channels[i].busy && (channels[i].sound == sound || channels[i].pendingSound == sound);
    owner->lock.Unlock();
    return busy;
}

bool AnyChannelBusyWith(const AudioSound* sound)
{
    for (int32_t t = 0; t < OggAudio.threadCount; ++t) {
        SOggThread& thread = OggAudio.threads[t];
        if (thread.started && BusyWith(&thread, thread.channels, thread.channelCount, sound)) return true;
    }
    for (int32_t i = 0; i < OggAudio.syncGroups.length; ++i) {
        SOggSyncGroup* g = OggAudio.syncGroups.items[i];
        if (g && BusyWith(g, g->channels, g->capacity, sound)) return true;
    }
    return false;
}

void FreeFinishedVoices(SOggThread& t)
{
    for (int32_t i = 0; i < t.channelCount; ++i) {
        const SOggChannel& c = t.channels[i];
        if (c.sourceIndex >= Audio_VoiceCount()) break;
        AudioVoice* voice = Audio_VoiceAt(c.sourceIndex);
        if (!voice->active || !voice->oggPlayed) continue;
        t.lock.Lock();
        const bool busy = c.busy;
        t.lock.Unlock();
        if (!busy) Audio_FreeVoice(voice);
    }
}

void DeleteReleasedStreams()
{
    for (int32_t slot = Audio_TableLength(AudioTable::Stream) - 1; slot >= 0; --slot) {
        const AudioSound* stream = Audio_TableSound(AudioTable::Stream, slot);
        if (stream && stream->destroyed && !AnyChannelBusyWith(stream))
            Audio_DeleteTableSound(AudioTable::Stream, slot);
    }
}
}  // namespace

void COggAudio::Init(int32_t count, int32_t sourceCount)
{
    Quit();
    threadCount = count > 0 ? count : 1;
    channelTotal = sourceCount - sourceCount % threadCount;
    threads = new SOggThread[static_cast<size_t>(threadCount)];
}

SOggThread* COggAudio::ThreadOf(int32_t source, int32_t* channel)
{
    if (source < 0 || source >= channelTotal || threadCount == 0) return nullptr;
    SOggThread& t = threads[source % threadCount];
    *channel = source / threadCount;
    if (!t.started && !t.Start(source % threadCount, threadCount, channelTotal / threadCount, channelTotal, !threadless))
        return nullptr;
    return &t;
}

SOggChannel* COggAudio::FindChannel(int32_t source, int32_t group)
{
    if (group >= 0) {
        SOggSyncGroup* g = SyncGroup(group);
        if (!g) return nullptr;
        for (int32_t i = 0; i < g->capacity; ++i)
            if (g->channels[i].sourceIndex == source) return &g->channels[i];
        return nullptr;
    }
    if (source < 0 || source >= channelTotal) return nullptr;
    SOggThread& t = threads[source % threadCount];
    return t.started ? &t.channels[source / threadCount] : nullptr;
}

int32_t COggAudio::PlaySound(int32_t source, AudioSound* sound, bool loop, float startSeconds, int32_t group)
{
    if (sound->streamed && !sound->resolvedPath) {
        LogConsole->Output("COggAudio::PlaySound- could not find audio file for sound %s\n",
                           sound->fileName ? sound->fileName : "");
        return -1;
    }
    if (group >= 0) {
        SOggSyncGroup* g = SyncGroup(group);
        return g ? g->SetPlay(sound) : -1;
    }
    int32_t channel = 0;
    // A thread that cannot start would leave the voice waiting for a channel forever.
    SOggThread* t = ThreadOf(source, &channel);
    if (!t) return -1;
    t->SetPlay(channel, sound, loop, startSeconds);
    return channel;
}

void COggAudio::Stop(int32_t source)
{
    int32_t channel = 0;
    if (SOggThread* t = ThreadOf(source, &channel)) t->Stop(channel);
}

void COggAudio::Pause(int32_t source)
{
    int32_t channel = 0;
    SOggThread* t = ThreadOf(source, &channel);
    if (!t) return;
    SOggChannel& c = t->channels[channel];
    t->lock.Lock();
    c.paused = true;
    ALint state = AL_INITIAL;
    alGetSourcei(c.source, AL_SOURCE_STATE, &state);
    if (state == AL_PLAYING) alSourcePause(c.source);
    t->lock.Unlock();
}

void COggAudio::Resume(int32_t source)
{
    int32_t channel = 0;
    SOggThread* t = ThreadOf(source, &channel);
    if (!t) return;
    SOggChannel& c = t->channels[channel];
    t->lock.Lock();
    c.paused = false;
    ALint state = AL_INITIAL;
    alGetSourcei(c.source, AL_SOURCE_STATE, &state);
    if (state == AL_PAUSED) alSourcePlay(c.source);
    t->lock.Unlock();
}

void COggAudio::SetPosition(int32_t source, float seconds)
{
    int32_t channel = 0;
    if (SOggThread* t = ThreadOf(source, &channel)) t->SetPosition(channel, seconds);
}

bool COggAudio::ReadSoundInfo(AudioSound* sound)
{
    Audio_ResolveStreamPath(sound);
    if (sound->streamed && !sound->resolvedPath) {
        LogConsole->Output("can't find file for %s\n", sound->fileName ? sound->fileName : "");
        return false;
    }
    OggWorker quiet;  // a stream that does not open leaves the length unknown, unreported
    SOggChannel channel;
    channel.sound = sound;
    if (!channel.OpenStream(&quiet)) return false;
    sound->sampleRate = channel.rate;
    sound->channels = channel.channels;
    sound->totalSamples = channel.totalSamples;
    sound->length = channel.totalSamples >= 0 ? static_cast<float>(channel.totalSamples) / channel.rate : 0.0f;
    return true;
}

void COggAudio::Update()
{
    for (int32_t i = 0; i < threadCount; ++i) {
        SOggThread& t = threads[i];
        if (!t.started) continue;
        t.Flush(t.threadIndex);
        FreeFinishedVoices(t);
    }
    DeleteReleasedStreams();
    for (int32_t i = 0; i < syncGroups.length; ++i) {
        SOggSyncGroup* g = syncGroups.items[i];
        if (!g) continue;
        g->Flush(i);
        g->lock.Lock();
        const bool failed = g->failed;
        g->lock.Unlock();
        if (failed) DestroySyncGroup(i);
    }
}

void COggAudio::Quit()
{
    delete[] threads;  // each thread is asked to quit and joined
    threads = nullptr;
    threadCount = 0;
    channelTotal = 0;
    for (int32_t i = 0; i < syncGroups.length; ++i) DestroySyncGroup(i);
    syncGroups.length = 0;
    debugSyncGroup = -1;
}

void OggAudio_RunCycles()
{
    for (int32_t i = 0; i < OggAudio.threadCount; ++i) {
        SOggThread& t = OggAudio.threads[i];
        if (t.started && !t.threadRunning) OggChannelThread_Cycle(&t);
    }
    for (int32_t i = 0; i < OggAudio.syncGroups.length; ++i) {
        SOggSyncGroup* g = OggAudio.syncGroups.items[i];
        if (g && !g->threadRunning) OggSyncThread_Cycle(g);
    }
}

void OggAudio_Init(int32_t threads, int32_t sources)
{
    OggAudio.Init(threads, sources);
}

void OggAudio_Quit()
{
    OggAudio.Quit();
}

void OggAudio_Update()
{
    OggAudio.Update();
}

int32_t OggAudio_PlaySound(int32_t sourceIndex, AudioSound* sound, bool loop, float startSeconds)
{
    return OggAudio.PlaySound(sourceIndex, sound, loop, startSeconds, -1);
}

void OggAudio_Stop(int32_t sourceIndex)
{
    OggAudio.Stop(sourceIndex);
}

void OggAudio_Pause(int32_t sourceIndex)
{
    OggAudio.Pause(sourceIndex);
}

void OggAudio_Resume(int32_t sourceIndex)
{
    OggAudio.Resume(sourceIndex);
}

void OggAudio_SetPosition(int32_t sourceIndex, double seconds)
{
    OggAudio.SetPosition(sourceIndex, static_cast<float>(seconds));
}

double OggAudio_GetPosition(int32_t sourceIndex, AudioSound* sound)
{
    const SOggChannel* c = OggAudio.FindChannel(sourceIndex, -1);
    if (!c) return 0.0;
    if (sound->sampleRate <= 0) OggAudio.ReadSoundInfo(sound);
    if (sound->sampleRate <= 0 || sound->channels <= 0) return 0.0;
    ALint offset = 0;
    alGetSourcei(c->source, AL_SAMPLE_OFFSET, &offset);
    const int64_t blockFrames = kOggBlockBytes / (sound->channels * 2);
    const int64_t frames = c->buffersPlayed * blockFrames + offset;
    return static_cast<double>(frames) / sound->sampleRate + c->startPosition;
}

bool OggAudio_ReadSoundInfo(AudioSound* sound)
{
    return OggAudio.ReadSoundInfo(sound);
}

int32_t OggAudio_SyncGroupCount()
{
    return OggAudio.syncGroups.length;
}
