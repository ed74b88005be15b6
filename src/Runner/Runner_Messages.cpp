#include "Runner/Runner_Entry.h"

// Until the game window exists the only message is the quit request; the
// window layer's event translation takes over the pump when it arrives.
namespace {
bool s_quitPosted = false;
}

int DispatchPendingMessages()
{
    if (s_quitPosted) {
        s_quitPosted = false;
        MainLoopRunning = 0;
    }
    return 0;
}

void Runner_PostQuit()
{
    s_quitPosted = true;
}

void Runner_DiscardMessages()
{
    s_quitPosted = false;
}
