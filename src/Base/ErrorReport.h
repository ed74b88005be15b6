#pragma once
// Runtime error reports: built with the current event and call chain, shown
// through the error dialog (or only logged when dialogs are off).

// Builds the report for message and shows it, unless a fatal error was already shown.
void ReportRuntimeError(const char* message, bool fatal);
// Shows a finished report text.
void ShowRuntimeError(const char* text, bool fatal);
// printf-style fatal error from native code; ends the process with exit code 1
// unless this is a child game (then the game ends and control returns).
void FatalRuntimeError(const char* format, ...) __attribute__((format(printf, 1, 2)));
