#pragma once
// A value in a saved game, and the typed entries of the interpreter's stack.
#include <cstdint>

#include "Code/Code_Value.h"

class IBuffer;

void ScriptValue_WriteToBuffer(const ScriptValue* value, IBuffer* buffer);
// False (value undefined) when the buffer ends early or holds counts that
// cannot fit in what is left of it, or arrays nested beyond any real game.
bool ScriptValue_ReadFromBuffer(ScriptValue* value, IBuffer* buffer);

// Typed stack entries: 0 double, 1 float, 2 int32, 3 int64, 4 int32 as bool,
// 5 a whole value, 6 string record pointer, 9 undefined.
const uint8_t* ScriptValue_ReadTyped(ScriptValue* dest, int type, const uint8_t* entry);
