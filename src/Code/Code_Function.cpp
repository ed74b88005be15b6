#include "Code/Code_Function.h"

#include <cstring>

#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Main.h"

BuiltinFunction* CurrentBuiltinFunction = nullptr;

namespace {
constexpr int32_t kGrowStep = 500;

BuiltinFunction* s_functions = nullptr;
int32_t s_count = 0;
int32_t s_capacity = 0;

// Name index: open addressing over table indexes, the first registration of a
// name wins (as the scan from index 0 would find it).
struct NameSlot {
    uint32_t hash;
    int32_t index;  // -1: empty
};
NameSlot* s_slots = nullptr;
uint32_t s_slotMask = 0;  // capacity - 1; capacity 0 when no slots
int32_t s_slotUsed = 0;

// FNV-1a over the name bytes.
uint32_t NameHash(const char* name)
{
    uint32_t h = 2166136261u;
    for (auto* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) h = (h ^ *p) * 16777619u;
    return h;
}

// Slot holding name, or the empty slot where it belongs.
NameSlot* FindSlot(const char* name, uint32_t hash)
{
    for (uint32_t i = hash & s_slotMask;; i = (i + 1) & s_slotMask) {
        NameSlot* slot = &s_slots[i];
        if (slot->index < 0) return slot;
        if (slot->hash == hash && std::strcmp(s_functions[slot->index].name, name) == 0) return slot;
    }
}

void GrowSlots()
{
    uint32_t capacity = s_slots ? (s_slotMask + 1) * 2 : 1024;
    NameSlot* old = s_slots;
    uint32_t oldCapacity = s_slots ? s_slotMask + 1 : 0;
    s_slots = static_cast<NameSlot*>(QS_ALLOC(sizeof(NameSlot) * capacity, false));
    s_slotMask = capacity - 1;
    for (uint32_t i = 0; i < capacity; ++i) s_slots[i] = NameSlot{0, -1};
    for (uint32_t i = 0; i < oldCapacity; ++i)
        if (old[i].index >= 0) *FindSlot(s_functions[old[i].index].name, old[i].hash) = old[i];
    QS_FREE(old);
}

void IndexName(int32_t index)
{
    if (!s_slots || static_cast<uint32_t>(s_slotUsed + 1) * 2 > s_slotMask + 1) GrowSlots();
    uint32_t hash = NameHash(s_functions[index].name);
    NameSlot* slot = FindSlot(s_functions[index].name, hash);
    if (slot->index >= 0) return;
    *slot = NameSlot{hash, index};
    ++s_slotUsed;
}

int32_t FindBuiltin(const char* name)
{
    if (!s_slots) return -1;
    NameSlot* slot = FindSlot(name, NameHash(name));
    return slot->index;
}
}  // namespace

void CodeFunction_Register(const char* name, BuiltinRoutine routine, int32_t argumentCount, uint8_t flag)
{
    if (s_count >= s_capacity) {
        int32_t capacity = s_capacity + kGrowStep;
        auto* table = static_cast<BuiltinFunction*>(QS_REALLOC(s_functions, sizeof(BuiltinFunction) * static_cast<size_t>(capacity)));
        if (!table) return;
        s_functions = table;
        s_capacity = capacity;
    }
    BuiltinFunction& f = s_functions[s_count];
    std::memset(&f, 0, sizeof f);
    std::strncpy(f.name, name, sizeof f.name - 1);
    f.routine = routine;
    f.argumentCount = argumentCount;
    f.flag = flag;
    f.reserved = -1;
    IndexName(s_count);
    ++s_count;
}

namespace {
// Scripts and extension functions are found before built-ins of the same name.
int NoSuchName(const char*) { return -1; }
int (*s_findScript)(const char*) = NoSuchName;
int (*s_findExtension)(const char*) = NoSuchName;
}  // namespace

void CodeFunction_SetNameFinders(int (*findScript)(const char*), int (*findExtension)(const char*))
{
    s_findScript = findScript ? findScript : NoSuchName;
    s_findExtension = findExtension ? findExtension : NoSuchName;
}

bool CodeFunction_Find(const char* name, int32_t* outId)
{
    *outId = CALLID_NONE;
    if (!name || !*name) return false;
    int id = s_findScript(name);
    if (id >= 0) {
        *outId = CALLID_SCRIPT_BASE + id;
        return true;
    }
    id = s_findExtension(name);
    if (id >= 0) {
        *outId = CALLID_EXTENSION_BASE + id;
        return true;
    }
    // The interpreter runs script_execute itself (the script index is its
    // first argument); compiled code calls the ordinary built-in.
    if (!CompiledCodeMode && std::strcmp(name, "script_execute") == 0) {
        *outId = CALLID_SCRIPT_EXECUTE;
        return true;
    }
    id = FindBuiltin(name);
    if (id < 0) return false;
    *outId = id;
    return true;
}

void CodeFunction_GetInfo(int32_t index, const char** outName, BuiltinRoutine* outRoutine, int32_t* outArgumentCount,
                          uint8_t* outFlag)
{
    if (index < 0 || index >= s_count) return;
    const BuiltinFunction& f = s_functions[index];
    *outName = f.name;
    *outRoutine = f.routine;
    *outArgumentCount = f.argumentCount;
    *outFlag = f.flag;
}

BuiltinFunction* CodeFunction_At(int32_t index)
{
    return index >= 0 && index < s_count ? &s_functions[index] : nullptr;
}

void CodeFunction_ReplaceRoutine(const char* name, BuiltinRoutine routine)
{
    int32_t index = FindBuiltin(name);
    if (index >= 0) s_functions[index].routine = routine;
}

void CodeFunction_FreeAll()
{
    QS_FREE(s_functions);
    QS_FREE(s_slots);
    s_functions = nullptr;
    s_slots = nullptr;
    s_slotMask = 0;
    s_slotUsed = 0;
    s_count = 0;
    s_capacity = 0;
}

namespace {
ScriptValue* CallRoutine(CInstance* self, CInstance* other, ScriptValue* result, int argc, int32_t index,
                         ScriptValue* copies)
{
    ScriptValue_SetUndefined(result);
    if (index < 0 || index >= s_count) [[unlikely]] {
        FatalRuntimeError("Unknown built-in function index %d", index);
        return result;
    }
    BuiltinFunction* saved = CurrentBuiltinFunction;
    CurrentBuiltinFunction = &s_functions[index];
    s_functions[index].routine(result, self, other, argc, copies);
    CurrentBuiltinFunction = saved;
    return result;
}

ScriptValue* CallWithHeapArguments(CInstance* self, CInstance* other, ScriptValue* result, int argc, int32_t index,
                                   ScriptValue** args)
{
    auto* copies = static_cast<ScriptValue*>(QS_ALLOC(sizeof(ScriptValue) * static_cast<size_t>(argc), false));
    if (!copies) argc = 0;
    for (int i = 0; i < argc; ++i) copies[i] = *args[i];
    CallRoutine(self, other, result, argc, index, copies);
    QS_FREE(copies);
    return result;
}
}  // namespace

int32_t CodeFunction_Count() { return s_count; }
int32_t CodeFunction_Capacity() { return s_capacity; }

ScriptValue* CallBuiltinFunction(CInstance* self, CInstance* other, ScriptValue* result, int argc, int32_t index,
                                 ScriptValue** args)
{
    constexpr int kStackArgs = 16;
    if (argc > kStackArgs) [[unlikely]]
        return CallWithHeapArguments(self, other, result, argc, index, args);
    ScriptValue copies[kStackArgs];
    // Borrowed: bitwise copies that take no counts.
    for (int i = 0; i < argc; ++i) copies[i] = *args[i];
    return CallRoutine(self, other, result, argc < 0 ? 0 : argc, index, copies);
}
