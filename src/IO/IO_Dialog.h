#pragma once
// Message boxes and the dialogs of the runner and of game code, shown through
// the host's dialog interface (desktop dialogs, or standard error and a
// scripted or default answer when nobody can be asked). Modal dialogs answer
// at once; asynchronous ones are queued, shown oldest first, and their
// results reach the game as dialog events from the asynchronous step.
#include <string>

// Shows the text with an OK button; returns the button pressed (1). The
// caption is the game's display name unless one is given.
int ShowMessageBox(const char* text);
int ShowMessageBoxCaptioned(const char* caption, const char* text);

// Asks for a game file when none is known: a memory-manager copy of the
// chosen path, or null.
char* AskForGameFile();

// Runs before any dialog opens (the display leaves full screen). The display
// sits above IO: set by Runner_InstallHooks; until then (and for null) nothing.
void IO_SetPrepareForDialogHook(void (*prepare)());
void IO_PrepareForDialog();

// Modal dialogs. The text input answers true on OK, with the text in *result
// (left as it was on Cancel); the question true for Yes.
bool InputQuery_GetString(const char* caption, const char* prompt, const char* defaultText, std::string* result);
bool InputQuery_ShowQuestion(const char* caption, const char* text);

// Asynchronous dialogs; each returns its request id.
int InputQuery_InputAsync(const char* caption, const char* prompt, const char* defaultText);
int InputQuery_QuestionAsync(const char* caption, const char* text);
int InputQuery_MessageAsync(const char* caption, const char* text);
int InputQuery_LoginAsync(const char* user, const char* password);
// The asynchronous step: the result of the oldest dialog, once answered, is
// posted as a dialog event (IO_Async.h) and the next dialog opens.
void InputQuery_ProcessAsync();
// Forgets every queued dialog (a new process).
void InputQuery_Reset();

// File dialogs: the chosen path, or empty when cancelled. The save dialog
// gives a name without extension that of the filter's first pattern.
std::string Dialog_GetOpenFilename(const char* filter, const char* fileName, const char* directory, const char* title);
std::string Dialog_GetSaveFilename(const char* filter, const char* fileName, const char* directory, const char* title);

// The decimal number at the start of a text (sign, digits, fraction,
// exponent), 0 when there is none.
double Dialog_TextValue(const char* text);
