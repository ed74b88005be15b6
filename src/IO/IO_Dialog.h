#pragma once
// Message boxes and the dialogs of the runner, shown through the host's
// dialog interface (a desktop message box, or standard error and a default
// answer when nobody can be asked). The text also goes to the log.

// Shows the text with an OK button; returns the button pressed (1).
int ShowMessageBox(const char* text);

// Asks for a game file when none is known: a memory-manager copy of the
// chosen path, or null. Until file dialogs exist (IO_Dialog_Stub.cpp) nobody
// is asked.
char* AskForGameFile();
