#include "Function/Function_LayerCommon.h"

#include <cstdio>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "World/Room_Class.h"

void LayerFn_WrongCount(const char* name)
{
    char text[128];
    std::snprintf(text, sizeof text, "%s() - wrong number of arguments", name);
    ShowRuntimeError(text, false);
}

void LayerFn_Error(const char* text)
{
    ShowRuntimeError(text, false);
}

void LayerFn_Log(const char* text)
{
    LogConsole->Output("%s", text);
}

bool LayerFn_Begin(ScriptValue* result, double preset, int argc, int count, const char* name)
{
    ScriptValue_SetReal(result, preset);
    if (argc == count) return true;
    LayerFn_WrongCount(name);
    return false;
}

RoomLayer* LayerFn_LayerArg(CGameRoom* room, ScriptValue* args, int n)
{
    if (!room) return nullptr;
    // A string is always a name, even one that spells a number.
    if (args[n].Kind() == VALUE_STRING) return Layer_FindByName(room, ScriptValue_StringText(&args[n]));
    return Layer_FindByID(room, Arg_Int32(args, n));
}

void LayerFn_IdArray(ScriptValue* result, const int32_t* ids, int32_t n)
{
    // One row filled directly: an index-encoded write would wrap past 32000 columns.
    ScriptValue_SetUndefined(result);
    RefArray* array = RefArray_New(result);
    if (!array) return;
    result->arr = array;
    result->kind = VALUE_ARRAY;
    if (n == 0) return;
    if (!RefArray_EnsureRow(array, 0, "Function_Layer") || !RefArray_EnsureColumn(array, 0, n - 1, "Function_Layer"))
        return;
    for (int32_t k = 0; k < n; ++k) ScriptValue_SetReal(&array->rows[0].elements[k], ids[k]);
}

int32_t LayerFn_AddElement(CGameRoom* room, RoomLayer* layer, LayerElement* element)
{
    return Layer_AddElement(room, layer, element, room == Run_Room);
}

void LayerFn_DestroyElement(ScriptValue* args)
{
    CGameRoom* room = Layer_GetTargetRoom();
    if (room) Layer_RemoveElementByID(room, Arg_Int32(args, 0), true, false);
}
