#include "Options/Runner_Options.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "Base/Console.h"
#include "Options/Runner_Strings.h"

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

namespace {
struct Parse {
    const char* text;
    size_t position;
};

// The next token as an option's value: empty at the end of the text, null
// when the token was refused for its length (the option is then ignored).
const char* TakeValue(Parse& p)
{
    p.position = RunnerNextToken(p.position, p.text);
    return RunnerTokenRefused ? nullptr : RunnerToken;
}

// The decimal integer at the start of text, 0 when there is none; held to
// the range of i32 instead of overflowing.
int32_t LeadingInteger(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void OptDebug(Parse&)
{
    if (GameFilePath) return;  // only before a game file is known
    DebugEnabled = true;
    DebugFlags = 2;
}
void OptTrace(Parse&) { TraceScripts = true; }
void OptExt(Parse&) { ExtensionCallsDisabled = true; }
void OptNoErrors(Parse&) { ShowErrorDialogs = false; }
void OptOldExec(Parse&) { CodeExecutionEnabled = false; }
void OptNoAudio(Parse&) { NoAudio = true; }
void OptInAWindow(Parse&) { InAWindow = true; }
void OptGame(Parse& p)
{
    if (const char* v = TakeValue(p)) Runner_ReplaceText(&GameFilePath, v);
}
void OptExit(Parse& p)
{
    if (const char* v = TakeValue(p)) Runner_ReplaceText(&ExitGamePath, v);
}
// -dir's value is read past (it stays among the game's parameters); nothing uses it.
void OptDir(Parse& p) { TakeValue(p); }
void OptRecord(Parse& p)
{
    if (const char* v = TakeValue(p)) {
        RecordInput = true;
        Runner_ReplaceText(&InputRecordFile, v);
    }
}
void OptSteam(Parse&) { NoExternalCalls = true; }
void OptNoEffect(Parse&) {}
void OptAudioDebug(Parse&) { DebugFlags |= 0x10; }
void OptNetworkDebug(Parse&) { NetworkDebug = true; }
void OptPlayback(Parse& p)
{
    if (const char* v = TakeValue(p)) {
        PlaybackInput = true;
        Runner_ReplaceText(&InputRecordFile, v);
    }
}
void OptOutput(Parse& p)
{
    if (const char* v = TakeValue(p)) {
        Runner_ReplaceText(&OutputFile, v);
        Console_SetOutputFile(OutputFile);
    }
}
void OptDebugOutput(Parse& p)
{
    if (const char* v = TakeValue(p)) {
        Runner_ReplaceText(&DebugOutputFile, v);
        Console_SetDebugOutputFile(DebugOutputFile);
    }
}
void OptHeadless(Parse&)
{
    HeadlessMode = HeadlessModeFlags{true, true, true, true, true};
    Console_SetStdoutSuppressed(true);
}
void OptProfileDump(Parse& p)
{
    const char* file = TakeValue(p);
    if (file) Runner_ReplaceText(&ProfileDumpFile, file);
    const char* frames = TakeValue(p);
    if (file && frames) ProfileDumpFrames = LeadingInteger(frames);
}
void OptSleepMargin(Parse& p)
{
    if (const char* v = TakeValue(p)) {
        SleepMargin = LeadingInteger(v);
        SleepMarginGiven = true;
    }
}
void OptNoDirectInput(Parse&) { NoDirectInput = true; }

struct Option {
    const char* name;
    void (*act)(Parse&);
};

// Matched exactly and case-sensitively, first match wins.
constexpr Option kOptions[] = {
    {"-debug", OptDebug},
    {"-trace", OptTrace},
    {"-ext", OptExt},
    {"-noerrors", OptNoErrors},
    {"-oldexec", OptOldExec},
    {"-noaudio", OptNoAudio},
    {"-inawindow", OptInAWindow},
    {"-game", OptGame},
    {"-exit", OptExit},
    {"-dir", OptDir},
    {"-record", OptRecord},
    {"-steam", OptSteam},
    {"-software", OptNoEffect},
    {"-intel", OptNoEffect},
    {"-audiodebug", OptAudioDebug},
    {"-networkdebug", OptNetworkDebug},
    {"-vanillaGFX", OptNoEffect},
    {"-playback", OptPlayback},
    {"-output", OptOutput},
    {"-debugoutput", OptDebugOutput},
    {"-headless", OptHeadless},
    {"-profiledump", OptProfileDump},
    {"-sleepmargin", OptSleepMargin},
    {"-multivb", OptNoEffect},
    {"-novb", OptNoEffect},
    {"-compresstextures", OptNoEffect},
    {"-manualvsync", OptNoEffect},
    {"-nodirectinput", OptNoDirectInput},
};

void TakeLaunchUrl(const char* token)
{
    constexpr size_t kPrefixLength = sizeof kLaunchUrlPrefix - 1;
    const char* rest = token + kPrefixLength;
    if (rest[0] == '/' && rest[1] == '/') rest += 2;
    Runner_ReplaceText(&LaunchArguments, rest);
    const size_t length = std::strlen(LaunchArguments);
    if (length > 0 && LaunchArguments[length - 1] == '/') LaunchArguments[length - 1] = '\0';
}
}  // namespace

void RunnerParseCommandLine(const char* text)
{
    DebugEnabled = false;
    ExtensionCallsDisabled = false;
    RecordInput = false;
    PlaybackInput = false;
    NoAudio = false;
    InAWindow = false;
    CodeExecutionEnabled = true;
    DebugFlags = 0;
    if (!text) return;

    CommandLineTokens_Clear();
    Parse p{text, 0};
    while (text[p.position]) {
        p.position = RunnerNextToken(p.position, text);
        if (!RunnerToken[0]) continue;  // separators up to the end, or a refused token
        bool matched = false;
        for (const Option& option : kOptions) {
            if (std::strcmp(RunnerToken, option.name) == 0) {
                option.act(p);
                matched = true;
                break;
            }
        }
        if (!matched && std::strncmp(RunnerToken, kLaunchUrlPrefix, sizeof kLaunchUrlPrefix - 1) == 0) {
            TakeLaunchUrl(RunnerToken);
        }
    }
}

void Options_Reset()
{
    RunnerParseCommandLine(nullptr);
    CommandLineTokens_Clear();
    RunnerToken[0] = '\0';
    RunnerTokenRefused = false;
    for (char** text : {&GameFilePath, &ExitGamePath, &InputRecordFile, &OutputFile, &DebugOutputFile,
                        &ProfileDumpFile, &LaunchArguments})
        Runner_FreeText(text);
    TraceScripts = false;
    ShowErrorDialogs = true;
    NoExternalCalls = false;
    NetworkDebug = false;
    HeadlessMode = HeadlessModeFlags{};
    ProfileDumpFrames = 0;
    SleepMargin = 10;
    SleepMarginGiven = false;
    NoDirectInput = false;
}
