// The demo game's event code, compiled by hand to the runner's contract: a
// call-chain frame per function with the running statement's line, the
// code's own variables by slot, built-in variables by their resolved ids,
// built-ins by their resolved table indexes.
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Variable/Code_VariableValue.h"
#include "GameModule.h"
#include "IO/IO_Main.h"
#include "World/Instance.h"

namespace {
constexpr int kKeyLeft = 37;
constexpr int kKeyRight = 39;

// The unit's scratch result of built-in calls: undefined before the program
// entry runs, released by the exit handler of static objects.
struct Scratch {
    ScriptValue value = ScriptValue_Undefined();
    ~Scratch() { ScriptValue_SetUndefined(&value); }
} s_scratch;

ScriptValue* OwnVariable(CInstance* self, int32_t slot)
{
    return self->SlotAt(slot);
}

// Own variable slot = fn(text): the built-in's result lands in the scratch
// value, is assigned, and the scratch is made undefined again. The slot is
// looked up after the call, which may grow self's slots.
void AssignCall(CInstance* self, CInstance* other, int32_t slot, const LinkFunctionRef& fn, const char* text)
{
    ScriptValue argument;
    ScriptValue_InitString(&argument, text);
    ScriptValue* args[] = {&argument};
    CallBuiltinFunction(self, other, &s_scratch.value, 1, fn.index, args);
    OwnVariable(self, slot)->Assign(s_scratch.value);
    ScriptValue_SetUndefined(&s_scratch.value);
    ScriptValue_SetUndefined(&argument);
}

// value -= amount, by the left operand's kind.
void SubtractAssign(ScriptValue* value, ScriptValue* amount)
{
    switch (value->Kind()) {
    case VALUE_REAL:
    case VALUE_BOOL:
        value->real -= ScriptValue_ToReal(amount);
        value->kind = VALUE_REAL;
        break;
    case VALUE_INT32:
        value->i32 = static_cast<int32_t>(static_cast<uint32_t>(value->i32) -
                                          static_cast<uint32_t>(ScriptValue_ToInt32(amount)));
        break;
    case VALUE_INT64:
        value->i64 = static_cast<int64_t>(static_cast<uint64_t>(value->i64) -
                                          static_cast<uint64_t>(ScriptValue_ToInt64(amount)));
        break;
    default:
        ScriptValue_OperatorTypeError("-=", value, amount);
        break;
    }
}

void SetBuiltin(CInstance* self, const LinkVariableRef& ref, double number)
{
    ScriptValue value = ScriptValue_Real(number);
    Variable_SetValue(self, ref.id, ARRAY_INDEX_NONE, &value);
}

// Built-in variable += / -= a number.
void AddToBuiltin(CInstance* self, const LinkVariableRef& ref, double amount, bool subtract)
{
    ScriptValue value = ScriptValue_Undefined();
    Variable_GetValue(self, ref.id, ARRAY_INDEX_NONE, &value);
    ScriptValue operand = ScriptValue_Real(amount);
    if (subtract) SubtractAssign(&value, &operand);
    else value.AddAssign(operand);
    Variable_SetValue(self, ref.id, ARRAY_INDEX_NONE, &value);
    ScriptValue_SetUndefined(&value);
}
}  // namespace

void qsc_Object_object_Game_Create_0(CInstance* self, CInstance* other, ScriptValue*, int, ScriptValue**)
{
    StackTraceFrame frame("qsc_Object_object_Game_Create_0", 1);
    OwnVariable(self, SLOT_TILESIZE)->Assign(ScriptValue_Real(16));
    frame.line = 2;
    AssignCall(self, other, SLOT_MAP, Ref_layer_tilemap_get_id, "Collisions");
    frame.line = 3;
    AssignCall(self, other, SLOT_MOUNTAINS, Ref_layer_get_all_elements, "Tiles_Mountains");
    frame.line = 4;
    AssignCall(self, other, SLOT_TREES, Ref_layer_get_all_elements, "Tiles_Trees");
    frame.line = 5;
    AssignCall(self, other, SLOT_CLOUDS, Ref_layer_get_all_elements, "Tiles_Clouds");
}

// An empty event body pushes no frame.
void qsc_Object_object_Player_Create_0(CInstance*, CInstance*, ScriptValue*, int, ScriptValue**) {}

void qsc_Object_object_Player_Step_0(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)
{
    StackTraceFrame frame("qsc_Object_object_Player_Step_0", 9);
    if (IO_KeyboardCheck(kKeyLeft)) {
        frame.line = 10;
        AddToBuiltin(self, Ref_x, 3, true);
        frame.line = 11;
        SetBuiltin(self, Ref_image_xscale, 1);
    }
    frame.line = 14;
    if (IO_KeyboardCheck(kKeyRight)) {
        frame.line = 15;
        AddToBuiltin(self, Ref_x, 3, false);
        frame.line = 16;
        SetBuiltin(self, Ref_image_xscale, -1);
    }
}
