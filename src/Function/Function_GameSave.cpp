#include "Function/Function_GameSave.h"

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"


namespace {
void NoFile(const char*) {}
bool NoBuffer(int32_t) { return false; }
GameSaveLoadHooks s_hooks = {NoFile, NoBuffer, NoFile, NoBuffer};

// None of them hands a result back to game code.
void F_GameSave(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const char* name = Arg_String(args, 0);
    s_hooks.save(name);
}

void F_GameSaveBuffer(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const int32_t buffer = Arg_Int32(args, 0);
    s_hooks.saveBuffer(buffer);
}

void F_GameLoad(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const char* name = Arg_String(args, 0);
    s_hooks.load(name);
}

void F_GameLoadBuffer(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args)
{
    const int32_t buffer = Arg_Int32(args, 0);
    s_hooks.loadBuffer(buffer);
}
}  // namespace

void InitGameSaveLoadFunctions()
{
    CodeFunction_Register("game_save", F_GameSave, 1, 0);
    CodeFunction_Register("game_save_buffer", F_GameSaveBuffer, 1, 0);
    CodeFunction_Register("game_load", F_GameLoad, 1, 0);
    CodeFunction_Register("game_load_buffer", F_GameLoadBuffer, 1, 0);
}

void GameSave_SetHooks(const GameSaveLoadHooks& hooks)
{
    s_hooks.save = hooks.save ? hooks.save : NoFile;
    s_hooks.saveBuffer = hooks.saveBuffer ? hooks.saveBuffer : NoBuffer;
    s_hooks.load = hooks.load ? hooks.load : NoFile;
    s_hooks.loadBuffer = hooks.loadBuffer ? hooks.loadBuffer : NoBuffer;
}
