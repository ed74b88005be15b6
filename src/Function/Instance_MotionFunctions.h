#pragma once
// The motion and path built-ins: motion_set, motion_add, path_start, path_end
// (the instance and motion group registers them).
// None of them sets a result.
#include "Code/Code_Value.h"

class CInstance;

void F_MotionSet(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void F_MotionAdd(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void F_PathStart(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void F_PathEnd(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
