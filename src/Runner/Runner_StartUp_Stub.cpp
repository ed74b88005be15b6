// STAND-IN: the start-up sequence, main loop and shutdown come with later work.
#include "Runner/Runner_StartUp_Stub.h"

#include "Base/Thread.h"
#include "Base/ErrorReport.h"
#include "Base/Timing.h"
#include "Code/Code_Variable.h"
#include "Graphics/BuiltinImages.h"
#include "Graphics/TexturesM.h"
#include "Object/LayerFunctions_Stub.h"
#include "Object/Object_Main.h"
#include "Object/Room_Main.h"
#include "Object/TimeLine_Main.h"
#include "Path/Path_Main.h"
#include "Runner/Runner_Entry.h"
#include "Runner/GameChunks.h"
#include "Runner/GameData.h"
#include "Runner/GameHeader.h"
#include "Runner/Runner_LoadGame.h"
#include "Runner/Runner_Options.h"
#include "Runner/Runner_Strings.h"
#include "Script/Script_Main.h"
#include "Variable/Variable_BuiltIn.h"

bool RunnerInit()
{
    GR_D3D_SetBuiltinTextureSource(BuiltinImages_Table);
    Timing_Init();
    Variable_BuiltIn_Init();
    Path_Init();
    Variable_InitGlobalFlags();
    InitLayerFunctions();
    return true;
}

bool RunnerStartUp()
{
    Thread_MarkMainThread();
    RunnerLoadGame();
    if (!GameData) return false;  // a child game without data already asked to end
    if (!LoadGameHeader(GameData, GameDataSize) || !LoadGameData()) {
        RunnerRefuseGameData();
        return false;
    }
    if (!Script_Prepare()) return false;
    if (!TimeLine_Prepare()) {
        ShowRuntimeError("Failed to compile the actions in the time lines.", true);
        return false;
    }
    if (!Object_Prepare() || !Room_Prepare()) return false;
    return false;  // nothing more can start yet
}

void Run_Frame() { MainLoopRunning = 0; }
void Run_EndGame() {}
void RunnerEndRun() {}
void RunnerShutdown() { Variable_BuiltIn_Free(); }

void RunnerReset()
{
    Runner_FreeText(&GameFilePath);
    Runner_FreeGameFolder();
}

