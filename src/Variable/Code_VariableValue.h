#pragma once
// Reading and writing variables by id: built-in variables through their
// getter and setter, the game's own variables in the slots (or, in object
// mode, the named properties) of an instance or of the global object; the
// global object itself and the saved-game section of the global variables.
#include <cstdint>

#include "Code/Code_Variable.h"

class CInstance;
class IBuffer;
class KVObjectBase;
struct ScriptValue;

// Chunk pass: a new global object with max(global, instance count) slots
// (the previous one is freed).
void Variable_CreateGlobalObject();
// Frees the global object (a game's end).
void Variable_FreeGlobalObject();


// False for an id that names no built-in variable or no slot of self.
bool Variable_GetValue(CInstance* self, int32_t id, int32_t arrayIndex, ScriptValue* out);
// False for a read-only built-in variable and for an id that names nothing.
bool Variable_SetValue(CInstance* self, int32_t id, int32_t arrayIndex, ScriptValue* value);
bool Variable_GetGlobalValue(int32_t id, int32_t arrayIndex, ScriptValue* out);
bool Variable_SetGlobalValue(int32_t id, int32_t arrayIndex, ScriptValue* value);

// Object mode: out becomes an object whose "[[Call_Cpp]]" holds the routine
// of the built-in function of that name; false when there is none.
bool Variable_BuiltinAsObject(const char* name, ScriptValue* out);

// The saved-game section: the global count, every global slot's value, the
// global-name flags. Loading refuses another count ("Save game format has
// changed") and data that ends early (false).
void Variable_SaveGlobals(IBuffer* buffer);
bool Variable_LoadGlobals(IBuffer* buffer);
