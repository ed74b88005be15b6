#pragma once
// The host layer's log line: the layers above decide where it goes (set by
// Runner_InstallHooks: the engine's log console).

using HostLogSink = void (*)(const char* text);

void Host_SetLogSink(HostLogSink sink);
// printf-style; dropped while no sink is installed.
void Host_Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
