// STAND-IN: the layer built-ins come with the room layers.
#include "Object/LayerFunctions_Stub.h"

#include "Code/Code_Function.h"

void F_LayerTilemapGetId(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetReal(result, -1);
}

void F_LayerGetAllElements(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    ScriptValue_SetUndefined(result);
    RefArray* empty = RefArray_New(result);
    if (!empty) return;
    result->arr = empty;
    result->kind = VALUE_ARRAY;
}

void InitLayerFunctions()
{
    CodeFunction_Register("layer_tilemap_get_id", F_LayerTilemapGetId, 1, 0);
    CodeFunction_Register("layer_get_all_elements", F_LayerGetAllElements, 1, 0);
}
