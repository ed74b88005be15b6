#pragma once
// STAND-INS for services of subsystems that are not built yet. Each keeps the
// interface its caller relies on and goes when its subsystem arrives.

// Physics: report failed physics assertions as errors (-debug).
void Physics_EnableAssertReports();

// Input and dialogs: the message box.
#include "IO/Dialog_Stub.h"

// Platform services: open-file dialog for a game file when none is known;
// a memory-manager copy of the chosen path, or null.
char* AskForGameFile();
// Platform services: the game-change request of a running game.
void kvw_player_run(const char* nextGame, const char* returnGame, const char* saveFolder);
bool kvw_player_restarted();
const char* kvw_player_launch_args();


// Save area and bundle: whether a file ships beside the game.
bool LoadSave_BundleFileExists(const char* name);
