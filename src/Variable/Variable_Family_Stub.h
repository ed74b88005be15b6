#pragma once
// STAND-INS for the getters and setters of the physics variables (and the
// platform variables, KivoVariables_Stub.cpp) until their families exist:
// the variables have their final ids; reads give 0 and writes are accepted
// and dropped.
#include <cstdint>

class CInstance;
struct ScriptValue;

// The real 0.
bool VariableStub_GetZero(CInstance* self, int32_t arrayIndex, ScriptValue* out);
bool VariableStub_Set(CInstance* self, int32_t arrayIndex, ScriptValue* value);
