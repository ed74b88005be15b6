#include "Variable/Variable_Context.h"

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "GameData/GameHeader.h"
#include "Variable/Variable_BuiltIn.h"
#include "World/Event_Drivers.h"
#include "World/Event_Main.h"

namespace {
bool GetRelative(CInstance*, int32_t, ScriptValue* out) { return BuiltIn_Real(out, ArgumentRelative ? 1 : 0); }

// Actions are not numbered within an event.
bool GetEventAction(CInstance*, int32_t, ScriptValue* out) { return BuiltIn_Real(out, 0); }

bool GetErrorOccurred(CInstance*, int32_t, ScriptValue* out) { return BuiltIn_Real(out, error_occurred ? 1 : 0); }

bool SetErrorOccurred(CInstance*, int32_t, ScriptValue* value)
{
    error_occurred = BuiltIn_ToReal(value) >= 0.5;
    return true;
}

bool GetErrorLast(CInstance*, int32_t, ScriptValue* out)
{
    const char* text = ErrorLast_Get();
    ScriptValue_SetString(out, text ? text : "");
    return true;
}

// A value that is not a string becomes the text string() gives it.
bool SetErrorLast(CInstance*, int32_t, ScriptValue* value)
{
    if (value->Kind() == VALUE_STRING) {
        const char* text = ScriptValue_StringText(value);
        ErrorLast_Set(text ? text : "");
        return true;
    }
    char* text = ValueToNewString(value);
    ErrorLast_Set(text ? text : "");
    Code_FreeMemory(text);
    return true;
}

bool GetDebugMode(CInstance*, int32_t, ScriptValue* out) { return BuiltIn_Real(out, (GameGeneral.debugFlag & 1) ? 0 : 1); }

template <intptr_t Address>
bool GetPointer(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetUndefined(out);
    out->ptr = reinterpret_cast<void*>(Address);
    out->kind = VALUE_PTR;
    return true;
}

bool GetUndefined(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetUndefined(out);
    return true;
}

const BuiltinAccessors kAccessors[] = {
    {"argument_relative", GetRelative, nullptr},
    {"event_type", BuiltIn_GetNumber<&Event_CurrentKind>, nullptr},
    {"event_number", BuiltIn_GetNumber<&Event_CurrentNumber>, nullptr},
    {"event_object", BuiltIn_GetNumber<&Event_CurrentObject>, nullptr},
    {"event_action", GetEventAction, nullptr},
    {"iap_data", BuiltIn_GetNumber<&IapDataMapId>, nullptr},
    {"error_occurred", GetErrorOccurred, SetErrorOccurred},
    {"error_last", GetErrorLast, SetErrorLast},
    {"debug_mode", GetDebugMode, nullptr},
    {"pointer_invalid", GetPointer<-1>, nullptr},
    {"pointer_null", GetPointer<0>, nullptr},
    {"undefined", GetUndefined, nullptr},
};
}  // namespace

bool Variable_ContextAccessors(const char* name, BuiltinGetter* getter, BuiltinSetter* setter)
{
    return Variable_FindAccessors(kAccessors, name, getter, setter);
}
