#pragma once
#include "Base/ErrorReport.h"
#include "IO/LoadSave.h"
// Process entry of the runner: the restart loop around one game run, and the
// small process-wide services needed before any game data is read (paths,
// the save-area prefix, the message pump, flattened file names, crash
// handlers, the splash screen).
#include <cstdint>

// ---- Entry and restart loop ----------------------------------------------

// The runner's main: rebuilds the command line from argv and runs the restart
// loop; returns 0 when the last pass ends, 1 when a fatal error stopped it.
int Runner_Main(int argc, char** argv);

// argv as one command line: arguments joined by spaces, each one holding a
// space or control byte (or empty) wrapped in double quotes. The command-line
// syntax has no escape for a double quote, so quotes inside an argument are
// left out instead of splitting it. Memory-manager copy.
char* Runner_BuildCommandLine(int argc, char** argv);

// Decides after a pass whether another game runs next, and rebuilds the
// command line for it.
void RunnerRestart();

// The game-change request of a running game (kvw_player_run).
struct GameChangeRequest {
    bool pending = false;
    char* nextGame = nullptr;
    char* returnGame = nullptr;  // the game to resume afterwards; may be null
    char* saveFolder = nullptr;  // save-area prefix of the next game
};

extern char* RunnerCommandLine;  // the whole command line (UTF-8), memory-manager owned
extern bool RestartRequested;
extern bool FirstRun;
// ChildGame lives with the error report (Base/ErrorReport.h).
extern GameChangeRequest PendingGameChange;
extern uint8_t MainLoopRunning;

// ---- Paths ---------------------------------------------------------------

// Path of the running executable; cached for the process ("" when unknown).
const char* GetExecutablePath();
// Folder of GameFilePath with a trailing '/'; cached until Runner_FreeGameFolder.
// "./" while no game file is known or when the path has no folder.
const char* GetGameFolder();
void Runner_FreeGameFolder();
// data.win in the executable's folder.
const char* GetDefaultGameFilePath();


// ---- Messages ------------------------------------------------------------

// Handles every waiting message; a quit request ends the main loop. Returns 0.
int DispatchPendingMessages();
// Asks the main loop to end (the window's quit message).
void Runner_PostQuit();
// Drops what the previous pass's window left in the queue, and a quit request.
void Runner_DiscardMessages();
// True once a quit request (window closed, SIGTERM) was handled in this pass,
// start-up included: the main loop must not start after one.
bool Runner_QuitRequested();

// ---- Flattened file names ------------------------------------------------

// Files shipped with a game may carry folder paths flattened into their names,
// '@' standing for the separator: cfg@sub@a.txt becomes cfg/sub/a.txt.
// Unpacks every writable, visible plain file of folder.
void UnpackFlattenedFiles(const char* folder);
// Unflattens one file of folder; returns true when it was moved. Names that
// would leave the folder (an empty, "." or ".." component) or are 2048 bytes
// or longer are left alone, as are names without '@'.
bool UnflattenFile(const char* folder, const char* name);

// ---- Crash handlers (-headless) ------------------------------------------

void Runner_InstallCrashHandlers();
// Handler of fatal signals: one line on standard output, exit code 1.
[[noreturn]] void Runner_CrashFilter(int signalNumber);
// Handler of failed run-time checks: one line on standard output, exit code 1.
[[noreturn]] void Runner_RuntimeCheckReport(int type, const char* file, int line, const char* module);

// ---- Splash screen -------------------------------------------------------

// True when "splash.png" ships with the game.
bool Splash_Exists();
// Shows the splash; does nothing with -headless, without a splash, or while
// no graphics device exists.
void RunnerShowSplash();
// Draws one splash frame (-1 releases the image); nothing without a device.
void Splash_DrawFrame(int frame);
