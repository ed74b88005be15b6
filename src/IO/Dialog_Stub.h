#pragma once
// Stand-in for the message-box interface: the text goes to the log and to
// standard error, and is kept for inspection; nothing ever blocks.

void ShowMessageBox(const char* text);
// The text of the last message box, empty when none was shown.
const char* Dialog_LastMessage();
