// Stand-ins: see Variable_Family_Stub.h.
#include "Variable/Variable_Family_Stub.h"

#include "Code/Code_Value.h"

bool VariableStub_GetZero(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetReal(out, 0.0);
    return true;
}

bool VariableStub_Set(CInstance*, int32_t, ScriptValue*) { return true; }
