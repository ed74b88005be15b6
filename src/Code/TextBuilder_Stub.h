#pragma once
// Stand-in for the shared growable text buffer (C heap) until the text
// routines are merged; AppendValue belongs to the value operations.
#include <cstdint>

struct ScriptValue;

struct TextBuilder {
    char* data = nullptr;
    int32_t capacity = 0;
    int32_t length = 0;

    void AppendValue(const ScriptValue* value);
    void Free();
};
