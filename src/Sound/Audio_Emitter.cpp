#include "Sound/Audio_Emitter.h"

#include <AL/al.h>

#include "Base/Console.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Listener.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Voice.h"

namespace {
cARRAY_CLASS<AudioEmitter> s_emitters;

// Each voice of the emitter that is active, without a soft stop and with a source.
template <typename F>
void ForEachLiveVoice(AudioEmitter* e, F f)
{
    for (int32_t i = 0; i < e->voices.length; ++i) {
        AudioVoice* v = e->voices.items[i];
        if (v && v->active && v->stopCountdown == 0 && Audio_VoiceSource(v) != 0) f(v);
    }
}

void Set3(float to[3], float x, float y, float z)
{
    to[0] = x;
    to[1] = y;
    to[2] = z;
}

void Get3(const float* from, float out[3])
{
    for (int i = 0; i < 3; ++i) out[i] = from ? from[i] : 0.0f;
}
}  // namespace

void AudioEmitter::Reset()
{
    Set3(position, 0.0f, 0.0f, 0.0f);
    Set3(velocity, 0.0f, 0.0f, 0.0f);
    active = false;
    falloffReference = 100.0f;
    falloffMaximum = 100000.0f;
    falloffFactor = 1.0f;
    gain = 1.0f;
    pitch = 1.0f;
    listenerMask = Audio_GetListenerMask();
    for (int32_t i = 0; i < voices.length; ++i)
        if (voices.items[i]) voices.items[i]->emitter = nullptr;
    voices.SetLength(0);
}

void AudioEmitter::AddVoice(AudioVoice* voice)
{
    voice->emitter = this;
    voice->listenerMask = listenerMask;
    for (int32_t i = 0; i < voices.length; ++i) {
        if (!voices.items[i] || !voices.items[i]->active) {
            if (voices.items[i] && voices.items[i] != voice) voices.items[i]->emitter = nullptr;
            voices.items[i] = voice;
            return;
        }
    }
    if (voices.SetLength(voices.length + 1)) voices.items[voices.length - 1] = voice;
}

void AudioEmitter::RemoveVoice(AudioVoice* voice)
{
    for (int32_t i = 0; i < voices.length; ++i)
        if (voices.items[i] == voice) voices.items[i] = nullptr;
    if (voice->emitter == this) voice->emitter = nullptr;
}

int32_t Audio_CreateEmitter()
{
    if (!Audio_IsOn()) return -1;
    int32_t slot = 0;
    while (slot < s_emitters.length && s_emitters.items[slot] && s_emitters.items[slot]->active) ++slot;
    if (slot == s_emitters.length && !s_emitters.SetLength(slot + 8)) return -1;
    if (!s_emitters.items[slot]) s_emitters.items[slot] = new AudioEmitter;
    AudioEmitter* e = s_emitters.items[slot];
    e->Reset();
    e->active = true;
    return slot;
}

int32_t Audio_EmitterCount()
{
    return s_emitters.length;
}

AudioEmitter* Audio_GetEmitter(int32_t id)
{
    if (!Audio_IsOn() || id < 0 || id >= s_emitters.length) return nullptr;
    return s_emitters.items[id];
}

void Audio_FreeEmitter(int32_t id)
{
    AudioEmitter* e = Audio_GetEmitter(id);
    if (!e) return;
    ForEachLiveVoice(e, [](AudioVoice* v) { Audio_StopSound(v->voiceId); });
    e->active = false;
}

bool Audio_EmitterExists(int32_t id)
{
    const AudioEmitter* e = Audio_GetEmitter(id);
    return e && e->active;
}

void Audio_SetEmitterPosition(int32_t id, float x, float y, float z)
{
    if (AudioEmitter* e = Audio_GetEmitter(id)) Set3(e->position, x, y, z);
}

void Audio_SetEmitterVelocity(int32_t id, float x, float y, float z)
{
    if (AudioEmitter* e = Audio_GetEmitter(id)) Set3(e->velocity, x, y, z);
}

void Audio_GetEmitterPosition(int32_t id, float out[3])
{
    const AudioEmitter* e = Audio_GetEmitter(id);
    Get3(e ? e->position : nullptr, out);
}

void Audio_GetEmitterVelocity(int32_t id, float out[3])
{
    const AudioEmitter* e = Audio_GetEmitter(id);
    Get3(e ? e->velocity : nullptr, out);
}

void Audio_SetEmitterFalloff(int32_t id, float reference, float maximum, float factor)
{
    AudioEmitter* e = Audio_GetEmitter(id);
    if (!e) return;
    e->falloffReference = reference;
    e->falloffMaximum = maximum;
    e->falloffFactor = factor;
    for (int32_t i = 0; i < e->voices.length; ++i) {
        AudioVoice* v = e->voices.items[i];
        if (!v || !Audio_VoiceIsPlaying(v)) continue;
        const ALuint source = Audio_VoiceSource(v);
        alSourcef(source, AL_MAX_DISTANCE, maximum);
        alSourcef(source, AL_REFERENCE_DISTANCE, reference);
        alSourcef(source, AL_ROLLOFF_FACTOR, factor);
        if (alGetError() != AL_NO_ERROR) LogConsole->Output("Error updating emitter\n");
    }
}

void Audio_SetEmitterGain(int32_t id, float gain)
{
    AudioEmitter* e = Audio_GetEmitter(id);
    if (e && gain >= 0.0f) e->gain = gain;
}

double Audio_GetEmitterGain(int32_t id)
{
    const AudioEmitter* e = Audio_GetEmitter(id);
    return e ? e->gain : 0.0;
}

void Audio_SetEmitterPitch(int32_t id, float pitch)
{
    AudioEmitter* e = Audio_GetEmitter(id);
    if (!e || pitch < 0.0f) return;
    e->pitch = pitch;
    ForEachLiveVoice(e, [pitch](AudioVoice* v) {
        if (const AudioSound* sound = Audio_GetSound(v->soundId))
            alSourcef(Audio_VoiceSource(v), AL_PITCH, sound->pitch * pitch);
    });
}

double Audio_GetEmitterPitch(int32_t id)
{
    const AudioEmitter* e = Audio_GetEmitter(id);
    return e ? e->pitch : 1.0;
}

void Audio_SetEmitterListenerMask(int32_t id, uint32_t mask)
{
    if (AudioEmitter* e = Audio_GetEmitter(id)) e->listenerMask = mask;
}

uint32_t Audio_GetEmitterListenerMask(int32_t id)
{
    const AudioEmitter* e = Audio_GetEmitter(id);
    return e ? e->listenerMask : 1;
}

void Audio_UpdateEmitters()
{
    for (int32_t i = 0; i < s_emitters.length; ++i) {
        AudioEmitter* e = s_emitters.items[i];
        if (!e || !e->active) continue;
        for (int32_t k = 0; k < e->voices.length; ++k) {
            AudioVoice* v = e->voices.items[k];
            if (!v) continue;
            if (Audio_VoiceIsPlaying(v)) {
                const ALuint source = Audio_VoiceSource(v);
                alSource3f(source, AL_POSITION, e->position[0], e->position[1], e->position[2]);
                alSource3f(source, AL_VELOCITY, e->velocity[0], e->velocity[1], e->velocity[2]);
                if (alGetError() != AL_NO_ERROR) LogConsole->Output("Error updating emitter\n");
                continue;
            }
            v->active = false;
            v->stopCountdown = 0;
            v->stopRequested = false;
            v->emitter = nullptr;
            e->voices.items[k] = nullptr;
        }
    }
}

void Audio_FreeEmitters()
{
    s_emitters.SetLength(0);
}
