// Map built-ins. Maps are filled by other threads too, so every one of them
// holds DsMutex from the handle lookup until its result is written.
#include <new>

#include "Base/ErrorReport.h"
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Map.h"
#include "Function/Function_DSRoutines.h"

namespace {
DsMap* MapArg(ScriptValue* args)
{
    return DsArg(DsMapTable, args, 0);
}

enum NestedOp { NESTED_ADD, NESTED_REPLACE };

// Stores a list or map handle under a key with its nested mark; the map then
// owns that structure. The value must be a plain real naming a live one.
void AddNested(ScriptValue* result, ScriptValue* args, uint32_t mark, NestedOp op)
{
    DsMutexLock lock;
    ScriptValue_SetReal(result, 0.0);
    DsMap* map = MapArg(args);
    if (!map) return;
    ScriptValue value = args[2];
    bool live = false;
    if (value.kind == VALUE_REAL) {
        const int32_t handle = Arg_Int32(args, 2);
        live = mark == KIND_NESTED_LIST ? DsListTable.Get(handle) != nullptr : DsMapTable.Get(handle) != nullptr;
    }
    if (!live) {
        ReportRuntimeError(mark == KIND_NESTED_LIST ? "Invalid list index for value" : "Invalid map index for value",
                           false);
        return;
    }
    value.kind |= mark;
    const bool done = op == NESTED_ADD ? map->Add(&args[1], &value) : map->Replace(&args[1], &value);
    ScriptValue_SetReal(result, done ? 1.0 : 0.0);
}

// A find that hands back a key (or null).
template <typename F>
void FindKey(ScriptValue* result, ScriptValue* args, F&& find)
{
    DsMutexLock lock;
    if (DsMap* map = MapArg(args)) DsResult_Copy(result, find(map));
}
}  // namespace

DS_ROUTINE(F_DsMapCreate)
{
    const int32_t buckets = argc == 1 ? Arg_Int32(args, 0) : DsMap::DEFAULT_BUCKETS;
    DsMutexLock lock;
    const int32_t handle = DsMapTable.Alloc();
    if (handle >= 0) DsMapTable.slots[handle] = new DsMap(buckets);
    ScriptValue_SetReal(result, handle);
}

DS_ROUTINE(F_DsMapDestroy)
{
    DsMutexLock lock;
    const int32_t handle = Arg_Int32(args, 0);
    if (DsArg_InTable(handle, DsMapTable.count)) DsMap_Destroy(handle);
}

DS_ROUTINE(F_DsMapClear)
{
    DsMutexLock lock;
    if (DsMap* map = MapArg(args)) map->Clear();
}

DS_ROUTINE(F_DsMapCopy)
{
    DsMutexLock lock;
    DsMap* destination = MapArg(args);
    if (!destination) return;
    if (DsMap* source = DsArg(DsMapTable, args, 1)) destination->Copy(source);
}

DS_ROUTINE(F_DsMapSize)
{
    DsMutexLock lock;
    if (DsMap* map = MapArg(args)) ScriptValue_SetReal(result, map->Size());
}

DS_ROUTINE(F_DsMapEmpty)
{
    DsMutexLock lock;
    ScriptValue_SetReal(result, 0.0);
    if (DsMap* map = MapArg(args)) ScriptValue_SetReal(result, map->Empty() ? 1.0 : 0.0);
}

DS_ROUTINE(F_DsMapAdd)
{
    DsMutexLock lock;
    ScriptValue_SetReal(result, 0.0);
    if (DsMap* map = MapArg(args)) ScriptValue_SetReal(result, map->Add(&args[1], &args[2]) ? 1.0 : 0.0);
}

DS_ROUTINE(F_DsMapSet)
{
    DsMutexLock lock;
    if (DsMap* map = MapArg(args)) map->Set(&args[1], &args[2], nullptr);
}

DS_ROUTINE(F_DsMapSetPre)
{
    DsMutexLock lock;
    result->Assign(args[2]);
    if (DsMap* map = MapArg(args)) map->Set(&args[1], &args[2], nullptr);
}

DS_ROUTINE(F_DsMapSetPost)
{
    DsMutexLock lock;
    if (DsMap* map = MapArg(args)) {
        map->Set(&args[1], &args[2], result);
        result->kind &= KIND_MASK;
    }
}

DS_ROUTINE(F_DsMapAddList)
{
    AddNested(result, args, KIND_NESTED_LIST, NESTED_ADD);
}

DS_ROUTINE(F_DsMapAddMap)
{
    AddNested(result, args, KIND_NESTED_MAP, NESTED_ADD);
}

DS_ROUTINE(F_DsMapReplace)
{
    DsMutexLock lock;
    ScriptValue_SetReal(result, 0.0);
    if (DsMap* map = MapArg(args)) ScriptValue_SetReal(result, map->Replace(&args[1], &args[2]) ? 1.0 : 0.0);
}

DS_ROUTINE(F_DsMapReplaceList)
{
    AddNested(result, args, KIND_NESTED_LIST, NESTED_REPLACE);
}

DS_ROUTINE(F_DsMapReplaceMap)
{
    AddNested(result, args, KIND_NESTED_MAP, NESTED_REPLACE);
}

DS_ROUTINE(F_DsMapDelete)
{
    DsMutexLock lock;
    if (DsMap* map = MapArg(args)) map->Delete(&args[1]);
}

DS_ROUTINE(F_DsMapExists)
{
    DsMutexLock lock;
    ScriptValue_SetReal(result, 0.0);
    if (DsMap* map = MapArg(args)) ScriptValue_SetReal(result, map->Exists(&args[1]) ? 1.0 : 0.0);
}

DS_ROUTINE(F_DsMapFindValue)
{
    DsMutexLock lock;
    if (DsMap* map = MapArg(args)) {
        DsMapElement* element = map->FindElement(&args[1]);
        DsResult_Copy(result, element ? &element->value : nullptr);
    }
}

DS_ROUTINE(F_DsMapFindPrevious)
{
    FindKey(result, args, [args](DsMap* map) { return map->FindPrevious(&args[1]); });
}

DS_ROUTINE(F_DsMapFindNext)
{
    FindKey(result, args, [args](DsMap* map) { return map->FindNext(&args[1]); });
}

DS_ROUTINE(F_DsMapFindFirst)
{
    FindKey(result, args, [](DsMap* map) { return map->FindFirst(); });
}

DS_ROUTINE(F_DsMapFindLast)
{
    FindKey(result, args, [](DsMap* map) { return map->FindLast(); });
}

DS_ROUTINE(F_DsMapWrite)
{
    DsMutexLock lock;
    if (DsMap* map = MapArg(args)) DsResult_Text(result, map->Write());
}

DS_ROUTINE(F_DsMapRead)
{
    DsMutexLock lock;
    DsMap* map = MapArg(args);
    if (!map) return;
    const char* text = Arg_String(args, 1);
    map->Read(text, DsArg_LegacyInt(argc, args));
}
