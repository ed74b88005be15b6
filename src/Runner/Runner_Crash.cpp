#include <cstdio>

#include "Host/Host_Crash.h"
#include "Runner/Runner_Entry.h"

namespace {
void OnFault(int signalNumber)
{
    Runner_CrashFilter(signalNumber);
}

// Linux has no run-time-check callback with a source position; an abort is
// the nearest thing, and it is reported as a check of that signal's number.
void OnAbort(int signalNumber)
{
    Runner_RuntimeCheckReport(signalNumber, "abort", 0, GetExecutablePath());
}
}  // namespace

void Runner_InstallCrashHandlers()
{
    GetExecutablePath();  // cached now: the handlers must not allocate
    Host_InstallCrashHandlers(OnFault, OnAbort);
}

void Runner_CrashFilter(int)
{
    Host_WriteStdoutRaw("Exception detected during the unit tests!\n");
    Host_ExitImmediately(1);
}

void Runner_RuntimeCheckReport(int type, const char* file, int line, const char* module)
{
    // snprintf of %d and %s into a fixed buffer does not allocate.
    char text[1024];
    std::snprintf(text, sizeof text, "Error type %d at %s line %d in %s", type, file, line, module);
    Host_WriteStdoutRaw(text);
    Host_ExitImmediately(1);
}
