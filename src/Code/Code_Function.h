#pragma once
// The table of built-in functions: registration by script name, look-up of a
// name as a callable id, and calls by table index from compiled code.
#include <cstdint>

#include "Code/Code_Value.h"

class CInstance;

typedef void (*BuiltinRoutine)(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);

struct BuiltinFunction {
    char name[64];
    BuiltinRoutine routine;
    int32_t argumentCount;  // -1: any number
    uint8_t flag;
    int32_t reserved;
};

// Callable ids shared with the interpreter.
constexpr int32_t CALLID_NONE = -1;
constexpr int32_t CALLID_SCRIPT_BASE = 100000;
constexpr int32_t CALLID_SCRIPT_EXECUTE = 499999;
constexpr int32_t CALLID_EXTENSION_BASE = 500000;

// The built-in being executed (null when none); argument errors name it.
extern BuiltinFunction* CurrentBuiltinFunction;

void CodeFunction_Register(const char* name, BuiltinRoutine routine, int32_t argumentCount, uint8_t flag);
// Where CodeFunction_Find looks before the built-ins: the index of the script,
// or of the extension function, of that name (-1 when none). Set by
// Runner_InstallHooks; until then (and for a null finder) no name is found.
void CodeFunction_SetNameFinders(int (*findScript)(const char*), int (*findExtension)(const char*));
bool CodeFunction_Find(const char* name, int32_t* outId);
void CodeFunction_GetInfo(int32_t index, const char** outName, BuiltinRoutine* outRoutine, int32_t* outArgumentCount,
                          uint8_t* outFlag);
// The record of a table index, null outside the table.
BuiltinFunction* CodeFunction_At(int32_t index);
void CodeFunction_ReplaceRoutine(const char* name, BuiltinRoutine routine);
void CodeFunction_FreeAll();
int32_t CodeFunction_Count();
int32_t CodeFunction_Capacity();

ScriptValue* CallBuiltinFunction(CInstance* self, CInstance* other, ScriptValue* result, int argc, int32_t index,
                                 ScriptValue** args);
