#include "Sound/Audio_Group.h"

#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "GameData/GameData.h"

namespace {
int32_t s_count = 0;
char** s_names = nullptr;  // owned copies, null for a group without a name
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
    s_names = static_cast<char**>(QS_ALLOC(sizeof(char*) * count, true));
    if (!s_names) return GameData_Fail("AGRP", "no memory for %u audio groups", count);
    s_count = static_cast<int32_t>(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        const char* name = nullptr;
        if (offset != 0) GameData_String("AGRP", GameData_U32(GameData + offset), &name);
        if (!name) continue;
        const size_t n = std::strlen(name) + 1;
        s_names[i] = static_cast<char*>(QS_ALLOC(n, false));
        if (s_names[i]) std::memcpy(s_names[i], name, n);
    }
    return true;
}

int32_t AudioGroup_Count()
{
    return s_count;
}

const char* AudioGroup_Name(int32_t group)
{
    return group >= 0 && group < s_count ? s_names[group] : nullptr;
}

bool AudioGroup_IsLoaded(int32_t group)
{
    return group == 0;
}

void AudioGroup_Free()
{
    for (int32_t i = 0; i < s_count; ++i) QS_FREE(s_names[i]);
    QS_FREE(s_names);
    s_names = nullptr;
    s_count = 0;
}
