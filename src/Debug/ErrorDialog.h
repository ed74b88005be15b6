#pragma once
// The modal error dialog with its Abort, Ignore, Copy and Clear buttons.

// The text the dialog shows and whether it offers Ignore.
struct ErrorFormRecord {
    char* text;
    bool showIgnore;
};
extern ErrorFormRecord ErrorForm;

// Button ids of the dialog.
constexpr int ERRORDIALOG_ABORT = 3;
constexpr int ERRORDIALOG_IGNORE = 4;
constexpr int ERRORDIALOG_COPY = 1063;
constexpr int ERRORDIALOG_CLEAR = 1064;

// Lays the text out for the dialog and runs it; true when the user chose Abort.
bool ErrorDialog_Show(const char* text, bool showIgnore);
// Runs the dialog on the form's text; 1 for Abort, 0 for Ignore.
int ErrorDialog_Run();
