#pragma once
// Settings chosen on the command line; plain globals read across the runner.
#include <cstddef>
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

// ---- Command-line tokens -------------------------------------------------

constexpr int kRunnerTokenBufferSize = 4096;  // a token holds at most 4095 bytes
constexpr int kMaxCommandLineTokens = 100;

// Copies of the non-empty tokens of the last parse, in order (option names and
// values alike, led by the program path); read by parameter_count and
// parameter_string. Copies are owned through the memory manager.
struct CommandLineTokenList {
    int count = 0;
    char* items[kMaxCommandLineTokens] = {};
};
extern CommandLineTokenList CommandLineTokens;

// The token that RunnerNextToken read last (NUL-terminated; empty at the end).
extern char RunnerToken[kRunnerTokenBufferSize];
// Set by RunnerNextToken when the token it met was 4096 bytes or longer. Such
// a token is refused whole rather than cut: RunnerToken stays empty, nothing is
// added to CommandLineTokens, and an option whose value it was is ignored. A
// cut path or number would silently name something else.
extern bool RunnerTokenRefused;

// Reads the token starting at or after position into RunnerToken and keeps a
// copy in CommandLineTokens; returns the position after it. Once 100 tokens
// are kept, further tokens are still read (and act as options) but are not
// kept, so the game sees the first 100.
size_t RunnerNextToken(size_t position, const char* text);
void CommandLineTokens_Clear();

// Parses one whole command line into the options above; null changes only the
// per-pass resets.
void RunnerParseCommandLine(const char* text);
// Every option above, the kept tokens and the last token as the process starts
// with them; the option texts are freed (between tests).
void Options_Reset();

// The text prefix of a launch URL token.
inline constexpr char kLaunchUrlPrefix[] = "qsplayer:";
