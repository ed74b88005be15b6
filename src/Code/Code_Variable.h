#pragma once
// Variable ids and names: the table of built-in variables (ids below 10000),
// the name tables of the game's own variables (ids from 100000: slot n of the
// object that holds the variable, or entry n of the flat name list), the
// per-code-entry local names and the global-name flags.
#include <cstdint>

class CInstance;
struct ScriptValue;

constexpr int32_t VARIABLE_BUILTIN_LIMIT = 10000;  // ids below are built-in variables
constexpr int32_t VARIABLE_ID_BASE = 100000;       // id of slot 0
constexpr int32_t BUILTIN_VARIABLE_CAPACITY = 500;
constexpr int32_t GLOBAL_FLAG_COUNT = 10000;

using BuiltinGetter = bool (*)(CInstance* self, int32_t arrayIndex, ScriptValue* out);
using BuiltinSetter = bool (*)(CInstance* self, int32_t arrayIndex, ScriptValue* value);

struct BuiltinVariable {
    char* name;   // memory-manager copy
    BuiltinGetter getter;
    BuiltinSetter setter;  // null: read-only
    bool canSet;
};

// ---- Built-in variables ----
// Appends a record; a 501st shows "INTERNAL ERROR: Adding too many variables".
void Variable_BuiltIn_Add(const char* name, BuiltinGetter getter, BuiltinSetter setter);
// Id of the first record of that exact name, -1 when none.
int32_t Variable_BuiltIn_Find(const char* name);
// "<unknown built-in variable>" for an id outside the records in use.
const char* Variable_BuiltIn_Name(int32_t id);
// The record of id, null outside the records in use.
const BuiltinVariable* Variable_BuiltIn_At(int32_t id);
int32_t Variable_BuiltIn_Count();
// Frees every name, clears the table and frees the global-name flags.
void Variable_BuiltIn_Free();

// ---- Names of the game's own variables ----
enum VariableTable { VARIABLE_TABLE_GLOBAL, VARIABLE_TABLE_INSTANCE };

// The counts the code chunks (or the link record) gave: global, instance and
// the largest number of locals of any code entry.
int32_t Variable_GlobalCount();
int32_t Variable_InstanceCount();
int32_t Variable_LocalCount();
void Variable_SetCounts(int32_t globalCount, int32_t instanceCount, int32_t localCount);

// The built-in id, else 100000 + the name's index in the flat list (appended when new).
int32_t Variable_FindOrAddName(const char* name);
// 100000 + the index in the flat list, -1 when absent; adds nothing.
int32_t Variable_FindId(const char* name);
// Slot of the name in the global (instance) name table, -1 when absent.
int32_t Variable_FindGlobal(const char* name);
int32_t Variable_FindInstance(const char* name);
// For the variable chunk: kind -6 the built-in id (negative when none); kind
// -5 (-1) names that slot of the global (instance) table; every kind but -6
// answers 100000 + slot.
int32_t Variable_DefineName(const char* name, int32_t kind, int32_t slot);
// Capacity of the global and instance name tables (the local count is not used).
void Variable_SetTableSizes(int32_t globalCount, int32_t instanceCount, int32_t localCount);
// Appends a copy of name at the end of a name table (growing it).
void Variable_AppendName(VariableTable table, const char* name);
// Puts a copy of name in the first empty entry of a name table, else at its
// end (growing it); the entry's index, -1 when out of memory.
int32_t Variable_AddName(VariableTable table, const char* name);
// Reads the local-name lists of the function chunk: u32 count, then per code
// entry {u32 local count, u32 code-name reference} and that many {u32, u32
// local-name reference}. False, with a message, when they do not fit in length.
bool Variable_LoadLocalNames(const uint8_t* payload, uint32_t length);
// Name of id for messages and the debugger (see the scopes in the source).
const char* Variable_GetName(const char* codeName, int32_t scope, int32_t id);
// Frees the name tables and local-name lists and zeroes the counts (a game's end).
void Variable_FreeNames();

// True for the built-in variables of the game as a whole (not of an instance).
bool Variable_IsGlobalBuiltInName(const char* name);

// ---- Global-name flags (1: the name means the global variable) ----
struct GlobalNameFlags {
    uint8_t* bytes;
    int32_t length;
};
extern GlobalNameFlags Variable_GlobalFlags;
// (Re)allocates 10000 zero flags.
void Variable_InitGlobalFlags();
// The flag of id, 0 outside the array.
uint8_t Variable_IsGlobalName(int32_t id);

// ---- The global object ---------------------------------------------------

class CInstance;
class KVObjectBase;

// The holder of the global variables; null before the game data is read.
KVObjectBase* Variable_GlobalObject();
// The global object as the self of code run on it (global initialisers, room
// creation code in object mode); it is an instance that joins no list.
CInstance* Variable_GlobalInstance();
// Set by Variable_CreateGlobalObject and Variable_FreeGlobalObject: the same
// object seen as an object and as an instance.
void Variable_SetGlobalObject(KVObjectBase* object, CInstance* instance);
// Slot of name in object's table (the global table for the global object
// outside object mode, else the instance table); -1 when absent.
int32_t Variable_FindSlot(KVObjectBase* object, const char* name);
// As Variable_FindSlot, naming a new slot when absent.
int32_t Variable_FindOrAddSlot(KVObjectBase* object, const char* name);
