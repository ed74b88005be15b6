#pragma once
// The text built-ins (part of the "Graphic.." group): draw_text in its eight
// forms and string_width / string_height with their _ext forms.
#include <cstdint>

#include "Code/Code_Value.h"

void InitGraphicTextFunctions();

// The value's text in a new memory-manager buffer of at least initialSize
// bytes, shrunk to fit; the caller frees it.
void FormatValueToString(const ScriptValue* value, int32_t initialSize, char** out);
