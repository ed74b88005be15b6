#include "Function/Instance_MotionFunctions.h"

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "World/Instance.h"

void F_MotionSet(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    const float dir = Arg_Float(args, 0);
    const float speed = Arg_Float(args, 1);
    if (!self) return;
    self->SetDirection(dir);
    self->SetSpeed(speed);
}

void F_MotionAdd(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    const float dir = Arg_Float(args, 0);
    const float length = Arg_Float(args, 1);
    if (self) self->AddMotion(dir, length);
}

void F_PathStart(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue* args)
{
    const int32_t path = Arg_Int32(args, 0);
    const float speed = Arg_Float(args, 1);
    const int32_t endAction = Arg_Int32(args, 2);
    const bool absolute = Arg_Bool(args, 3);
    if (self) self->SetPath(path, speed, 1.0f, 0.0f, !absolute, endAction);
}

void F_PathEnd(ScriptValue*, CInstance* self, CInstance*, int, ScriptValue*)
{
    if (self) self->SetPath(-1, 0.0f, 1.0f, 0.0f, false, 0);
}
