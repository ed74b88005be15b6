#pragma once
// Starting other programs, never through a shell unless asked for one.
#include <string>
#include <vector>

// Starts arguments[0] (looked up on PATH when it has no '/') with the
// arguments, in the current folder. With wait set, polls every 50 ms until it
// has ended, calling pump (when not null) between polls; otherwise it runs on
// and is reaped when it ends. True when the program started.
bool Host_StartProgram(const std::vector<std::string>& arguments, bool wait, void (*pump)());

// Opens something as a desktop would: a web address, or an existing file
// that is not a program, goes to xdg-open; anything else runs through
// /bin/sh, the program as one word and the arguments as shell text. True when
// the opener or the shell started.
bool Host_OpenWithShell(const char* program, const char* arguments);
