#include "Sound/Audio_Voice.h"

#include <AL/al.h>

#include <cstring>

#include "Base/Array.h"
#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Host/Host_Audio.h"
#include "IO/LoadSave.h"
#include "Sound/Audio_BufferSound.h"
#include "Sound/Audio_Emitter.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Ogg.h"
#include "Sound/Audio_Sound.h"

namespace {
cARRAY_CLASS<AudioVoice> s_voices;  // in creation order; voice i owns source i
ALuint* s_sources = nullptr;
int32_t s_sourceCount = 0;
int32_t s_nextVoiceId = kAudioVoiceIdBase + 1;

ALint SourceState(const AudioVoice* voice)
{
    ALint state = AL_INITIAL;
    const ALuint source = Audio_VoiceSource(voice);
    if (source != 0) alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

bool IsOggPlayedSound(int32_t soundId)
{
    const AudioSound* sound = Audio_GetSound(soundId);
    return sound && sound->IsOggPlayed();
}

// A voice of a play queue keeps its source while buffers wait on it.
bool HoldsQueuedBuffers(const AudioVoice* voice)
{
    if (!Audio_IsQueueId(voice->soundId)) return false;
    ALint queued = 0;
    if (const ALuint source = Audio_VoiceSource(voice)) alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
    return queued > 0;
}
}  // namespace

void Audio_ResolveStreamPath(AudioSound* sound)
{
    if (!sound->streamed || sound->resolvedPath || !sound->fileName) return;
    char path[1024];
    LoadSave_MakeBundlePath(path, sizeof path, sound->fileName);
    if (path[0] == '\0' || !LoadSave_BundleFileExists(sound->fileName)) return;
    sound->resolvedPath = Audio_CopyText(path);
}

void Audio_CreateSources(int32_t count)
{
    // Never more sources than the device offers: the Ogg channels split them
    // in fours, so a smaller device gives a multiple of 4 where it can.
    const int32_t offered = HAudio_MaxSources();
    if (count > offered) {
        const int32_t fitted = offered >= 4 ? offered - offered % 4 : offered;
        LogConsole->Output("Audio: the device offers %d sources; using %d of the %d asked for\n", offered, fitted,
                           count);
        count = fitted;
    }
    if (count < 0) count = 0;
    s_sources = static_cast<ALuint*>(QS_ALLOC(sizeof(ALuint) * static_cast<size_t>(count > 0 ? count : 1), true));
    s_sourceCount = 0;
    alGetError();
    // One at a time, so that a device that runs out still leaves the ones made.
    for (int32_t i = 0; s_sources && i < count; ++i) {
        alGenSources(1, &s_sources[i]);
        if (alGetError() != AL_NO_ERROR) {
            LogConsole->Output("Error creating audio sources %d\n", count);
            break;
        }
        ++s_sourceCount;
    }
    OggAudio_Init(4, s_sourceCount);
    Audio_CheckALError("Audio_CreateSources");
}

void Audio_DeleteSources()
{
    for (int32_t i = 0; i < s_voices.length; ++i) Audio_StopVoice(s_voices.items[i], true);
    OggAudio_Quit();
    for (int32_t i = 0; i < s_sourceCount; ++i) alSourcei(s_sources[i], AL_BUFFER, 0);
    if (s_sourceCount > 0) alDeleteSources(s_sourceCount, s_sources);
    QS_FREE(s_sources);
    s_sources = nullptr;
    s_sourceCount = 0;
    s_voices.SetLength(0);
}

int32_t Audio_GetSourceCount()
{
    return s_sourceCount;
}

int32_t Audio_VoiceCount()
{
    return s_voices.length;
}

AudioVoice* Audio_VoiceAt(int32_t index)
{
    return index >= 0 && index < s_voices.length ? s_voices.items[index] : nullptr;
}

uint32_t Audio_VoiceSource(const AudioVoice* voice)
{
    if (!voice || voice->sourceIndex < 0 || voice->sourceIndex >= s_sourceCount) return 0;
    return s_sources[voice->sourceIndex];
}

uint32_t Audio_SourceAt(int32_t index)
{
    return index >= 0 && index < s_sourceCount ? s_sources[index] : 0;
}

int32_t Audio_TakeVoiceId()
{
    return s_nextVoiceId++;
}

AudioVoice* Audio_FindVoice(int32_t voiceId)
{
    for (int32_t i = 0; i < s_voices.length; ++i) {
        AudioVoice* v = s_voices.items[i];
        if (v->active && v->stopCountdown == 0 && v->voiceId == voiceId) return v;
    }
    return nullptr;
}

AudioVoice* Audio_FindVoiceBySound(int32_t soundId)
{
    for (int32_t i = 0; i < s_voices.length; ++i) {
        AudioVoice* v = s_voices.items[i];
        if (v->stopCountdown == 0 && v->soundId == soundId) return v;
    }
    return nullptr;
}

AudioVoice* Audio_AllocVoice(int32_t soundId, float priority)
{
    if (!Audio_IsOn()) return nullptr;
    const bool streamedRequest = IsOggPlayedSound(soundId);
    if (Audio_IsQueueId(soundId) && Audio_GetSound(soundId))
        if (AudioVoice* v = Audio_FindVoiceBySound(soundId)) return v;
    for (int32_t i = 0; i < s_voices.length; ++i) {
        AudioVoice* v = s_voices.items[i];
        if (HoldsQueuedBuffers(v)) continue;
        if (!v->active) return v;
        if (!v->oggPlayed) {
            const ALint state = SourceState(v);
            if (state == AL_STOPPED || state == AL_INITIAL) {
                Audio_FreeVoice(v);
                return v;
            }
        } else if (v->stopRequested && streamedRequest && v->stopCountdown == 0) {
            if (v->emitter) v->emitter->RemoveVoice(v);
            return v;
        }
    }
    if (s_voices.length < s_sourceCount) {
        AudioVoice* v = new AudioVoice;
        v->sourceIndex = s_voices.length;
        const int32_t at = s_voices.length;
        if (!s_voices.SetLength(at + 1)) {
            delete v;
            return nullptr;
        }
        s_voices.items[at] = v;
        return v;
    }
    // Steal the lowest priority below the request; the earliest wins a tie.
    AudioVoice* chosen = nullptr;
    for (int32_t i = 0; i < s_voices.length; ++i) {
        AudioVoice* v = s_voices.items[i];
        if (v->oggPlayed && !streamedRequest) continue;
        if (v->priority < priority && (!chosen || v->priority < chosen->priority)) chosen = v;
    }
    if (chosen) Audio_StopVoice(chosen, true);
    return chosen;
}

bool Audio_StartVoice(AudioSound* sound, AudioVoice* voice)
{
    bool started = false;
    if (Audio_IsQueueId(voice->soundId)) {
        alSourcePlay(Audio_VoiceSource(voice));
        started = true;
    } else if (sound->IsOggPlayed()) {
        Audio_ResolveStreamPath(sound);
        started = OggAudio_PlaySound(voice->sourceIndex, sound, voice->loop, sound->startPosition) != -1;
    } else if (sound->alBuffer > 0) {
        const ALuint source = Audio_VoiceSource(voice);
        alSourcei(source, AL_BUFFER, sound->alBuffer);
        if (alGetError() != AL_NO_ERROR) LogConsole->Output("Error setting sample buffer\n");
        alSourcei(source, AL_LOOPING, voice->loop ? AL_TRUE : AL_FALSE);
        if (sound->startPosition > 0.0f) {
            alSourcef(source, AL_SEC_OFFSET, sound->startPosition);
            Audio_CheckALError("set track position offset failed");
        }
        alSourcePlay(source);
        started = true;
    }
    if (started) {
        voice->stopRequested = false;
        voice->oggPlayed = sound->IsOggPlayed();
        voice->active = true;
    }
    return started;
}

void Audio_StopVoice(AudioVoice* voice, bool immediate)
{
    if (!Audio_IsOn() || !voice || (!voice->active && !Audio_IsQueueId(voice->soundId))) return;
    if (!immediate) {
        if (voice->stopCountdown != 0) return;
        voice->stopCountdown = 1;
        voice->gain = 0.0f;
        voice->priority = -1000000000.0f;  // taken first by the next steal
        alSourcef(Audio_VoiceSource(voice), AL_GAIN, 0.0f);
        return;
    }
    voice->stopRequested = true;
    if (voice->oggPlayed) {
        OggAudio_Stop(voice->sourceIndex);
        return;
    }
    alSourceStop(Audio_VoiceSource(voice));
    const ALenum code = alGetError();
    if (code != AL_NO_ERROR) LogConsole->Output("Error stopping sound %d error code %d\n", voice->soundId, code);
    Audio_FreeVoice(voice);
}

void Audio_FreeVoice(AudioVoice* voice)
{
    voice->active = false;
    voice->stopCountdown = 0;
    voice->stopRequested = false;
    if (voice->emitter) voice->emitter->RemoveVoice(voice);
    Audio_ReclaimQueueBuffers(voice, voice->soundId, true);
    const ALuint source = Audio_VoiceSource(voice);
    if (source != 0) alSourcei(source, AL_BUFFER, 0);
}

void Audio_PauseVoice(AudioVoice* voice)
{
    if (!voice->active) return;
    if (voice->oggPlayed) {
        OggAudio_Pause(voice->sourceIndex);
        return;
    }
    if (SourceState(voice) != AL_PLAYING) return;
    alSourcePause(Audio_VoiceSource(voice));
    const ALenum code = alGetError();
    if (code != AL_NO_ERROR) LogConsole->Output("Error pausing sound %d error code %d\n", voice->soundId, code);
}

void Audio_ResumeVoice(AudioVoice* voice)
{
    if (!voice->active) return;
    if (voice->oggPlayed) {
        OggAudio_Resume(voice->sourceIndex);
        return;
    }
    if (SourceState(voice) != AL_PAUSED) return;
    alSourcePlay(Audio_VoiceSource(voice));
    const ALenum code = alGetError();
    if (code != AL_NO_ERROR) LogConsole->Output("Error resuming sound %d error code %d\n", voice->soundId, code);
}

bool Audio_VoiceIsPlaying(const AudioVoice* voice)
{
    if (!voice->active) return false;
    if (voice->oggPlayed) return true;
    const ALint state = SourceState(voice);
    return state == AL_PLAYING || state == AL_PAUSED;
}

bool Audio_VoiceIsPaused(const AudioVoice* voice)
{
    return voice->active && SourceState(voice) == AL_PAUSED;
}

void Audio_ApplyVoiceGain(AudioVoice* voice)
{
    if (!voice->active || voice->stopCountdown != 0) return;
    const ALuint source = Audio_VoiceSource(voice);
    if (source != 0) alSourcef(source, AL_GAIN, Audio_EffectiveGain(voice));
}

void Audio_PlaceAtListener(AudioVoice* voice, float gain, float pitch)
{
    const ALuint source = Audio_VoiceSource(voice);
    alSourcef(source, AL_MAX_DISTANCE, 100000.0f);
    alSourcef(source, AL_GAIN, gain);
    alSourcef(source, AL_PITCH, pitch);
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
}

float Audio_EffectiveGain(const AudioVoice* voice)
{
    const AudioSound* sound = Audio_GetSound(voice->soundId);
    return voice->gain * (sound ? sound->gain : 1.0f) * (voice->emitter ? voice->emitter->gain : 1.0f);
}

void Audio_ApplySoundGain(int32_t soundId)
{
    for (int32_t i = 0; i < s_voices.length; ++i)
        if (s_voices.items[i]->soundId == soundId) Audio_ApplyVoiceGain(s_voices.items[i]);
}
