#include "Sound/Audio_Group.h"

#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "GameData/GameData.h"

namespace {
struct Group {
    char* name;     // owned copy, null for a group without a name
    int32_t state;  // AudioGroupState
};
int32_t s_count = 0;
Group* s_groups = nullptr;

const char* StateName(int32_t state)
{
    static const char* const names[] = {"Unloaded", "Loading...", "Loaded", "Unloading..."};
    return names[state];
}
}  // namespace

bool AudioGroup_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    VerboseConsole->Output("AudioGroup_Load()\n");
    uint32_t count = 0;
    if (!GameData_CheckList("AGRP", payload, length, &count)) return false;
    const uint8_t* offsets = payload + 4;
    // Every entry is checked before the table changes.
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        const char* name = nullptr;
        if (offset == 0) continue;
        if (!GameData_CheckRecord("AGRP", payload, length, offset, 4, "audio group", i)) return false;
        if (!GameData_String("AGRP", GameData_U32(GameData + offset), &name)) return false;
    }
    AudioGroup_Free();
    if (count == 0) return true;
    s_groups = static_cast<Group*>(QS_ALLOC(sizeof(Group) * count, true));  // zero: no name, Unloaded
    if (!s_groups) return GameData_Fail("AGRP", "no memory for %u audio groups", count);
    s_count = static_cast<int32_t>(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        const char* name = nullptr;
        if (offset != 0) GameData_String("AGRP", GameData_U32(GameData + offset), &name);
        if (!name) continue;
        const size_t n = std::strlen(name) + 1;
        s_groups[i].name = static_cast<char*>(QS_ALLOC(n, false));
        if (s_groups[i].name) std::memcpy(s_groups[i].name, name, n);
    }
    return true;
}

int32_t AudioGroup_Count()
{
    return s_count;
}

const char* AudioGroup_Name(int32_t group)
{
    return group >= 0 && group < s_count ? s_groups[group].name : nullptr;
}

int32_t AudioGroup_State(int32_t group)
{
    return group >= 0 && group < s_count ? s_groups[group].state : kAudioGroupUnloaded;
}

void AudioGroup_SetState(int32_t group, int32_t state)
{
    if (group < 0 || group >= s_count || state < kAudioGroupUnloaded || state > kAudioGroupUnloading) return;
    if (s_groups[group].state == state) return;
    LogConsole->Output("Audio group %d -> %s\n", group, StateName(state));
    s_groups[group].state = state;
}

bool AudioGroup_IsLoaded(int32_t group)
{
    return group == 0 || AudioGroup_State(group) == kAudioGroupLoaded;
}

void AudioGroup_Free()
{
    for (int32_t i = 0; i < s_count; ++i) QS_FREE(s_groups[i].name);
    QS_FREE(s_groups);
    s_groups = nullptr;
    s_count = 0;
}
