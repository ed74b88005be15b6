#include "Path/Path_Main.h"


#include "Base/ErrorReport.h"
#include "Path/Path_Class.h"
#include "GameData/AssetTable.h"
#include "GameData/GameData.h"

namespace {
void DeletePath(CGamePath* path)
{
    path->Delete();
}

AssetTable<CGamePath, DeletePath> s_paths("__newpath");

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
    return s_paths.Append(CGamePath::New());
}

int32_t Path_Duplicate(int32_t index)
{
    const CGamePath* source = Path_Get(index);
    if (!source) return -1;
    const int32_t copy = Path_Add();
    if (copy >= 0) s_paths.Get(copy)->Assign(source);
    return copy;
}

bool Path_Assign(int32_t destination, int32_t source)
{
    if (!s_paths.InRange(destination) || !Path_Get(source)) return false;
    if (destination == source) {
        ReportRuntimeError("ERROR: Can not assign a path to itself!", false);
        return false;
    }
    if (!s_paths.Get(destination)) s_paths.Put(destination, CGamePath::New());
    CGamePath* path = s_paths.Get(destination);
    if (!path) return false;
    path->Assign(s_paths.Get(source));
    return true;
}

CGamePath* Path_Get(int32_t index)
{
    return s_paths.Get(index);
}

bool Path_Delete(int32_t index)
{
    if (!Path_Get(index)) return false;
    s_paths.Delete(index);
    return true;
}

bool Path_Exists(int32_t index)
{
    return Path_Get(index) != nullptr;
}

int32_t Path_Find(const char* name)
{
    return s_paths.FindFirst(name);
}

const char* Path_Name(int32_t index)
{
    if (!Path_Get(index)) return "<undefined>";
    return s_paths.NameOr(index, "");
}

int32_t Path_Count()
{
    return s_paths.Count();
}

bool Path_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    uint32_t count = 0;
    if (!GameData_CheckList("PATH", payload, length, &count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(payload + 4 + 4 * i);
        if (offset != 0 && !CheckEntry(payload, length, i, offset)) return false;
    }
    return s_paths.LoadChunk("PATH", "path slots", payload, length,
                             [](uint32_t, uint32_t offset, CGamePath** record, const char** name) {
                                 const uint8_t* entry = GameData + offset;
                                 GameData_String("PATH", GameData_U32(entry), name);
                                 *record = CGamePath::New();
                                 if (*record) (*record)->Load(entry);
                                 return true;
                             });
}

void Path_ResetAll()
{
    Path_FreeAll();
}

void Path_FreeAll()
{
    s_paths.FreeAll();
}
