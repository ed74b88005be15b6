#pragma once
// The game's audio groups as the group chunk names them, with the state of
// each. Group 0 lives in the game data and is always loaded; the others come
// from group files. Reading those files (and the loader that moves a group
// through its states) is not built yet: until it is, only a caller that binds
// and prepares a group itself (Audio_GroupSounds.h) sets it Loaded.
#include <cstdint>

enum AudioGroupState : int32_t {
    kAudioGroupUnloaded = 0,
    kAudioGroupLoading = 1,
    kAudioGroupLoaded = 2,
    kAudioGroupUnloading = 3,
};

// The "AGRP" reader: every entry offset and name checked; false with a message otherwise.
bool AudioGroup_Load(const uint8_t* payload, uint32_t length, const uint8_t* base);
int32_t AudioGroup_Count();
// The group's name, null when it has none or the index is out of range.
const char* AudioGroup_Name(int32_t group);
// The group's state; Unloaded for an index out of range.
int32_t AudioGroup_State(int32_t group);
// Stores a state, logging "Audio group N -> <state>" when it changes;
// nothing for an index out of range or a value that is no state.
void AudioGroup_SetState(int32_t group, int32_t state);
// Whether the group's sounds may play: group 0 always (even with no groups),
// another group of the table when its state is Loaded.
bool AudioGroup_IsLoaded(int32_t group);
void AudioGroup_Free();
