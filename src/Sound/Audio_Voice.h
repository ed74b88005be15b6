#pragma once
// The voice pool: voice i plays on source i; voices are made up to the voice
// limit and then reused, the lowest priority being taken first.
#include <cstdint>

struct AudioEmitter;
struct AudioSound;

struct AudioVoice {
    bool loop = false;
    bool active = false;          // playing or paused
    int32_t stopCountdown = 0;    // 1..3 while a soft stop runs
    bool oggPlayed = false;       // fed by an Ogg channel
    bool stopRequested = false;   // stopped at once; an Ogg-played voice waits for its channel
    int32_t sourceIndex = -1;
    int32_t voiceId = 0;
    int32_t soundId = 0;
    float priority = 1.0f;
    float pitch = 1.0f;
    float gain = 1.0f;            // the voice's own gain, 0..1
    float fadeStep = 0.0f;
    int32_t fadeFrames = 0;
    uint32_t listenerMask = 1;
    AudioEmitter* emitter = nullptr;  // the emitter it plays on
};

// Makes count sources (fewer when the device offers fewer); the voice limit
// becomes the number made.
void Audio_CreateSources(int32_t count);
// Stops every voice, deletes the voices and the sources.
void Audio_DeleteSources();
int32_t Audio_VoiceCount();
AudioVoice* Audio_VoiceAt(int32_t index);
// The OpenAL name of a voice's source, 0 when it has none.
uint32_t Audio_VoiceSource(const AudioVoice* voice);
// The OpenAL name of source index of the pool, 0 when there is none.
uint32_t Audio_SourceAt(int32_t index);

// The active voice of that id without a soft stop running, or null.
AudioVoice* Audio_FindVoice(int32_t voiceId);
// The first voice of the sound without a soft stop, active or not (a play
// queue keeps its voice); null when none.
AudioVoice* Audio_FindVoiceBySound(int32_t soundId);
// A voice for the sound: a free one, a new one, or one stolen from a lower priority; null when none.
AudioVoice* Audio_AllocVoice(int32_t soundId, float priority);
// Starts the voice's source on the sound; whether it started.
bool Audio_StartVoice(AudioSound* sound, AudioVoice* voice);
void Audio_StopVoice(AudioVoice* voice, bool immediate);
void Audio_FreeVoice(AudioVoice* voice);
void Audio_PauseVoice(AudioVoice* voice);
void Audio_ResumeVoice(AudioVoice* voice);
bool Audio_VoiceIsPlaying(const AudioVoice* voice);
bool Audio_VoiceIsPaused(const AudioVoice* voice);
// A voice that is not positioned: its source sits on the listener (relative,
// at the origin, not moving, maximum distance 100000) with that gain and pitch.
void Audio_PlaceAtListener(AudioVoice* voice, float gain, float pitch);
// Voice gain x sound gain x the emitter's gain (for a voice on an emitter).
float Audio_EffectiveGain(const AudioVoice* voice);
// Pushes the effective gain to the source of an active voice without a soft stop.
void Audio_ApplyVoiceGain(AudioVoice* voice);
void Audio_ApplySoundGain(int32_t soundId);
// A streamed sound's file is looked for in the bundle until it is found.
void Audio_ResolveStreamPath(AudioSound* sound);
// The next voice id (ids are never handed out twice in a process).
int32_t Audio_TakeVoiceId();
