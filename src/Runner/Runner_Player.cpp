#include "Runner/Runner_Entry.h"
#include "Options/Runner_Options.h"
#include "Runner/Runner_Player.h"
#include "Options/Runner_Strings.h"

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
