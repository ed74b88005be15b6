#pragma once
// The audio engine: sounds played on a fixed pool of OpenAL sources through
// pooled voices, with priorities, gains, fades and pitch, updated once per
// frame. Ids below 400000 name sounds, ids from 400000 voices. Every operation
// is inert, returning its neutral value, while the engine is off: the game's
// options leave it unused, -noaudio was given, or no sound device opened.
#include <cstdint>

constexpr int32_t kAudioVoiceIdBase = 400000;
constexpr int32_t kAudioDefaultSources = 128;

// Whether the engine plays: the game chose it, and a device is open.
bool Audio_IsOn();
// The game's choice of the engine (its options, cleared by -noaudio).
bool Audio_IsEnabled();

// Starts the engine on the current context (the sound hardware calls it once
// the device is open; under -noaudio it clears the game's choice).
void Audio_Init();
// Stops every voice, deletes the sources and forgets every sound.
void Audio_Quit();
// Once per frame: fades, soft stops and the gains of the voices.
void Audio_Tick();

// Plays a sound; the new voice's id, -1 when it cannot play, 0 when the sound does not exist.
int32_t Audio_PlaySimple(int32_t soundId, double priority, int32_t loop);
// A voice id soft-stops that voice; a sound id every voice of the sound.
void Audio_StopSound(int32_t id);
// Stops every voice: at once when immediate, else softly.
void Audio_StopAll(int32_t immediate);
void Audio_PauseSound(int32_t id);
void Audio_ResumeSound(int32_t id);
void Audio_PauseAll();
void Audio_ResumeAll();
bool Audio_IsPlaying(int32_t id);
bool Audio_IsPaused(int32_t id);

// Gain of a sound or voice, reached over time milliseconds (0: at once).
void Audio_SetGain(int32_t id, double gain, int32_t timeMs);
double Audio_GetGain(int32_t id);
// Pitch of a sound or voice, clamped to 0.0039..256.
void Audio_SetPitch(int32_t id, double pitch);
double Audio_GetPitch(int32_t id);
// Frames a fade of timeMs takes at the game's frame rate (at least 1).
int32_t Audio_FadeFrames(int32_t timeMs);
// The current room's speed, for games without the layer system. Rooms sit
// above the audio engine: set by Runner_InstallHooks; until then (and for
// null) 30. Returns the hook it replaces.
using AudioRoomSpeed = int32_t (*)();
AudioRoomSpeed Audio_SetRoomSpeedHook(AudioRoomSpeed roomSpeed);

// Length in seconds of a sound or a voice's sound; -1 when unknown.
double Audio_GetLength(int32_t id);
double Audio_GetTrackPos(int32_t id);
void Audio_SetTrackPos(int32_t id, double seconds);
bool Audio_SoundExists(int32_t id);
// "<undefined>" when the id names no asset sound.
const char* Audio_GetSoundName(int32_t id);
// 1 streamed from a file, 0 another existing sound, -1 none.
int32_t Audio_GetType(int32_t id);
uint32_t Audio_GetVoiceListenerMask(int32_t voiceId);
void Audio_SetVoiceListenerMask(int32_t voiceId, uint32_t mask);

// Source count from count: at least 2, rounded up to a multiple of 4, and no
// more than the device offers; the sources are made again when it changes.
void Audio_SetChannelCount(int32_t count);
// The number of sources, which is the voice limit.
int32_t Audio_GetSourceCount();

// The overlay lists the playing sources while on.
void Audio_SetDebug(bool on);

// Logs a pending OpenAL error with the label; true when there was one.
bool Audio_CheckALError(const char* label);
