#include "Base/ErrorReport.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "Base/Console.h"

void ReportRuntimeError(const char* message, bool fatal)
{
    ShowRuntimeError(message ? message : "", fatal);
}

void ShowRuntimeError(const char* text, bool)
{
    OutputConsole->Output("ERROR!!! :: %s\n", text);
}

void FatalRuntimeError(const char* format, ...)
{
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    ReportRuntimeError(buffer, true);
    std::fflush(nullptr);
    std::exit(1);
}
