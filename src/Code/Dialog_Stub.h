#pragma once
// Stand-in for the message box of the input and dialogs subsystem.

// Shows the text and returns the button pressed; here the text goes to
// standard error and the answer is 0.
int ShowMessageBox(const char* text);
