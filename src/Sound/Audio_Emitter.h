#pragma once
// Emitters: movable sound sources with their own falloff, gain, pitch and
// listener mask, on which voices play. An emitter's id is its slot; a freed
// emitter stays in its slot, inactive, until a creation takes it again.
// Position and velocity reach the voices at the next frame, pitch and falloff
// at once, gain through the per-frame gain of the voices.
#include <cstdint>

#include "Base/Array.h"

struct AudioVoice;

struct AudioEmitter {
    float position[3] = {0.0f, 0.0f, 0.0f};
    float velocity[3] = {0.0f, 0.0f, 0.0f};
    bool active = false;
    float falloffReference = 100.0f;
    float falloffMaximum = 100000.0f;
    float falloffFactor = 1.0f;
    float gain = 1.0f;
    float pitch = 1.0f;
    uint32_t listenerMask = 1;
    // Not owned; empty slots are null and are reused.
    cARRAY_CLASS_NO_DELETE<AudioVoice> voices;

    // The defaults, inactive, no voices; the mask is the global listener mask.
    void Reset();
    // Links the voice to the emitter (taking its listener mask) and lists it
    // in the first empty or inactive slot, else at a new last slot.
    void AddVoice(AudioVoice* voice);
    // Empties the voice's slot and clears its link; nothing for a voice not listed.
    void RemoveVoice(AudioVoice* voice);
};

// The new emitter's id (the first free slot, else the table grows by 8); -1 with the engine off.
int32_t Audio_CreateEmitter();
// Soft-stops the emitter's voices and makes it inactive.
void Audio_FreeEmitter(int32_t id);
bool Audio_EmitterExists(int32_t id);
// Slots of the emitter table.
int32_t Audio_EmitterCount();
// The emitter in a slot, active or not; null for an id out of range, an
// empty slot or with the engine off.
AudioEmitter* Audio_GetEmitter(int32_t id);
void Audio_SetEmitterPosition(int32_t id, float x, float y, float z);
void Audio_SetEmitterVelocity(int32_t id, float x, float y, float z);
// Zeros for an invalid id.
void Audio_GetEmitterPosition(int32_t id, float out[3]);
void Audio_GetEmitterVelocity(int32_t id, float out[3]);
void Audio_SetEmitterFalloff(int32_t id, float reference, float maximum, float factor);
// Negative gains and pitches are ignored.
void Audio_SetEmitterGain(int32_t id, float gain);
double Audio_GetEmitterGain(int32_t id);  // 0 when invalid
void Audio_SetEmitterPitch(int32_t id, float pitch);
double Audio_GetEmitterPitch(int32_t id);  // 1 when invalid
void Audio_SetEmitterListenerMask(int32_t id, uint32_t mask);
uint32_t Audio_GetEmitterListenerMask(int32_t id);  // 1 when invalid
// Once per frame: each active emitter moves its live voices and drops the others.
void Audio_UpdateEmitters();
// Deletes every emitter (engine shutdown, after the voices).
void Audio_FreeEmitters();
