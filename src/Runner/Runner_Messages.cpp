#include "Graphics/Graphics_Window.h"
#include "Host/Host_Window.h"
#include "Runner/Runner_Entry.h"

namespace {
bool s_quitRequested = false;
}

// Every waiting window message goes to the window procedure; a posted quit
// request ends the main loop.
int DispatchPendingMessages()
{
    if (HostWindow_DispatchMessages(GR_Window_WndProc)) {
        MainLoopRunning = 0;
        s_quitRequested = true;
    }
    return 0;
}

bool Runner_QuitRequested() { return s_quitRequested; }

void Runner_PostQuit()
{
    HostWindow_PostQuitMessage();
}

void Runner_DiscardMessages()
{
    HostWindow_ResetMessages();
    s_quitRequested = false;
}
