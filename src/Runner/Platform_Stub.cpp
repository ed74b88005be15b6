// STAND-IN until the platform-services subsystem exists.
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_Options.h"
#include "Runner/Runner_Services_Stub.h"
#include "Runner/Runner_Strings.h"

char* AskForGameFile()
{
    return nullptr;  // no file dialog yet
}

void kvw_player_run(const char* nextGame, const char* returnGame, const char* saveFolder)
{
    GameChangeRequest& request = PendingGameChange;
    Runner_ReplaceText(&request.nextGame, nextGame);
    Runner_ReplaceText(&request.returnGame, returnGame);
    Runner_ReplaceText(&request.saveFolder, saveFolder);
    request.pending = true;
}

bool kvw_player_restarted()
{
    return !FirstRun;
}

const char* kvw_player_launch_args()
{
    return LaunchArguments;
}
