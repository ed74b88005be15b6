#include "Base/ProcessEnd.h"

#include <cstdio>

#include "Host/Host_Crash.h"

void Process_End(int code)
{
    std::fflush(nullptr);
    Host_ExitImmediately(code);
}
