// STAND-IN until the input-and-dialogs subsystem exists: every message box
// behaves as the headless one does.
#include <cstdio>

#include "Runner/Runner_Services_Stub.h"

int ShowMessageBox(const char* text)
{
    std::fprintf(stderr, "%s\n", text ? text : "");
    std::fflush(stderr);
    return 1;  // OK
}
