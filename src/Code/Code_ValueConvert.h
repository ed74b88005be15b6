#pragma once
// Operations every part of the runtime applies to values: conversion to
// numbers, kind names, the text form, hashing, tolerant comparison and the
// compound operators of compiled code.
#include <cstdint>

#include "Code/Code_Value.h"

struct HeapTextBuilder;

double ScriptValue_ToReal(ScriptValue* value);
int32_t ScriptValue_ToInt32(ScriptValue* value);
int64_t ScriptValue_ToInt64(ScriptValue* value);
intptr_t ScriptValue_ToPointer(ScriptValue* value);
// Const forms for values known not to be arrays (arrays convert through a write).
inline double ScriptValue_ToReal(const ScriptValue* value) { return ScriptValue_ToReal(const_cast<ScriptValue*>(value)); }

// Float to integer with a defined result for every input: NaN gives 0, values
// beyond the int64 range saturate; 32-bit results are the low 32 bits of that.
int64_t DoubleToInt64(double d);
inline int32_t DoubleToInt32(double d) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(DoubleToInt64(d)))); }

// Double to single precision; beyond the float range the result is an infinity.
float DoubleToFloat(double d);

const char* ScriptValue_KindName(const ScriptValue* value);

void ScriptValue_AppendText(char** cursor, char** start, int32_t* capacity, const ScriptValue* value);
// Appends the text form of value to a heap text builder.
void TextBuilder_AppendValue(HeapTextBuilder* builder, const ScriptValue* value);
char* AppendTextGrow(char** cursor, char** start, int32_t* capacity, const char* text);
// The value's text as string() gives it: a new memory-manager text the caller frees.
char* ValueToNewString(const ScriptValue* value);

uint32_t ScriptValue_Hash(const ScriptValue* value);
int Value_CompareEpsilon(const ScriptValue* a, const ScriptValue* b, double tolerance);

void ScriptValue_OperatorTypeError(const char* op, const ScriptValue* lhs, const ScriptValue* rhs);
