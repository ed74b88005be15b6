#pragma once
// Stand-in for the message-box interface: the text goes to the log and to
// standard error, and is kept for inspection; nothing ever blocks.

// Shows the text with an OK button; returns the button pressed (1).
int ShowMessageBox(const char* text);
// The text of the last message box, empty when none was shown.
const char* Dialog_LastMessage();
