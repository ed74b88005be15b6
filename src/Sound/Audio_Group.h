#pragma once
// The game's audio groups as the group chunk names them. Group 0 lives in the
// game data; the others come from group files, which are not loaded yet.
#include <cstdint>

// The "AGRP" reader: every entry offset and name checked; false with a message otherwise.
bool AudioGroup_Load(const uint8_t* payload, uint32_t length, const uint8_t* base);
int32_t AudioGroup_Count();
// The group's name, null when it has none or the index is out of range.
const char* AudioGroup_Name(int32_t group);
// Whether the group's sounds have their audio data: group 0 always does.
bool AudioGroup_IsLoaded(int32_t group);
void AudioGroup_Free();
