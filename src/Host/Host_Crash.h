#pragma once
// Crash handling for unattended runs: fatal signals go to the given handlers
// instead of ending the process with a core dump.

// Called from a signal handler with the signal number; must not return.
using Host_CrashHandler = void (*)(int signalNumber);

// onFault receives SIGSEGV, SIGBUS, SIGILL and SIGFPE (also a stack
// overflow: the handler runs on its own stack); onAbort receives SIGABRT,
// which failed run-time checks (assertions, the C++ run-time's terminate, the
// C library's heap checks) raise.
void Host_InstallCrashHandlers(Host_CrashHandler onFault, Host_CrashHandler onAbort);

// Ends the process at once with the exit code: no exit handlers, no flushing
// of buffered streams; safe inside a signal handler.
[[noreturn]] void Host_ExitImmediately(int code);

// Writes text to standard output without buffering; safe inside a signal handler.
void Host_WriteStdoutRaw(const char* text);
