#include "Runner/Runner_Options.h"

bool DebugEnabled = false;
uint32_t DebugFlags = 0;
bool TraceScripts = false;
bool ExtensionCallsDisabled = false;
bool ShowErrorDialogs = true;
bool CodeExecutionEnabled = true;
bool NoAudio = false;
bool InAWindow = false;
char* GameFilePath = nullptr;
char* ExitGamePath = nullptr;
bool RecordInput = false;
bool PlaybackInput = false;
char* InputRecordFile = nullptr;
bool NoExternalCalls = false;
bool NetworkDebug = false;
char* OutputFile = nullptr;
char* DebugOutputFile = nullptr;
HeadlessModeFlags HeadlessMode;
char* ProfileDumpFile = nullptr;
int32_t ProfileDumpFrames = 0;
char* LaunchArguments = nullptr;
int32_t SleepMargin = 10;
bool SleepMarginGiven = false;
bool NoDirectInput = false;
