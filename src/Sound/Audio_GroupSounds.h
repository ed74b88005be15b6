#pragma once
// Operations on the sounds of one audio group: preparing them once the group's
// audio data is bound (Audio_WAVs with the group's index), stopping them,
// setting their gain, and letting their buffers go when the group is unloaded.
#include <cstdint>

// The number of asset sounds of the group.
int32_t Audio_GroupSoundCount(int32_t group);
// Prepares every asset sound of the group, in asset order, calling
// stepProgress (when given) after each; the number of sounds prepared. A sound
// that still holds a buffer from an earlier preparation keeps it. Nothing while
// the engine is off. The group's loader may call this from its own thread; the
// group's sounds must not play meanwhile (they play only once it is Loaded).
int32_t Audio_PrepareGroup(int32_t group, void (*stepProgress)(void* user) = nullptr, void* user = nullptr);
// Whether no voice plays a sound of the group (true while the engine is off).
// A voice of the group whose buffer sound has ended is freed here, as the voice
// allocator would free it, so that its source lets go of the sound's buffer.
bool Audio_GroupHasNoVoices(int32_t group);
// Soft-stops every active voice of a sound of the group.
void Audio_StopGroup(int32_t group);
// Audio_SetGain on every asset sound of the group, with the same time.
void Audio_SetGroupGain(int32_t group, double gain, int32_t timeMs);
// Deletes the buffers of the group's sounds and forgets their audio data
// (it lies in the group's file, which the caller then frees). False, with
// nothing released, while a voice of the group still plays.
bool Audio_ReleaseGroup(int32_t group);
