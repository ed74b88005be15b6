#pragma once
// Runtime error reports: built with the current event and call chain, shown
// through the error dialog (or only logged when dialogs are off).
#include <cstdint>

struct VMFrame;

// Event kind while a timeline moment runs, and while a shader compile error is reported.
constexpr int32_t EVENT_KIND_TIMELINE = 100000;
constexpr int32_t EVENT_KIND_SHADER = -1;

// Where the running code is, besides the current event (object, kind, number).
struct ErrorContextRecord {
    int32_t actionIndex;     // 0-based action of the running event
    uint8_t shaderStage;     // 0 vertex, otherwise fragment
    const char* shaderName;
};
extern ErrorContextRecord ErrorContext;

extern bool FatalErrorShown;   // once set no further report is shown; cleared on restart
extern bool AllErrorsFatal;    // game option: every error is fatal
extern bool error_occurred;    // set by every shown error
extern bool WatchEvaluating;   // the remote debugger is evaluating a watch expression
extern bool CodeErrorFlag;     // a runtime error was raised in the running code
extern bool ChildGame;         // this game was started by another one that resumes after it

// Builds the report for message and shows it, unless a fatal error was already shown.
void ReportRuntimeError(const char* message, bool fatal);
// Shows a finished report text.
void ShowRuntimeError(const char* text, bool fatal);
// printf-style fatal error from native code; ends the process with exit code 1
// unless this is a child game (then the game ends and control returns).
void FatalRuntimeError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The interpreter's error: like FatalRuntimeError with exit code -1; while a
// watch expression is evaluated it only stops the run.
void VM_RuntimeError(VMFrame* frame, const char* format, ...) __attribute__((format(printf, 2, 3)));
