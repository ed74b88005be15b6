#include "Sound/Audio_Engine.h"

#include <AL/al.h>

#include "Base/Console.h"
#include "GameData/GameOptions.h"
#include "Host/Host_Audio.h"
#include "Options/Runner_Options.h"
#include "Sound/Audio_BufferSound.h"
#include "Sound/Audio_Emitter.h"
#include "Sound/Audio_Group.h"
#include "Sound/Audio_Listener.h"
#include "Sound/Audio_Recorder.h"
#include "Sound/Audio_Ogg.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Voice.h"

namespace {
constexpr uint32_t kPlayingSourcesPanel = 16;

bool IsVoiceId(int32_t id)
{
    return id >= kAudioVoiceIdBase;
}

// Applies f to the voice of a voice id, or to every active voice of a sound id.
template <typename F>
void ForEachVoiceOf(int32_t id, F f)
{
    if (IsVoiceId(id)) {
        if (AudioVoice* v = Audio_FindVoice(id)) f(v);
        return;
    }
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) {
        AudioVoice* v = Audio_VoiceAt(i);
        if (v->active && v->soundId == id) f(v);
    }
}

template <typename F>
bool AnyVoiceOf(int32_t id, F test)
{
    bool found = false;
    ForEachVoiceOf(id, [&](AudioVoice* v) { found = found || test(v); });
    return found;
}

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

void TickVoice(AudioVoice* v)
{
    if (v->stopCountdown != 0) {
        // A soft stop mutes at once and stops for good two frames later.
        ++v->stopCountdown;
        if (v->stopCountdown > 3) v->stopCountdown = 0;
        else if (v->stopCountdown == 3) Audio_StopVoice(v, true);
        return;
    }
    if (v->fadeFrames > 0) {
        v->gain = Clamp01(v->gain + v->fadeStep);
        --v->fadeFrames;
    }
    const ALuint source = Audio_VoiceSource(v);
    if (source != 0) alSourcef(source, AL_GAIN, Audio_EffectiveGain(v));
}
}  // namespace

bool Audio_IsEnabled()
{
    return GameOptions.newAudioEngine && !NoAudio;
}

bool Audio_IsOn()
{
    return Audio_IsEnabled() && HAudio_IsOpen();
}

bool Audio_CheckALError(const char* label)
{
    const ALenum code = alGetError();
    if (code == AL_NO_ERROR) return false;
    if (label) LogConsole->Output("OpenAL error: %d (%s)\n", code, label);
    else LogConsole->Output("OpenAL error: %d\n", code);
    return true;
}

void Audio_Init()
{
    if (NoAudio) {
        GameOptions.newAudioEngine = false;
        return;
    }
    if (!Audio_IsOn()) return;
    Audio_ResetListener();
    Audio_CreateSources(kAudioDefaultSources);
    alDistanceModel(AL_INVERSE_DISTANCE);
    Audio_UpdateListener();  // the listener record is the one orientation OpenAL hears with
    Audio_CheckALError("Audio_Init");
}

void Audio_Quit()
{
    // The sounds are forgotten even when the engine never played, so that
    // the next game read starts from an empty table.
    if (Audio_IsOn()) {
        Audio_DeleteSources();
        Audio_FreeBufferSounds();
    }
    Audio_FreeEmitters();
    Audio_FreeRecorders();
    AudioGroup_Free();
    Audio_FreeAssets();
}

void Audio_Tick()
{
    if (!Audio_IsOn()) return;
    AudioGroupTable_Update();
    Audio_UpdateListener();
    Audio_CheckALError("Audio_Tick Start");
    OggAudio_Update();
    Audio_ForEachSound([](AudioSound* sound) {
        if (sound->fadeFrames <= 0) return;
        sound->gain = Clamp01(sound->gain + sound->fadeStep);
        --sound->fadeFrames;
    });
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) {
        AudioVoice* v = Audio_VoiceAt(i);
        if (v->active) TickVoice(v);
    }
    Audio_UpdateEmitters();
    Audio_CollectRecordings();
    Audio_ReclaimAllQueues();
    Audio_CheckALError("Audio_Tick End");
}

int32_t Audio_PlaySimple(int32_t soundId, double priority, int32_t loop)
{
    if (!Audio_IsOn()) return -1;
    AudioSound* sound = Audio_GetSound(soundId);
    if (!sound) {
        LogConsole->Output("Error: no sound exists for soundid %d\n", soundId);
        return 0;
    }
    if (!AudioGroup_IsLoaded(sound->group)) {
        LogConsole->Output("%s: Audio Group %d is not loaded\n", Audio_GetSoundName(soundId), sound->group);
        return -1;
    }
    AudioVoice* voice = Audio_AllocVoice(soundId, static_cast<float>(priority));
    if (!voice) return -1;
    if (Audio_IsQueueId(soundId)) {
        ALint state = AL_INITIAL;
        alGetSourcei(Audio_VoiceSource(voice), AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING) return -1;  // the queue plays already
    }
    const ALenum pending = alGetError();
    if (pending != AL_NO_ERROR) LogConsole->Output("Error before playing sample %d\n", pending);
    voice->voiceId = Audio_TakeVoiceId();
    voice->soundId = soundId;
    voice->gain = 1.0f;
    voice->fadeFrames = 0;
    voice->listenerMask = Audio_GetListenerMask();
    voice->loop = loop > 0;
    voice->priority = static_cast<float>(priority);
    Audio_PlaceAtListener(voice, sound->gain, sound->pitch);
    Audio_StartVoice(sound, voice);
    const ALenum code = alGetError();
    if (code != AL_NO_ERROR) LogConsole->Output("Error playing simple sound %d\n", code);
    return voice->voiceId;
}

void Audio_StopSound(int32_t id)
{
    if (!Audio_IsOn()) return;
    if (IsVoiceId(id)) {
        Audio_StopVoice(Audio_FindVoice(id), false);
        return;
    }
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) {
        AudioVoice* v = Audio_VoiceAt(i);
        if (v->soundId == id && !v->stopRequested) Audio_StopVoice(v, false);
    }
}

void Audio_StopAll(int32_t immediate)
{
    if (!Audio_IsOn()) return;
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) Audio_StopVoice(Audio_VoiceAt(i), immediate != 0);
}

void Audio_PauseSound(int32_t id)
{
    if (Audio_IsOn()) ForEachVoiceOf(id, Audio_PauseVoice);
}

void Audio_ResumeSound(int32_t id)
{
    if (Audio_IsOn()) ForEachVoiceOf(id, Audio_ResumeVoice);
}

void Audio_PauseAll()
{
    if (!Audio_IsOn()) return;
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) Audio_PauseVoice(Audio_VoiceAt(i));
}

void Audio_ResumeAll()
{
    if (!Audio_IsOn()) return;
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) Audio_ResumeVoice(Audio_VoiceAt(i));
}

bool Audio_IsPlaying(int32_t id)
{
    return Audio_IsOn() && AnyVoiceOf(id, Audio_VoiceIsPlaying);
}

bool Audio_IsPaused(int32_t id)
{
    return Audio_IsOn() && AnyVoiceOf(id, Audio_VoiceIsPaused);
}

void Audio_SetDebug(bool on)
{
    DebugFlags = on ? kPlayingSourcesPanel : 0;
}

void Audio_SetChannelCount(int32_t count)
{
    if (!Audio_IsOn()) return;
    const int32_t offered = HAudio_MaxSources();
    if (count < 2) count = 2;
    if (count > offered) count = offered;
    count = (count + 3) / 4 * 4;
    if (count > offered) count = offered >= 4 ? offered - offered % 4 : offered;
    if (count == Audio_GetSourceCount()) return;
    LogConsole->Output("Audio setting channel count to %d\n", count);
    Audio_DeleteSources();
    Audio_CreateSources(count);
}
