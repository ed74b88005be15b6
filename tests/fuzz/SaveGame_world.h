#pragma once
// The running game that the saved-game fuzz target loads into and its seed
// program saves: two objects, three rooms (room 0 persistent and dormant,
// room 1 current with tiles and instances carrying values), globals and a
// camera. Errors are reported without dialogs and never end the process.
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Buffer/Buffer_Main.h"
#include "Code/Code_Variable.h"
#include "Options/Runner_Options.h"
#include "Runner/Game_SaveLoad.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Hooks.h"
#include "Variable/Code_VariableValue.h"
#include "World/Camera.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Room_Main.h"

namespace savegame {
inline void StartWorld()
{
    Console_SetStdoutSuppressed(true);
    Runner_InstallHooks();
    ShowErrorDialogs = false;
    HeadlessMode.noDialogs = true;
    ChildGame = true;
    Variable_SetCounts(2, 2, 0);
    Variable_CreateGlobalObject();
    Object_Init();
    const int32_t object = Object_CreateEmpty();
    Object_CreateEmpty();
    Object_LinkParents();
    Room_Init();
    for (int i = 0; i < 3; ++i) Room_Add();
    CameraList::CreateCamera();
    Run_StartRoom(0, true);
    Run_Room->persistent = true;
    Run_Room->CreateInstance(10, 20, object);
    SwitchRoom(1);
    CInstance* a = Run_Room->CreateInstance(3, 4, object);
    ScriptValue_SetString(a->SlotAt(1), "text");
    ScriptValue_SetReal(a->SlotAt(0), 2.5);
    a->SetAlarm(3, 12);
    Run_Room->CreateInstance(30, 40, object)->depth = -5;
    STile tile{1, 2, 0, 0, 0, 16, 16, 5, 17, 1, 1, 0xFFFFFF, 1, true};
    Run_Room->AppendTile(tile);
    ScriptValue number = ScriptValue_Real(7);
    Variable_SetGlobalValue(VARIABLE_ID_BASE, ARRAY_INDEX_NONE, &number);
}

inline std::vector<uint8_t> Save()
{
    IBuffer buffer(256, eBuffer_Grow, 1);
    Game_WriteSave(&buffer);
    return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Position());
}
}  // namespace savegame
