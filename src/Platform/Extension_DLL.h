#pragma once
// Functions of native libraries that game code and extension packages call:
// defined by library path and symbol name with their argument and result
// types, called with game values, and let go of by library path. Defined
// functions are numbered from 0 in the order they were defined; the number is
// what external_define gives game code.
#include <cstdint>

struct ScriptValue;

// Most arguments a library function takes; with more than this many only
// reals are allowed.
constexpr int kDllMaxArguments = 16;
constexpr int kDllMaxMixedArguments = 4;

// Defines symbol of the library at path (re-rooted into the save area or the
// bundle when the file is there) taking argc arguments, types[k] 1 for a
// text and 0 for a real, returning a text when stringResult. The call type
// is accepted and not consulted: every function is called in the platform's
// C convention. The index of the definition, or -1 (with a log line saying
// why, except for a symbol the library lacks).
int32_t DLL_Define(const char* path, const char* symbol, int32_t callType, int32_t argc, const int32_t* types,
                   bool stringResult);

// Calls definition index with argc game values. The result is the real 0
// unless the index is defined, argc is its argument count, its library is
// loaded and library calls are allowed (-ext forbids them); otherwise the
// function's real, or a copy of its text (a string without text when it
// returned none).
void DLL_Call(int32_t index, int argc, ScriptValue* args, ScriptValue* result);

// Lets go of the library loaded for path (the path as DLL_Define resolved
// it): every definition made from it is left without a library.
void DLL_Free(const char* path);
