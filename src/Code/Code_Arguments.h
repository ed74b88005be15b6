#pragma once
// Argument getters of built-in functions: each converts argument n with the
// kind checks and messages every built-in shares.
#include <cstdint>

#include "Code/Code_Value.h"

bool Arg_Bool(ScriptValue* args, int n);
float Arg_Float(ScriptValue* args, int n);
int32_t Arg_Int32(ScriptValue* args, int n);
int64_t Arg_Int64(ScriptValue* args, int n);
uint32_t Arg_UInt32(ScriptValue* args, int n);
double Arg_Real(ScriptValue* args, int n);
// Pointer-sized: a pointer argument keeps all its bits.
intptr_t Arg_NumberOrPointer(ScriptValue* args, int n);
// Valid while the argument value lives; null for a string without record or an object.
const char* Arg_String(ScriptValue* args, int n);
// Compiled code may pass fewer arguments than a routine reads; reading past
// them would read stale stack. False, with a non-fatal report naming the
// running built-in (or fallbackName), when fewer than count were given.
bool Arg_Need(int argc, int count, const char* fallbackName);
