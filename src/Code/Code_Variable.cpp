#include "Code/Code_Variable.h"

#include <cstring>

#include "Base/Array.h"
#include "Base/MemoryManager.h"
#include "Base/MurmurHash3.h"
#include "Code/Code_Value.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "IO/IO_Dialog.h"

GlobalNameFlags Variable_GlobalFlags = {nullptr, 0};

namespace {
constexpr const char* kUnknownVariable = "<unknown variable>";
// Slots are 28-bit fields of the variable operand.
constexpr int32_t kMaxSlot = 0x0FFFFFFF - VARIABLE_ID_BASE;

int32_t s_globalCount = 0;
int32_t s_instanceCount = 0;
int32_t s_localCount = 0;

BuiltinVariable s_builtins[BUILTIN_VARIABLE_CAPACITY];
int32_t s_builtinCount = 0;
// The built-ins by name, open-addressed (id + 1; 0 empty): lookups by name at
// run time (variable_instance_get and its kin) must not scan every name.
constexpr uint32_t kBuiltinIndexSize = 1024;
static_assert(kBuiltinIndexSize >= 2 * BUILTIN_VARIABLE_CAPACITY);
int32_t s_builtinIndex[kBuiltinIndexSize];

// The index cell of name: where it is, or the empty cell it would take.
uint32_t BuiltinIndexCell(const char* name)
{
    uint32_t cell = MurmurHash3_String(name) & (kBuiltinIndexSize - 1);
    while (s_builtinIndex[cell] != 0 && std::strcmp(s_builtins[s_builtinIndex[cell] - 1].name, name) != 0)
        cell = (cell + 1) & (kBuiltinIndexSize - 1);
    return cell;
}

typedef cARRAY_CLASS<char, ArrayForm::Growable> NameTable;
NameTable s_flatNames;
NameTable s_globalNames;
NameTable s_instanceNames;

struct LocalNameList {
    char* codeName;
    int32_t count;
    char** names;
};
LocalNameList* s_localLists = nullptr;
int32_t s_localListCount = 0;

char* CopyName(const char* name)
{
    return DupString(name ? name : "");
}

void FreeTable(NameTable& table)
{
    for (int32_t i = 0; i < table.length; ++i) {
        QS_FREE(table.items[i]);
        table.items[i] = nullptr;
    }
    table.Resize(0);
}

int32_t FindInTable(const NameTable& table, const char* name)
{
    if (!name) return -1;
    for (int32_t i = 0; i < table.length && i < table.capacity; ++i)
        if (table.items[i] && std::strcmp(table.items[i], name) == 0) return i;
    return -1;
}

// Makes slot exist in the table (length and capacity cover it) and names it.
void NameSlot(NameTable& table, int32_t slot, const char* name)
{
    if (slot >= table.capacity && !table.Resize(slot + 1)) return;
    if (table.items[slot]) QS_FREE(table.items[slot]);
    table.items[slot] = CopyName(name);
    if (table.length <= slot) table.length = slot + 1;
}

const char* TableName(const NameTable& table, int32_t slot)
{
    if (slot < 0 || slot >= table.length) return kUnknownVariable;
    return table.items[slot];
}

void FreeLocalLists()
{
    for (int32_t i = 0; i < s_localListCount; ++i) {
        LocalNameList& list = s_localLists[i];
        for (int32_t j = 0; j < list.count; ++j) QS_FREE(list.names[j]);
        QS_FREE(list.names);
        QS_FREE(list.codeName);
    }
    QS_FREE(s_localLists);
    s_localLists = nullptr;
    s_localListCount = 0;
}

const LocalNameList* FindLocalList(const char* codeName)
{
    if (!codeName) return nullptr;
    for (int32_t i = 0; i < s_localListCount; ++i)
        if (std::strcmp(s_localLists[i].codeName, codeName) == 0) return &s_localLists[i];
    return nullptr;
}

// The built-in variables that belong to the game rather than to an instance.
const char* const kGlobalBuiltInNames[] = {
    "application_surface", "argument", "argument0", "argument1", "argument10", "argument11", "argument12",
    "argument13", "argument14", "argument15", "argument2", "argument3", "argument4", "argument5", "argument6",
    "argument7", "argument8", "argument9", "argument_count", "argument_relative", "async_load",
    "background_alpha", "background_blend", "background_color", "background_colour", "background_foreground",
    "background_height", "background_hspeed", "background_htiled", "background_index", "background_showcolor",
    "background_showcolour", "background_visible", "background_vspeed", "background_vtiled", "background_width",
    "background_x", "background_xscale", "background_y", "background_yscale", "browser_height", "browser_width",
    "caption_health", "caption_lives", "caption_score", "current_day", "current_hour", "current_minute",
    "current_month", "current_second", "current_time", "current_weekday", "current_year", "cursor_sprite",
    "debug_mode", "delta_time", "display_aa", "error_last", "error_occurred", "event_action", "event_number",
    "event_object", "event_type", "fps", "fps_real", "game_display_name", "game_id", "game_project_name",
    "game_save_id", "quillstep_version", "health", "iap_data", "instance_count", "instance_id", "keyboard_key",
    "keyboard_lastchar", "keyboard_lastkey", "keyboard_string", "lives", "mouse_button", "mouse_lastbutton",
    "mouse_x", "mouse_y", "os_browser", "os_device", "os_type", "os_version", "pointer_invalid", "pointer_null",
    "program_directory", "room", "room_caption", "room_first", "room_height", "room_last", "room_persistent",
    "room_speed", "room_width", "score", "secure_mode", "show_health", "show_lives", "show_score",
    "temp_directory", "transition_color", "transition_kind", "transition_steps", "undefined", "view_angle",
    "view_current", "view_enabled", "view_hborder", "view_hport", "view_hspeed", "view_hview", "view_object",
    "view_surface_id", "view_camera", "view_vborder", "view_visible", "view_vspeed", "view_wport", "view_wview",
    "view_xport", "view_xview", "view_yport", "view_yview",
};
}  // namespace

// ---- Built-in variables ----

void Variable_BuiltIn_Add(const char* name, BuiltinGetter getter, BuiltinSetter setter)
{
    if (s_builtinCount >= BUILTIN_VARIABLE_CAPACITY) {
        ShowMessageBox("INTERNAL ERROR: Adding too many variables");
        return;
    }
    BuiltinVariable& v = s_builtins[s_builtinCount++];
    v.name = CopyName(name);
    v.getter = getter;
    v.setter = setter;
    v.canSet = setter != nullptr;
    // A repeated name keeps the id of its first entry.
    if (!v.name) return;
    const uint32_t cell = BuiltinIndexCell(v.name);
    if (s_builtinIndex[cell] == 0) s_builtinIndex[cell] = s_builtinCount;
}

int32_t Variable_BuiltIn_Find(const char* name)
{
    if (!name) return -1;
    return s_builtinIndex[BuiltinIndexCell(name)] - 1;
}

const char* Variable_BuiltIn_Name(int32_t id)
{
    if (id < 0 || id >= s_builtinCount) return "<unknown built-in variable>";
    return s_builtins[id].name;
}

const BuiltinVariable* Variable_BuiltIn_At(int32_t id)
{
    if (id < 0 || id >= s_builtinCount) return nullptr;
    return &s_builtins[id];
}

int32_t Variable_BuiltIn_Count()
{
    return s_builtinCount;
}

void Variable_BuiltIn_Free()
{
    for (int32_t i = 0; i < s_builtinCount; ++i) QS_FREE(s_builtins[i].name);
    std::memset(s_builtins, 0, sizeof s_builtins);
    std::memset(s_builtinIndex, 0, sizeof s_builtinIndex);
    s_builtinCount = 0;
    QS_FREE(Variable_GlobalFlags.bytes);
    Variable_GlobalFlags = {nullptr, 0};
}

// ---- Names and ids ----

int32_t Variable_GlobalCount() { return s_globalCount; }
int32_t Variable_InstanceCount() { return s_instanceCount; }
int32_t Variable_LocalCount() { return s_localCount; }

void Variable_SetCounts(int32_t globalCount, int32_t instanceCount, int32_t localCount)
{
    s_globalCount = globalCount;
    s_instanceCount = instanceCount;
    s_localCount = localCount;
}

int32_t Variable_FindOrAddName(const char* name)
{
    const int32_t builtin = Variable_BuiltIn_Find(name);
    if (builtin >= 0) return builtin;
    int32_t index = FindInTable(s_flatNames, name);
    if (index < 0) index = s_flatNames.Add(CopyName(name));
    return VARIABLE_ID_BASE + index;
}

int32_t Variable_FindId(const char* name)
{
    const int32_t index = FindInTable(s_flatNames, name);
    return index < 0 ? -1 : VARIABLE_ID_BASE + index;
}

int32_t Variable_FindGlobal(const char* name)
{
    return FindInTable(s_globalNames, name);
}

int32_t Variable_FindInstance(const char* name)
{
    return FindInTable(s_instanceNames, name);
}

int32_t Variable_DefineName(const char* name, int32_t kind, int32_t slot)
{
    if (kind == -6) return Variable_BuiltIn_Find(name);
    // A slot the ids cannot hold names nothing.
    if (slot < 0 || slot > kMaxSlot) return -1;
    if (kind == -5) NameSlot(s_globalNames, slot, name);
    else if (kind == -1) NameSlot(s_instanceNames, slot, name);
    return VARIABLE_ID_BASE + slot;
}

void Variable_SetTableSizes(int32_t globalCount, int32_t instanceCount, int32_t)
{
    // Names already held stay: a table is only ever enlarged.
    if (globalCount > s_globalNames.capacity) s_globalNames.Resize(globalCount);
    if (instanceCount > s_instanceNames.capacity) s_instanceNames.Resize(instanceCount);
}

void Variable_AppendName(VariableTable table, const char* name)
{
    NameTable& t = table == VARIABLE_TABLE_GLOBAL ? s_globalNames : s_instanceNames;
    NameSlot(t, t.length, name);
}

int32_t Variable_AddName(VariableTable table, const char* name)
{
    NameTable& t = table == VARIABLE_TABLE_GLOBAL ? s_globalNames : s_instanceNames;
    char* copy = CopyName(name);
    const int32_t slot = t.Add(copy);
    if (slot < 0) QS_FREE(copy);
    return slot;
}

bool Variable_LoadLocalNames(const uint8_t* payload, uint32_t length)
{
    FreeLocalLists();
    if (length < 4) return GameData_Fail("FUNC", "the local-name lists lack their count");
    const uint32_t count = GameData_U32(payload);
    uint32_t at = 4;
    // Every list takes at least 8 bytes; a count beyond that is garbage.
    if (count > (length - at) / 8)
        return GameData_Fail("FUNC", "%u local-name lists do not fit in %u bytes", count, length - at);
    s_localLists = static_cast<LocalNameList*>(QS_ALLOC(sizeof(LocalNameList) * (count ? count : 1), true));
    for (uint32_t i = 0; i < count; ++i) {
        if (length - at < 8) return GameData_Fail("FUNC", "local-name list %u runs past the chunk", i);
        const uint32_t locals = GameData_U32(payload + at);
        const char* codeName = nullptr;
        if (!GameData_String("FUNC", GameData_U32(payload + at + 4), &codeName)) return false;
        at += 8;
        if (locals > (length - at) / 8)
            return GameData_Fail("FUNC", "local-name list %u: %u names run past the chunk", i, locals);
        LocalNameList& list = s_localLists[s_localListCount++];
        list.codeName = CopyName(codeName);
        list.names = static_cast<char**>(QS_ALLOC(sizeof(char*) * (locals ? locals : 1), true));
        for (uint32_t j = 0; j < locals; ++j, at += 8) {
            const char* localName = nullptr;
            if (!GameData_String("FUNC", GameData_U32(payload + at + 4), &localName)) return false;
            list.names[list.count++] = CopyName(localName);
        }
    }
    return true;
}

const char* Variable_GetName(const char* codeName, int32_t scope, int32_t id)
{
    if (id < VARIABLE_ID_BASE) return Variable_BuiltIn_Name(id);
    const int32_t slot = id - VARIABLE_ID_BASE;
    if (!NewCodeFormat) return TableName(s_flatNames, slot);
    switch (scope) {
    case -5:
        return TableName(s_globalNames, slot);
    case -7:
    case -12: {
        const LocalNameList* list = FindLocalList(codeName);
        if (!list || slot >= list->count) return kUnknownVariable;
        return list->names[slot];
    }
    case -1:
    case -9:
    case -11:
        return TableName(s_instanceNames, slot);
    default:
        return scope >= VARIABLE_ID_BASE ? TableName(s_instanceNames, slot) : kUnknownVariable;
    }
}

void Variable_FreeNames()
{
    FreeTable(s_flatNames);
    FreeTable(s_globalNames);
    FreeTable(s_instanceNames);
    FreeLocalLists();
    Variable_SetCounts(0, 0, 0);
}

bool Variable_IsGlobalBuiltInName(const char* name)
{
    if (!name) return false;
    for (const char* known : kGlobalBuiltInNames)
        if (std::strcmp(known, name) == 0) return true;
    return false;
}

// ---- Global-name flags ----

void Variable_InitGlobalFlags()
{
    QS_FREE(Variable_GlobalFlags.bytes);
    Variable_GlobalFlags.bytes = static_cast<uint8_t*>(QS_ALLOC(GLOBAL_FLAG_COUNT, true));
    Variable_GlobalFlags.length = GLOBAL_FLAG_COUNT;
}

uint8_t Variable_IsGlobalName(int32_t id)
{
    const int64_t at = static_cast<int64_t>(id) - VARIABLE_ID_BASE;
    if (at < 0 || at >= Variable_GlobalFlags.length) return 0;
    return Variable_GlobalFlags.bytes[at];
}

namespace {
KVObjectBase* s_globalObject = nullptr;
CInstance* s_globalInstance = nullptr;
}  // namespace

KVObjectBase* Variable_GlobalObject()
{
    return s_globalObject;
}

CInstance* Variable_GlobalInstance()
{
    return s_globalInstance;
}

void Variable_SetGlobalObject(KVObjectBase* object, CInstance* instance)
{
    s_globalObject = object;
    s_globalInstance = instance;
}

int32_t Variable_FindSlot(KVObjectBase* object, const char* name)
{
    if (object == s_globalObject && !ObjectMode) return Variable_FindGlobal(name);
    return Variable_FindInstance(name);
}

int32_t Variable_FindOrAddSlot(KVObjectBase* object, const char* name)
{
    const int32_t slot = Variable_FindSlot(object, name);
    if (slot >= 0) return slot;
    const bool global = object == s_globalObject && !ObjectMode;
    return Variable_AddName(global ? VARIABLE_TABLE_GLOBAL : VARIABLE_TABLE_INSTANCE, name);
}
