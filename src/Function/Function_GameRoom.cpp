// The room, game, transition and sleep built-ins of the instance and motion group.
#include "Code/Code_Arguments.h"
#include "Code/Code_Value.h"
#include "Function/Function_Game.h"
#include "World/Run_CommandRoom.h"

void F_RoomGoto(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args) { Room_Goto(Arg_Int32(args, 0)); }
void F_RoomGotoPrevious(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) { Room_GotoPrevious(); }
void F_RoomGotoNext(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) { Room_GotoNext(); }
void F_RoomRestart(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) { Room_Restart(); }
void F_GameEnd(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) { Game_End(); }
void F_GameRestart(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*) { Game_Restart(); }

void F_RoomPrevious(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Room_PreviousOf(Arg_Int32(args, 0)));
}

void F_RoomNext(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Room_NextOf(Arg_Int32(args, 0)));
}

// Room transitions are gone; the two built-ins only answer.
void F_TransitionAnswer(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*) { ScriptValue_SetReal(result, -1); }

void F_Sleep(ScriptValue*, CInstance*, CInstance*, int, ScriptValue* args) { Game_Sleep(Arg_Int32(args, 0)); }
