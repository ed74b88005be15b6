#include "Function/Function_GameSave.h"

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"

GameSaveLoadHooks Function_GameSaveLoad = {};

namespace {
// None of them hands a result back to game code.
void F_GameSave(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const char* name = Arg_String(args, 0);
    if (Function_GameSaveLoad.save) Function_GameSaveLoad.save(name);
}

void F_GameSaveBuffer(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const int32_t buffer = Arg_Int32(args, 0);
    if (Function_GameSaveLoad.saveBuffer) Function_GameSaveLoad.saveBuffer(buffer);
}

void F_GameLoad(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const char* name = Arg_String(args, 0);
    if (Function_GameSaveLoad.load) Function_GameSaveLoad.load(name);
}

void F_GameLoadBuffer(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const int32_t buffer = Arg_Int32(args, 0);
    if (Function_GameSaveLoad.loadBuffer) Function_GameSaveLoad.loadBuffer(buffer);
}
}  // namespace

void InitGameSaveLoadFunctions()
{
    CodeFunction_Register("game_save", F_GameSave, 1, 0);
    CodeFunction_Register("game_save_buffer", F_GameSaveBuffer, 1, 0);
    CodeFunction_Register("game_load", F_GameLoad, 1, 0);
    CodeFunction_Register("game_load_buffer", F_GameLoadBuffer, 1, 0);
}
