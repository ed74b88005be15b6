#pragma once
// Stand-in for the runner's message pump and quit request until the program
// entry and the game window exist.

// Asks the game window's message loop to end.
void Runner_PostQuit();
// Handles every pending window message.
void DispatchPendingMessages();
