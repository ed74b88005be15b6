#include "Sound/Audio_3D.h"

#include <AL/al.h>

#include "Base/Console.h"
#include "Sound/Audio_Emitter.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Group.h"
#include "Sound/Audio_Listener.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Voice.h"

namespace {
void LogPending(const char* message)
{
    if (alGetError() != AL_NO_ERROR) LogConsole->Output("%s", message);
}

// The sound to play, or null after the message (the play then returns 0).
AudioSound* PlayableSound(int32_t soundId)
{
    AudioSound* sound = Audio_GetSound(soundId);
    if (!sound) {
        LogConsole->Output("Error: no sound exists for soundid %d\n", soundId);
        return nullptr;
    }
    if (!AudioGroup_IsLoaded(sound->group)) {
        LogConsole->Output("%s: Audio Group %d is not loaded\n", Audio_GetSoundName(soundId), sound->group);
        return nullptr;
    }
    return sound;
}

void SetUpVoice(AudioVoice* voice, int32_t soundId, int32_t loop, double priority)
{
    voice->voiceId = Audio_TakeVoiceId();
    voice->soundId = soundId;
    voice->loop = loop > 0;
    voice->priority = static_cast<float>(priority);
    voice->gain = 1.0f;
    voice->fadeFrames = 0;
    voice->listenerMask = Audio_GetListenerMask();
}
}  // namespace

void Audio_SetFalloffModel(int32_t model)
{
    static constexpr ALenum kModels[] = {
        AL_NONE,
        AL_INVERSE_DISTANCE,
        AL_INVERSE_DISTANCE_CLAMPED,
        AL_LINEAR_DISTANCE,
        AL_LINEAR_DISTANCE_CLAMPED,
        AL_EXPONENT_DISTANCE,
        AL_EXPONENT_DISTANCE_CLAMPED,
    };
    if (!Audio_IsOn()) return;
    if (model < 0 || model >= int32_t(sizeof kModels / sizeof kModels[0])) {
        LogConsole->Output("Attempting to set audio falloff to unknown model\n");
        return;
    }
    alDistanceModel(kModels[model]);
}

int32_t Audio_PlayAt(int32_t soundId, float x, float y, float z, float reference, float maximum, float factor,
                     int32_t loop, double priority)
{
    if (!Audio_IsOn()) return -1;
    AudioSound* sound = PlayableSound(soundId);
    if (!sound) return 0;
    AudioVoice* voice = Audio_AllocVoice(soundId, static_cast<float>(priority));
    if (!voice) return -1;
    SetUpVoice(voice, soundId, loop, priority);
    LogPending("Error prior to playing sample\n");
    const ALuint source = Audio_VoiceSource(voice);
    alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
    alSourcef(source, AL_GAIN, sound->gain);
    alSourcef(source, AL_PITCH, sound->pitch);
    LogPending("Error setting sample buffer\n");
    alSourcef(source, AL_MAX_DISTANCE, maximum);
    LogPending("Error playing sample\n");
    alSourcef(source, AL_REFERENCE_DISTANCE, reference);
    alSourcef(source, AL_ROLLOFF_FACTOR, factor);
    alSource3f(source, AL_POSITION, x, y, z);
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
    LogPending("Error updating sample position\n");
    Audio_StartVoice(sound, voice);
    return voice->voiceId;
}

int32_t Audio_PlayOn(int32_t emitterId, int32_t soundId, int32_t loop, double priority)
{
    if (!Audio_IsOn()) return -1;
    ALenum code = alGetError();
    if (code != AL_NO_ERROR) LogConsole->Output("Error prior to playing sample 2 %d\n", code);
    if (emitterId < 0 || emitterId >= Audio_EmitterCount()) return -1;
    AudioEmitter* emitter = Audio_GetEmitter(emitterId);
    if (!emitter || !emitter->active) {
        LogConsole->Output("Audio_PlaySound Attempting to play sound on inactive emitter %d\n", emitterId);
        return -1;
    }
    AudioSound* sound = PlayableSound(soundId);
    if (!sound) return 0;
    AudioVoice* voice = Audio_AllocVoice(soundId, static_cast<float>(priority));
    if (!voice) return -1;
    SetUpVoice(voice, soundId, loop, priority);
    emitter->AddVoice(voice);
    code = alGetError();
    if (code != AL_NO_ERROR) LogConsole->Output("Error prior to playing sample %d\n", code);
    const ALuint source = Audio_VoiceSource(voice);
    alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
    alSourcef(source, AL_MAX_DISTANCE, emitter->falloffMaximum);
    alSourcef(source, AL_GAIN, sound->gain * emitter->gain);
    alSourcef(source, AL_PITCH, emitter->pitch * sound->pitch);
    alSourcef(source, AL_REFERENCE_DISTANCE, emitter->falloffReference);
    alSourcef(source, AL_ROLLOFF_FACTOR, emitter->falloffFactor);
    alSourcefv(source, AL_POSITION, emitter->position);
    alSourcefv(source, AL_VELOCITY, emitter->velocity);
    Audio_StartVoice(sound, voice);
    code = alGetError();
    if (code != AL_NO_ERROR) LogConsole->Output("Error playing sample %d\n", code);
    return voice->voiceId;
}
