#include "Sound/Audio_GroupSounds.h"

#include <AL/al.h>

#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Prepare.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Voice.h"

namespace {
// The asset sounds of the group, with their index, in asset order.
template <typename F>
void ForEachSoundOf(int32_t group, F f)
{
    for (int32_t i = 0; i < Audio_GetAssetCount(); ++i) {
        AudioSound* sound = Audio_GetAsset(i);
        if (sound && sound->group == group) f(i, sound);
    }
}

bool VoicePlaysGroup(const AudioVoice* voice, int32_t group)
{
    const AudioSound* sound = Audio_GetSound(voice->soundId);
    return voice->active && sound && sound->group == group;
}

// A buffer voice whose source has stopped or never started: its sound has ended.
bool HasEnded(const AudioVoice* voice)
{
    if (voice->oggPlayed) return false;
    const ALuint source = Audio_VoiceSource(voice);
    if (source == 0) return true;
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_STOPPED || state == AL_INITIAL;
}
}  // namespace

int32_t Audio_GroupSoundCount(int32_t group)
{
    int32_t count = 0;
    ForEachSoundOf(group, [&](int32_t, AudioSound*) { ++count; });
    return count;
}

int32_t Audio_PrepareGroup(int32_t group, void (*stepProgress)(void* user), void* user)
{
    if (!Audio_IsOn()) return 0;
    int32_t prepared = 0;
    ForEachSoundOf(group, [&](int32_t, AudioSound* sound) {
        AudioSound_Prepare(sound, group);
        ++prepared;
        if (stepProgress) stepProgress(user);
    });
    return prepared;
}

bool Audio_GroupHasNoVoices(int32_t group)
{
    if (!Audio_IsOn()) return true;
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) {
        AudioVoice* v = Audio_VoiceAt(i);
        if (!VoicePlaysGroup(v, group)) continue;
        if (!HasEnded(v)) return false;
        Audio_FreeVoice(v);
    }
    return true;
}

void Audio_StopGroup(int32_t group)
{
    if (!Audio_IsOn()) return;
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) {
        AudioVoice* v = Audio_VoiceAt(i);
        if (VoicePlaysGroup(v, group)) Audio_StopVoice(v, false);
    }
}

void Audio_SetGroupGain(int32_t group, double gain, int32_t timeMs)
{
    ForEachSoundOf(group, [&](int32_t index, AudioSound*) { Audio_SetGain(index, gain, timeMs); });
}

bool Audio_ReleaseGroup(int32_t group)
{
    if (!Audio_GroupHasNoVoices(group)) return false;
    ForEachSoundOf(group, [](int32_t, AudioSound* sound) {
        sound->ReleaseBuffer();
        sound->audioData = nullptr;
        sound->oggData = nullptr;
        sound->oggLength = 0;
    });
    return true;
}
