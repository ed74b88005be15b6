#pragma once
// STAND-INS for the start-up, main-loop and game-end services of the runner
// that later work builds; the restart loop calls them in their fixed order.

bool RunnerInit();
// Reads the game (RunnerLoadGame) and would start it; false: not started.
bool RunnerStartUp();
void Run_Frame();
void Run_EndGame();
void RunnerEndRun();
void RunnerShutdown();
// Frees the per-game strings so the next pass finds its game afresh.
void RunnerReset();
// Ends the running game at the end of the frame.
// RequestGameEnd: Runner/Run_Room_Stub.h
