#include "Host/Host_Log.h"

#include <cstdarg>
#include <cstdio>

namespace {
constinit HostLogSink s_sink = nullptr;
}

void Host_SetLogSink(HostLogSink sink)
{
    s_sink = sink;
}

void Host_Log(const char* format, ...)
{
    if (!s_sink) return;
    char text[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    s_sink(text);
}
