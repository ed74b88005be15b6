// The instance built-ins of the instance and motion group: creation, copy,
// change, destruction, counting and finding, activation.
#include "Code/Code_Arguments.h"
#include "Code/Code_Value.h"
#include "Function/Function_Game.h"
#include "GameData/GameHeader.h"
#include "World/Instance.h"
#include "World/Instance_Destroy.h"
#include "World/Run_CommandInstance.h"

namespace {
// The instance's id; in object mode the instance itself as an object value.
void SetId(ScriptValue* result, CInstance* instance, double none)
{
    if (!instance || !ObjectMode) {
        ScriptValue_SetReal(result, instance ? instance->id : none);
        return;
    }
    if (result->MayOwn()) ScriptValue_FreePayload(result);
    result->obj = instance;
    result->flags = 0;
    result->kind = VALUE_OBJECT;
}
}  // namespace

void F_InstanceCreate(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    const float x = Arg_Float(args, 0), y = Arg_Float(args, 1);
    SetId(result, Instance_Create(Arg_Int32(args, 2), x, y), -1);
}

void F_InstanceCreateDepth(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    const float x = Arg_Float(args, 0), y = Arg_Float(args, 1);
    const int32_t depth = Arg_Int32(args, 2);
    SetId(result, Instance_CreateDepth(Arg_Int32(args, 3), x, y, depth), -1);
}

void F_InstanceCreateLayer(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    const float x = Arg_Float(args, 0), y = Arg_Float(args, 1);
    const int32_t object = Arg_Int32(args, 3);
    CInstance* created = args[2].Kind() == VALUE_STRING ? Instance_CreateOnLayerName(object, x, y, Arg_String(args, 2))
                                                        : Instance_CreateOnLayerId(object, x, y, Arg_Int32(args, 2));
    SetId(result, created, -4);
}

void F_InstanceCopy(ScriptValue* result, CInstance* self, CInstance*, int, ScriptValue* args)
{
    SetId(result, Instance_Copy(self, Arg_Bool(args, 0)), -4);
}

void F_InstanceChange(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    const int32_t object = Arg_Int32(args, 0);
    Instance_Change(self, object, Arg_Bool(args, 1));
}

void F_InstanceDestroy(ScriptValue*, CInstance* self, CInstance* other, int argc, ScriptValue* args)
{
    const int32_t target = argc > 0 ? Arg_Int32(args, 0) : -1;
    const bool runEvents = argc > 1 ? Arg_Bool(args, 1) : true;
    Instance_DestroyByTarget(self, other, target, runEvents);
}

void F_PositionDestroy(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    Instance_DestroyAtPoint(Arg_Float(args, 0), Arg_Float(args, 1));
}

void F_PositionChange(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const float x = Arg_Float(args, 0), y = Arg_Float(args, 1);
    const int32_t object = Arg_Int32(args, 2);
    Instance_ChangeAtPoint(x, y, object, Arg_Bool(args, 3));
}

void F_InstanceExists(ScriptValue* result, CInstance* self, CInstance* other, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Instance_AnyActive(self, other, Arg_Int32(args, 0)) ? 1.0 : 0.0);
}

void F_InstanceNumber(ScriptValue* result, CInstance* self, CInstance* other, int, ScriptValue* args)
{
    const int32_t target = Arg_Int32(args, 0);
    if (target == -1 || target == -2) {
        const CInstance* instance = target == -1 ? self : other;
        ScriptValue_SetReal(result, instance && !instance->m_marked && !instance->m_deactivated ? 1.0 : 0.0);
        return;
    }
    ScriptValue_SetReal(result, Instance_Count(target));
}

void F_InstanceFind(ScriptValue* result, CInstance* self, CInstance* other, int, ScriptValue* args)
{
    const int32_t target = Arg_Int32(args, 0);
    SetId(result, Instance_FindNth(self, other, target, Arg_Int32(args, 1)), -4);
}

void F_InstanceIdGet(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Instance_IdAt(Arg_Int32(args, 0)));
}

void F_InstanceSprite(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Instance_SetSprite(self, Arg_Int32(args, 0));
}

void F_InstanceDeactivateAll(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    Instance_DeactivateAll(self, Arg_Bool(args, 0));
}

void F_InstanceDeactivateObject(ScriptValue*, CInstance* self, CInstance* other, int, ScriptValue* args)
{
    Instance_DeactivateObject(self, other, Arg_Int32(args, 0));
}

void F_InstanceDeactivateRegion(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    const float left = Arg_Float(args, 0), top = Arg_Float(args, 1), width = Arg_Float(args, 2), height = Arg_Float(args, 3);
    const bool inside = Arg_Bool(args, 4);
    Instance_DeactivateRegion(self, left, top, width, height, inside, Arg_Bool(args, 5));
}

void F_InstanceActivateAll(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) { Instance_ActivateAll(); }

void F_InstanceActivateObject(ScriptValue*, CInstance* self, CInstance* other, int, ScriptValue* args)
{
    Instance_ActivateObject(self, other, Arg_Int32(args, 0));
}

void F_InstanceActivateRegion(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const float left = Arg_Float(args, 0), top = Arg_Float(args, 1), width = Arg_Float(args, 2), height = Arg_Float(args, 3);
    Instance_ActivateRegion(left, top, width, height, Arg_Bool(args, 4));
}
