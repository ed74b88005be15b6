#include "Sound/Audio_Group.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Base/Thread.h"
#include "DataStructure/DS_Native.h"
#include "GameData/GameData.h"
#include "IO/LoadSave.h"
#include "Network/Async_Requests.h"
#include "Sound/Audio_Chunks.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_GroupSounds.h"

namespace {
// Allocated zero-filled: no name, Unloaded, no file, no loader.
struct Group {
    char* name;          // owned copy, null for a group without a name
    int32_t state;       // AudioGroupState; written by the main thread only
    int32_t index;
    int32_t soundCount;  // of the running or last load
    int32_t prepared;    // written by the loader thread only
    int32_t progress;    // percent; the loader writes it, the main thread reads it (atomically)
    uint8_t* image;      // the group file while Loading, Loaded or Unloading; owned
    Thread* loader;      // made by the first load and kept; owned
};
int32_t s_count = 0;
Group* s_groups = nullptr;
std::atomic<AudioGroupLoaderStep> s_loaderStep{nullptr};

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
    s_groups = static_cast<Group*>(QS_ALLOC(sizeof(Group) * count, true));
    if (!s_groups) return GameData_Fail("AGRP", "no memory for %u audio groups", count);
    s_count = static_cast<int32_t>(count);
    for (uint32_t i = 0; i < count; ++i) {
        s_groups[i].index = static_cast<int32_t>(i);
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

const char* AudioGroupTable_GetName(int32_t group)
{
    const char* name = AudioGroup_Name(group);
    return name ? name : "<undefined>";
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
    // A loader still preparing sounds ends before anything it uses goes.
    for (int32_t i = 0; i < s_count; ++i)
        if (s_groups[i].loader) s_groups[i].loader->Join();
    for (int32_t i = 0; i < s_count; ++i) {
        delete s_groups[i].loader;
        QS_FREE(s_groups[i].image);
        QS_FREE(s_groups[i].name);
    }
    QS_FREE(s_groups);
    s_groups = nullptr;
    s_count = 0;
}

namespace {
constexpr uint32_t kFileHeader = 16;  // container header, chunk tag, chunk length

int32_t Progress(Group& g)
{
    return std::atomic_ref<int32_t>(g.progress).load();
}

void StepProgress(void* user)
{
    Group& g = *static_cast<Group*>(user);
    if (AudioGroupLoaderStep step = s_loaderStep.load()) step(g.index);
    ++g.prepared;
    std::atomic_ref<int32_t>(g.progress).store(g.soundCount > 0 ? g.prepared * 100 / g.soundCount : 100);
}

int LoaderThread(Thread* thread)
{
    Group& g = *static_cast<Group*>(thread->UserData());
    Audio_PrepareGroup(g.index, StepProgress, &g);
    return 0;
}

// The group's sounds let go of the file, which is freed; false, with nothing
// released, while a voice of the group still plays.
bool DropFile(Group& g)
{
    if (!Audio_ReleaseGroup(g.index)) return false;
    QS_FREE(g.image);
    g.image = nullptr;
    return true;
}

void PostLoaded(int32_t group)
{
    const char* const noText = nullptr;
    const int32_t map = DsMap_CreateFromTriples(2, "type", 0.0, "audiogroup_load", "group_id", double(group), noText);
    if (map >= 0) PostAsyncEvent(map, kAudioGroupLoadEvent);
}
}  // namespace

bool AudioGroupTable_Load(int32_t group)
{
    if (group <= 0 || group >= s_count || !Audio_IsOn()) return false;
    Group& g = s_groups[group];
    if (g.state != kAudioGroupUnloaded) return false;
    g.soundCount = Audio_GroupSoundCount(group);
    if (g.soundCount == 0) return false;
    char name[128];
    std::snprintf(name, sizeof name, "audiogroup%d.dat", group);
    uint32_t size = 0;
    uint8_t* image = LoadSave_ReadBundleFile(name, &size);
    if (!image) {
        LogConsole->Output("Failed to load %s\n", name);
        return false;
    }
    if (!AudioGroup_BindFile(group, image, size)) {
        LogConsole->Output("Format error loading %s\n", name);
        QS_FREE(image);
        return false;
    }
    g.image = image;
    g.prepared = 0;
    std::atomic_ref<int32_t>(g.progress).store(0);
    if (!g.loader) g.loader = new (std::nothrow) Thread;
    // A loader that does not start must not pass for a load that finished.
    if (!g.loader || !g.loader->Start(LoaderThread, &g)) {
        LogConsole->Output("Audio group %d: the loader thread did not start\n", group);
        DropFile(g);  // no voice plays an Unloaded group
        return false;
    }
    AudioGroup_SetState(group, kAudioGroupLoading);
    return true;
}

bool AudioGroupTable_Unload(int32_t group)
{
    if (group <= 0 || group >= s_count || s_groups[group].state != kAudioGroupLoaded) return false;
    AudioGroup_SetState(group, kAudioGroupUnloading);
    Audio_StopGroup(group);
    return true;
}

double AudioGroupTable_GetProgress(int32_t group)
{
    if (group == 0) return 100.0;
    if (group < 0 || group >= s_count) return 0.0;
    Group& g = s_groups[group];
    if (g.state == kAudioGroupLoaded) return 100.0;
    return g.state == kAudioGroupLoading ? Progress(g) : 0.0;
}

void AudioGroupTable_Update()
{
    for (int32_t i = 1; i < s_count; ++i) {
        Group& g = s_groups[i];
        if (g.state == kAudioGroupUnloading) {
            if (DropFile(g)) AudioGroup_SetState(i, kAudioGroupUnloaded);
        } else if (g.state == kAudioGroupLoading && !g.loader->Running()) {
            g.loader->Join();  // ended: the record can start the next load
            AudioGroup_SetState(i, kAudioGroupLoaded);
            PostLoaded(i);
        }
    }
}

AudioGroupLoaderStep AudioGroup_SetLoaderStep(AudioGroupLoaderStep step)
{
    return s_loaderStep.exchange(step);
}

bool AudioGroup_BindFile(int32_t group, const uint8_t* image, uint32_t size)
{
    if (size < kFileHeader || std::memcmp(image + 8, "AUDO", 4) != 0) return false;
    const uint32_t length = GameData_U32(image + 12);
    if (length == 0 || length > size - kFileHeader) return false;
    return Audio_WAVs(image + kFileHeader, length, image, group);
}
