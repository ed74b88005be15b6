#pragma once
// STAND-INS for the getters and setters of the built-in variable families
// not built yet (script arguments and event context, game-wide and
// environment values, physics): the variables have
// their final ids; reads give a neutral value and writes are accepted and
// dropped.
#include <cstdint>

class CInstance;
struct ScriptValue;

// The real 0.
bool VariableStub_GetZero(CInstance* self, int32_t arrayIndex, ScriptValue* out);
// The empty string.
bool VariableStub_GetText(CInstance* self, int32_t arrayIndex, ScriptValue* out);
bool VariableStub_GetUndefined(CInstance* self, int32_t arrayIndex, ScriptValue* out);
bool VariableStub_Set(CInstance* self, int32_t arrayIndex, ScriptValue* value);
