// Sync groups as the engine's back ends see them: ids are slots of the
// group table, and an id that names no group does nothing.
#include <AL/al.h>

#include "Base/Console.h"
#include "Options/Runner_Options.h"
#include "Sound/Audio_Debug.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Group.h"
#include "Sound/Audio_Ogg.h"
#include "Sound/Audio_OggAudio.h"
#include "Sound/Audio_OggSync.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Voice.h"

namespace {
constexpr uint32_t kSyncGroupPanel = 32;

SOggSyncGroup* GroupOf(int32_t id)
{
    return Audio_IsOn() ? OggAudio.SyncGroup(id) : nullptr;
}
}  // namespace

SOggSyncGroup* COggAudio::SyncGroup(int32_t id)
{
    return id >= 0 && id < syncGroups.length ? syncGroups.items[id] : nullptr;
}

int32_t COggAudio::CreateSyncGroup(bool loop)
{
    auto* g = new SOggSyncGroup;
    const int32_t id = syncGroups.Add(g);
    if (id < 0) {
        delete g;
        return -1;
    }
    // As many tracks as one thread has channels.
    const int32_t capacity = threadCount > 0 ? channelTotal / threadCount : 0;
    if (!g->Start(id, capacity, loop, !threadless)) {
        syncGroups.items[id] = nullptr;
        delete g;
        return -1;
    }
    return id;
}

void COggAudio::DestroySyncGroup(int32_t id)
{
    SOggSyncGroup* g = SyncGroup(id);
    if (!g) return;
    syncGroups.items[id] = nullptr;
    delete g;  // stops and joins its thread, deletes its source and buffers
}

int32_t Audio_CreateSyncGroup(bool loop)
{
    if (!Audio_IsOn()) return -1;
    const int32_t id = OggAudio.CreateSyncGroup(loop);
    Audio_CheckALError("Audio_CreateSyncGroup");
    return id;
}

void Audio_DestroySyncGroup(int32_t group)
{
    if (GroupOf(group)) OggAudio.DestroySyncGroup(group);
}

int32_t Audio_PlayInSyncGroup(int32_t group, int32_t soundId)
{
    if (!Audio_IsOn()) return -1;
    AudioSound* sound = Audio_GetSound(soundId);
    if (!sound) {
        LogConsole->Output("Error: no sound exists for soundid %d\n", soundId);
        return -1;
    }
    if (!sound->IsOggPlayed()) {
        LogConsole->Output("Error: cannot play uncompressed sounds in a sync group\n");
        return -1;
    }
    if (!AudioGroup_IsLoaded(sound->group)) {
        LogConsole->Output("%s: Audio Group %d is not loaded\n", Audio_GetSoundName(soundId), sound->group);
        return -1;
    }
    Audio_ResolveStreamPath(sound);
    if (!GroupOf(group)) return -1;
    return OggAudio.PlaySound(-1, sound, false, 0.0f, group);
}

void Audio_StartSyncGroup(int32_t group)
{
    if (SOggSyncGroup* g = GroupOf(group)) g->Request(&SOggSyncGroup::playRequest);
}

void Audio_StopSyncGroup(int32_t group)
{
    if (SOggSyncGroup* g = GroupOf(group)) g->Request(&SOggSyncGroup::stopRequest);
}

void Audio_PauseSyncGroup(int32_t group)
{
    if (SOggSyncGroup* g = GroupOf(group)) g->Request(&SOggSyncGroup::pauseRequest);
}

void Audio_ResumeSyncGroup(int32_t group)
{
    if (SOggSyncGroup* g = GroupOf(group)) g->Request(&SOggSyncGroup::resumeRequest);
}

bool Audio_SyncGroupIsPlaying(int32_t group)
{
    SOggSyncGroup* g = GroupOf(group);
    if (!g) return false;
    g->lock.Lock();
    const bool playing = g->isPlaying;
    g->lock.Unlock();
    return playing;
}

double Audio_GetSyncGroupTrackPos(int32_t group)
{
    SOggSyncGroup* g = GroupOf(group);
    return g ? g->TrackPosition() : -1.0;
}

void Audio_SetSyncGroupDebug(int32_t group)
{
    OggAudio.debugSyncGroup = group;
    DebugFlags = group == -1 ? 0 : kSyncGroupPanel;
}

// The panel reads what the group's thread writes without its lock, as a
// display that may be a block behind.
bool Audio_SyncGroupDebugState(AudioSyncGroupState* state)
{
    SOggSyncGroup* g = GroupOf(OggAudio.debugSyncGroup);
    if (!g) return false;
    *state = AudioSyncGroupState{};
    state->index = OggAudio.debugSyncGroup;
    state->count = g->count;
    state->fails = g->fails;
    state->outChannels = g->outChannels;
    alGetSourcei(g->source, AL_BUFFERS_QUEUED, &state->queued);
    alGetSourcei(g->source, AL_SAMPLE_OFFSET, &state->sampleOffset);
    ALint sourceState = AL_INITIAL;
    alGetSourcei(g->source, AL_SOURCE_STATE, &sourceState);
    state->sourceState = sourceState == AL_PLAYING  ? AudioSyncGroupState::kPlaying
                         : sourceState == AL_PAUSED ? AudioSyncGroupState::kPaused
                         : sourceState == AL_STOPPED ? AudioSyncGroupState::kStopped
                                                     : AudioSyncGroupState::kInitial;
    return true;
}

bool Audio_SyncGroupDebugTrack(int32_t channel, AudioSyncTrackState* track)
{
    SOggSyncGroup* g = GroupOf(OggAudio.debugSyncGroup);
    if (!g || channel < 0 || channel >= g->count) return false;
    const SOggChannel& c = g->channels[channel];
    AudioSound* sound = c.sound ? c.sound : c.pendingSound;
    *track = AudioSyncTrackState{};
    track->rate = 44100;
    if (sound) {
        if (sound->sampleRate <= 0) OggAudio.ReadSoundInfo(sound);
        track->fileName = sound->fileName ? sound->fileName : "";
        track->channels = sound->channels;
        if (sound->sampleRate > 0) track->rate = sound->sampleRate;
        track->audible = sound->gain > 0.01f;
    }
    track->totalSamples = c.totalSamples;
    track->position = c.totalSamples > 0 ? g->position % c.totalSamples : 0;
    return true;
}
