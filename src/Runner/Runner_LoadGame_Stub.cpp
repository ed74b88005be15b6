// STAND-IN until the game-data reader exists: chooses the game file as the
// reader will, and reports a game that cannot be read.
#include "Runner/Runner_LoadGame_Stub.h"

#include <cstdio>
#include <cstdlib>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Host/Host_Paths.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_Options.h"
#include "Runner/Runner_Services_Stub.h"
#include "Runner/Runner_StartUp_Stub.h"
#include "Runner/Run_Room_Stub.h"

bool RunnerLoadGame()
{
    VerboseConsole->Output("RunnerLoadGame: %s\n", GameFilePath ? GameFilePath : "");
    if (!GameFilePath || !GameFilePath[0]) {
        char* chosen = HeadlessMode.noDialogs ? nullptr : AskForGameFile();
        if (chosen) {
            QS_FREE(GameFilePath);
            GameFilePath = chosen;
        }
    }
    // Without any path the message names the default game file, so that the
    // user learns where the runner looked.
    const char* path = (GameFilePath && GameFilePath[0]) ? GameFilePath : GetDefaultGameFilePath();
    VerboseConsole->Output("Reading File %s\n", path);
    if (Host_FileReadable(path)) return false;  // the reader itself comes later

    OutputConsole->Output("FAILED to load File %s\n", path);
    char message[1024];
    std::snprintf(message, sizeof message, "Unable to find game!!: %s", path);
    ShowMessageBox(message);
    if (ChildGame) {
        RequestGameEnd();
        return false;
    }
    std::fflush(nullptr);
    std::exit(1);
}
