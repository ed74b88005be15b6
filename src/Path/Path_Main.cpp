#include "Path/Path_Main.h"

#include <cstdio>
#include <cstring>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "Path/Path_Class.h"
#include "GameData/GameData.h"

namespace {
int32_t s_count = 0;
CGamePath** s_paths = nullptr;
char** s_names = nullptr;

bool InRange(int32_t index)
{
    return index >= 0 && index < s_count;
}

// Appends an empty slot named "__newpath<index>"; -1 when memory runs out.
int32_t AppendSlot()
{
    const size_t grown = static_cast<size_t>(s_count) + 1;
    void* paths = QS_REALLOC(s_paths, sizeof(CGamePath*) * grown);
    if (!paths) return -1;
    s_paths = static_cast<CGamePath**>(paths);
    void* names = QS_REALLOC(s_names, sizeof(char*) * grown);
    if (!names) return -1;
    s_names = static_cast<char**>(names);
    const int32_t index = s_count++;
    char name[32];
    std::snprintf(name, sizeof name, "__newpath%d", index);
    s_paths[index] = nullptr;
    s_names[index] = DupString(name);
    return index;
}

// Checks entry i of the chunk: its header, its points and its name lie in the data.
bool CheckEntry(const uint8_t* payload, uint32_t length, uint32_t i, uint32_t offset)
{
    if (!GameData_CheckRecord("PATH", payload, length, offset, PATH_ENTRY_HEADER_SIZE, "path", i)) return false;
    const uint8_t* entry = GameData + offset;
    const int32_t points = static_cast<int32_t>(GameData_U32(entry + 16));
    if (points < 0) return GameData_Fail("PATH", "path %u has a negative point count (%d)", i, points);
    const uint64_t chunkEnd = static_cast<uint64_t>(payload - GameData) + length;
    const uint64_t left = chunkEnd - (static_cast<uint64_t>(offset) + PATH_ENTRY_HEADER_SIZE);
    const uint64_t needed = static_cast<uint64_t>(points) * PATH_ENTRY_POINT_SIZE;
    if (needed > left)
        return GameData_Fail("PATH", "path %u has %d points (%llu bytes) but only %llu bytes remain in the chunk", i,
                             points, static_cast<unsigned long long>(needed), static_cast<unsigned long long>(left));
    const char* name;
    return GameData_String("PATH", GameData_U32(entry), &name);
}
}  // namespace

void Path_Init()
{
    Path_FreeAll();
}

int32_t Path_Add()
{
    const int32_t index = AppendSlot();
    if (index >= 0) s_paths[index] = CGamePath::New();
    return index;
}

int32_t Path_Duplicate(int32_t index)
{
    const CGamePath* source = Path_Get(index);
    if (!source) return -1;
    const int32_t copy = Path_Add();
    if (copy >= 0 && s_paths[copy]) s_paths[copy]->Assign(source);
    return copy;
}

bool Path_Assign(int32_t destination, int32_t source)
{
    if (!InRange(destination) || !Path_Get(source)) return false;
    if (destination == source) {
        ReportRuntimeError("ERROR: Can not assign a path to itself!", false);
        return false;
    }
    if (!s_paths[destination]) s_paths[destination] = CGamePath::New();
    if (!s_paths[destination]) return false;
    s_paths[destination]->Assign(s_paths[source]);
    return true;
}

CGamePath* Path_Get(int32_t index)
{
    return InRange(index) ? s_paths[index] : nullptr;
}

bool Path_Delete(int32_t index)
{
    CGamePath* path = Path_Get(index);
    if (!path) return false;
    path->Delete();
    QS_FREE(s_names[index]);
    s_paths[index] = nullptr;
    s_names[index] = nullptr;
    return true;
}

bool Path_Exists(int32_t index)
{
    return Path_Get(index) != nullptr;
}

int32_t Path_Find(const char* name)
{
    if (!name) return -1;
    for (int32_t i = 0; i < s_count; ++i)
        if (s_paths[i] && s_names[i] && std::strcmp(s_names[i], name) == 0) return i;
    return -1;
}

const char* Path_Name(int32_t index)
{
    if (!Path_Get(index)) return "<undefined>";
    return s_names[index] ? s_names[index] : "";
}

int32_t Path_Count()
{
    return s_count;
}

bool Path_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    uint32_t count = 0;
    if (!GameData_CheckList("PATH", payload, length, &count)) return false;
    const uint8_t* offsets = payload + 4;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        if (offset != 0 && !CheckEntry(payload, length, i, offset)) return false;
    }
    // Every entry is sound: the chunk's table replaces whatever was there.
    Path_FreeAll();
    if (count == 0) return true;
    s_paths = static_cast<CGamePath**>(QS_ALLOC(sizeof(CGamePath*) * count, true));
    s_names = static_cast<char**>(QS_ALLOC(sizeof(char*) * count, true));
    if (!s_paths || !s_names) {
        Path_FreeAll();
        return GameData_Fail("PATH", "no memory for %u path slots", count);
    }
    s_count = static_cast<int32_t>(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        if (offset == 0) continue;
        const uint8_t* entry = GameData + offset;
        const char* name = nullptr;
        GameData_String("PATH", GameData_U32(entry), &name);
        s_paths[i] = CGamePath::New();
        if (s_paths[i]) s_paths[i]->Load(entry);
        s_names[i] = DupString(name);
    }
    return true;
}

void Path_ResetAll()
{
    Path_FreeAll();
}

void Path_FreeAll()
{
    for (int32_t i = 0; i < s_count; ++i) {
        if (s_paths[i]) s_paths[i]->Delete();
        QS_FREE(s_names[i]);
    }
    QS_FREE(s_paths);
    QS_FREE(s_names);
    s_paths = nullptr;
    s_names = nullptr;
    s_count = 0;
}
