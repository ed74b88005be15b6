#pragma once
// Runtime error reports: built with the current event and call chain, shown
// through the error dialog (or only logged when dialogs are off).
#include <cstdint>

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
// After the report of a fatal error: a child game ends and returns to its
// parent, any other game ends the process with exitCode.
void ErrorReport_EndAfterFatal(int exitCode);

// What the report needs from the layers above: where the running code is and
// how the error is shown. The runner installs these at start-up; unset hooks
// leave their part out.
struct ErrorInterpreterPosition {
    bool running;        // the interpreter runs code
    const char* function;
    bool hasDebugTable;
    int line;
    const char* lineText;
};
struct ErrorEventNames {
    int32_t kind;        // the current event kind (EVENT_KIND_TIMELINE, EVENT_KIND_SHADER, ...)
    int32_t number;
    const char* event;   // the event's name
    const char* owner;   // the object's (or the timeline's) name
};
struct ErrorReportHooks {
    void (*locateInterpreter)(ErrorInterpreterPosition* at);
    void (*currentEvent)(ErrorEventNames* out);
    // Calls visit for each frame of the compiled code's call chain, innermost first.
    void (*walkCallChain)(void (*visit)(void* data, const char* name, int line), void* data);
    // Shows the error dialog when dialogs are on; returns the fatal flag after
    // the choice made there.
    bool (*showDialog)(const char* text, bool fatal);
    void (*clearInput)();   // keys pressed in the dialog must not reach the game
    void (*quitGame)();     // a fatal error ends the main loop
    void (*endGame)();      // a child game's fatal error ends only that game
};
// Set by Runner_InstallHooks; until then a report knows no interpreter
// position, event or call chain, shows no dialog and ends nothing. Null
// slots keep their defaults. Returns the hooks it replaces.
ErrorReportHooks ErrorReport_SetHooks(const ErrorReportHooks& hooks);
