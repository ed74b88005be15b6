// STAND-IN: the start-up sequence, main loop and shutdown come with later work.
#include "Runner/Runner_StartUp_Stub.h"

#include "Base/Thread.h"
#include "Base/Timing.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_LoadGame_Stub.h"
#include "Runner/Runner_Options.h"
#include "Runner/Runner_Strings.h"

bool RunnerInit()
{
    Timing_Init();
    return true;
}

bool RunnerStartUp()
{
    Thread_MarkMainThread();
    RunnerLoadGame();
    return false;  // nothing more can start yet
}

void Run_Frame() { MainLoopRunning = 0; }
void Run_EndGame() {}
void RunnerEndRun() {}
void RunnerShutdown() {}

void RunnerReset()
{
    Runner_FreeText(&GameFilePath);
    Runner_FreeGameFolder();
}

