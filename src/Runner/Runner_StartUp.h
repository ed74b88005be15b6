#pragma once
#include <cstdint>
// The fixed orders in which one pass of the restart loop brings the runner
// up and takes it down: early set-up, the logged start-up sequence, the
// registration of the built-in function groups, the preparation of the game,
// and the end, shutdown and reset of the pass.

// Early set-up that needs no game data; always true.
bool RunnerInit();
// Reads the game, makes the window and the device, prepares the game and
// starts it; true when the game was started.
bool RunnerStartUp();
// Registers every group of built-in functions (called by the header pass).
void InitQSCFunctions();
bool InitGraphicsAndTextures();
bool PrepareGame();
void RunnerEndRun();
void RunnerShutdown();
// Frees the per-game strings so the next pass finds its game afresh.
void RunnerReset();
// qsc_release_mode: the bounds-checking or the fast variants of some built-ins.
void SetReleaseMode(bool withChecks);
extern bool ReleaseModeChecks;

// The display-mode codes of the options chunk: -1 leaves the value as it is.
void DisplayModeFromCodes(uint32_t resolution, uint32_t frequency, uint32_t depth, int* width, int* height,
                          int* hertz, int* bits);
