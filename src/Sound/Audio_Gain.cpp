#include <AL/al.h>

#include "Base/Timing.h"
#include "GameData/GameHeader.h"
#include "Sound/Audio_Emitter.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Voice.h"

namespace {
int32_t NoRoomSpeed() { return 30; }
AudioRoomSpeed s_roomSpeed = NoRoomSpeed;
constexpr float kMinPitch = 0.0039f;
constexpr float kMaxPitch = 256.0f;

// Frames per second for fades: the game-speed timer with the layer system,
// else the room speed (30 without a room). A rate below 1 (a frame longer
// than a second, a room speed of 0) counts as 1, never as a division by zero.
int32_t FadeRate()
{
    double fps = 30.0;
    if (LayerMode) fps = GameFrameTimer.GetFPS();
    else fps = s_roomSpeed();
    if (!(fps >= 1.0)) return 1;
    return fps > 1000000.0 ? 1000000 : static_cast<int32_t>(fps);
}

// Sets a gain at once or starts a fade towards it.
template <typename Target>
bool SetGainOn(Target* target, float gain, int32_t timeMs)
{
    if (timeMs <= 0) {
        if (target->gain == gain && target->fadeFrames == 0) return false;
        target->gain = gain;
        target->fadeFrames = 0;
        return true;
    }
    const int32_t frames = Audio_FadeFrames(timeMs);
    target->fadeStep = (gain - target->gain) / static_cast<float>(frames);
    target->fadeFrames = frames;
    return false;
}
}  // namespace

int32_t Audio_FadeFrames(int32_t timeMs)
{
    int32_t msPerFrame = 1000 / FadeRate();
    if (msPerFrame < 1) msPerFrame = 1;
    const int32_t frames = timeMs / msPerFrame;
    return frames < 1 ? 1 : frames;
}

void Audio_SetGain(int32_t id, double gain, int32_t timeMs)
{
    if (!Audio_IsOn()) return;
    const float target = !(gain >= 0.0) ? 0.0f : static_cast<float>(gain);
    if (id >= kAudioVoiceIdBase) {
        AudioVoice* voice = Audio_FindVoice(id);
        if (voice && SetGainOn(voice, target, timeMs)) Audio_ApplyVoiceGain(voice);
        return;
    }
    AudioSound* sound = Audio_GetSound(id);
    if (sound && SetGainOn(sound, target, timeMs)) Audio_ApplySoundGain(id);
}

double Audio_GetGain(int32_t id)
{
    if (!Audio_IsOn()) return 0.0;
    if (id >= kAudioVoiceIdBase) {
        const AudioVoice* voice = Audio_FindVoice(id);
        return voice ? voice->gain : 0.0;
    }
    const AudioSound* sound = Audio_GetSound(id);
    return sound ? sound->gain : 0.0;
}

void Audio_SetPitch(int32_t id, double pitch)
{
    if (!Audio_IsOn()) return;
    const float p = !(pitch >= kMinPitch) ? kMinPitch : pitch > kMaxPitch ? kMaxPitch : static_cast<float>(pitch);
    if (id >= kAudioVoiceIdBase) {
        AudioVoice* voice = Audio_FindVoice(id);
        if (!voice) return;
        voice->pitch = p;
        if (const ALuint source = Audio_VoiceSource(voice)) alSourcef(source, AL_PITCH, p);
        return;
    }
    AudioSound* sound = Audio_GetSound(id);
    if (!sound) return;
    sound->pitch = p;
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) {
        const AudioVoice* v = Audio_VoiceAt(i);
        if (v->active && v->stopCountdown == 0 && v->soundId == id)
            alSourcef(Audio_VoiceSource(v), AL_PITCH, p * (v->emitter ? v->emitter->pitch : 1.0f));
    }
}

double Audio_GetPitch(int32_t id)
{
    if (!Audio_IsOn()) return 1.0;
    if (id >= kAudioVoiceIdBase) {
        const AudioVoice* voice = Audio_FindVoice(id);
        return voice ? voice->pitch : 1.0;
    }
    const AudioSound* sound = Audio_GetSound(id);
    return sound ? sound->pitch : 1.0;
}

AudioRoomSpeed Audio_SetRoomSpeedHook(AudioRoomSpeed roomSpeed)
{
    const AudioRoomSpeed previous = s_roomSpeed;
    s_roomSpeed = roomSpeed ? roomSpeed : NoRoomSpeed;
    return previous;
}
