#pragma once
// Settings chosen on the command line; plain globals read across the runner.
#include <cstdint>

struct HeadlessModeFlags {
    bool crashHandlers = false;          // install the crash handlers, no system crash dialogs
    bool noStdout = false;               // consoles write nothing to standard output
    bool noDialogs = false;              // no error or file dialogs
    bool noSplash = false;
    bool exitAfterCreationCode = false;  // end after the first fresh room's creation code
};

extern bool DebugEnabled;
extern uint32_t DebugFlags;
extern bool TraceScripts;
extern bool ExtensionCallsDisabled;
extern bool ShowErrorDialogs;
extern bool CodeExecutionEnabled;
extern bool NoAudio;
extern bool InAWindow;
extern char* GameFilePath;   // owned through MemoryManager; null when no game is known
extern char* ExitGamePath;
extern bool RecordInput;
extern bool PlaybackInput;
extern char* InputRecordFile;
extern bool NoExternalCalls;
extern bool NetworkDebug;
extern char* OutputFile;
extern char* DebugOutputFile;
extern HeadlessModeFlags HeadlessMode;
extern char* ProfileDumpFile;
extern int32_t ProfileDumpFrames;
extern char* LaunchArguments;
extern int32_t SleepMargin;
extern bool SleepMarginGiven;
extern bool NoDirectInput;
