// Stand-in: see Dialog_Stub.h. The dialog interface replaces it.
#include "IO/Dialog_Stub.h"

#include <cstdio>
#include <string>

#include "Base/Console.h"

namespace {
std::string g_LastMessage;
}  // namespace

int ShowMessageBox(const char* text)
{
    g_LastMessage = text ? text : "";
    std::fprintf(stderr, "%s\n", g_LastMessage.c_str());
    LogConsole->Output("%s\n", g_LastMessage.c_str());
    return 1;
}

const char* Dialog_LastMessage() { return g_LastMessage.c_str(); }
