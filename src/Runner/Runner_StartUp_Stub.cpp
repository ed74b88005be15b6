// STAND-IN: the start-up sequence, main loop and shutdown come with later work.
#include "Runner/Runner_StartUp_Stub.h"

#include "Runner/Runner_Entry.h"
#include "Runner/Runner_LoadGame_Stub.h"
#include "Runner/Runner_Options.h"
#include "Runner/Runner_Strings.h"

bool RunnerInit() { return true; }

bool RunnerStartUp()
{
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

