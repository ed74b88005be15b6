#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Options/Runner_Options.h"
#include "Options/Runner_Strings.h"
#include "support/EngineReset.h"

namespace {
std::vector<std::string> Tokens()
{
    return std::vector<std::string>(CommandLineTokens.items, CommandLineTokens.items + CommandLineTokens.count);
}

std::string Text(const char* text)
{
    return text ? text : "<null>";
}

// Cases of one test start again from the options at start with EngineReset().
using OptionsTest = ::testing::Test;
}  // namespace

TEST_F(OptionsTest, TokenizerSplitsOnSeparatorsAndStripsQuotes)
{
    struct Case {
        const char* line;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"", {}},
        {" \t\r\n ", {}},
        {"/opt/qs/quillstep -game \"/my games/a b.win\"", {"/opt/qs/quillstep", "-game", "/my games/a b.win"}},
        {"a\"b c\"d", {"ab cd"}},           // quotes in the middle join the parts
        {"x\x01y\x1fz", {"x", "y", "z"}},     // control bytes separate
        {"\"\" -trace \"\"", {"-trace"}},   // empty tokens are not kept
        {"\"open quote to the end", {"open quote to the end"}},
        {"-game \"say \"\"hi\"\"\"", {"-game", "say \"hi\""}},  // a doubled quote inside quotes is text
        {"a\"\"b", {"ab"}},                                      // outside quotes it opens and closes
        {"caf\xc3\xa9 \xe2\x82\xac", {"caf\xc3\xa9", "\xe2\x82\xac"}},  // bytes above 32 are text
    };
    for (const Case& c : cases) {
        RunnerParseCommandLine(c.line);
        EXPECT_EQ(Tokens(), c.tokens) << c.line;
    }
}

TEST_F(OptionsTest, NextTokenReturnsPositionOfTheEndingSeparator)
{
    const char* line = "  -game \"a b\" x";
    size_t pos = RunnerNextToken(0, line);
    EXPECT_STREQ(RunnerToken, "-game");
    EXPECT_EQ(pos, 7u);
    pos = RunnerNextToken(pos, line);
    EXPECT_STREQ(RunnerToken, "a b");
    EXPECT_EQ(pos, 13u);
    pos = RunnerNextToken(pos, line);
    EXPECT_STREQ(RunnerToken, "x");
    EXPECT_EQ(pos, std::strlen(line));
    EXPECT_EQ(RunnerNextToken(pos, line), pos);
    EXPECT_STREQ(RunnerToken, "");
    EXPECT_EQ(RunnerNextToken(0, nullptr), 0u);
}

TEST_F(OptionsTest, EveryOptionSetsItsSetting)
{
    struct Case {
        const char* line;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"-trace", [] { EXPECT_TRUE(TraceScripts); }},
        {"-ext", [] { EXPECT_TRUE(ExtensionCallsDisabled); }},
        {"-noerrors", [] { EXPECT_FALSE(ShowErrorDialogs); }},
        {"-oldexec", [] { EXPECT_FALSE(CodeExecutionEnabled); }},
        {"-noaudio", [] { EXPECT_TRUE(NoAudio); }},
        {"-NoAudio", [] { EXPECT_FALSE(NoAudio); }},  // names are case-sensitive
        {"-inawindow", [] { EXPECT_TRUE(InAWindow); }},
        {"-game \"/g/my game.win\"", [] { EXPECT_EQ(Text(GameFilePath), "/g/my game.win"); }},
        {"-game a.win -game b.win", [] { EXPECT_EQ(Text(GameFilePath), "b.win"); }},
        {"-game", [] { EXPECT_EQ(Text(GameFilePath), ""); }},
        {"-exit /g/first.win", [] { EXPECT_EQ(Text(ExitGamePath), "/g/first.win"); }},
        {"-dir /somewhere -trace", [] { EXPECT_TRUE(TraceScripts); }},
        {"-record in.rec", [] {
             EXPECT_TRUE(RecordInput);
             EXPECT_FALSE(PlaybackInput);
             EXPECT_EQ(Text(InputRecordFile), "in.rec");
         }},
        {"-playback in.rec", [] {
             EXPECT_TRUE(PlaybackInput);
             EXPECT_EQ(Text(InputRecordFile), "in.rec");
         }},
        {"-steam", [] { EXPECT_TRUE(NoExternalCalls); }},
        {"-networkdebug", [] { EXPECT_TRUE(NetworkDebug); }},
        {"-nodirectinput", [] { EXPECT_TRUE(NoDirectInput); }},
        // Options without effect take no value.
        {"-software -intel -vanillaGFX -multivb -novb -compresstextures -manualvsync -trace",
         [] { EXPECT_TRUE(TraceScripts); }},
        // A value is taken as it comes, even when it looks like an option.
        {"-output -trace", [] {
             EXPECT_EQ(Text(OutputFile), "-trace");
             EXPECT_FALSE(TraceScripts);
         }},
        {"-debug -game a.win", [] {
             EXPECT_TRUE(DebugEnabled);
             EXPECT_EQ(DebugFlags, 2u);
         }},
        {"-game a.win -debug", [] {
             EXPECT_FALSE(DebugEnabled);
             EXPECT_EQ(DebugFlags, 0u);
         }},
        {"-debug -audiodebug", [] { EXPECT_EQ(DebugFlags, 0x12u); }},
        {"-audiodebug -debug", [] { EXPECT_EQ(DebugFlags, 2u); }},  // -debug assigns
        {"-profiledump prof.txt 120x", [] {
             EXPECT_EQ(Text(ProfileDumpFile), "prof.txt");
             EXPECT_EQ(ProfileDumpFrames, 120);
         }},
        {"-profiledump prof.txt", [] {
             EXPECT_EQ(Text(ProfileDumpFile), "prof.txt");
             EXPECT_EQ(ProfileDumpFrames, 0);
         }},
        {"-sleepmargin 25ms", [] {
             EXPECT_EQ(SleepMargin, 25);
             EXPECT_TRUE(SleepMarginGiven);
         }},
        {"-sleepmargin -3", [] { EXPECT_EQ(SleepMargin, -3); }},
        {"-sleepmargin", [] {
             EXPECT_EQ(SleepMargin, 0);
             EXPECT_TRUE(SleepMarginGiven);
         }},
        {"-sleepmargin 99999999999999", [] { EXPECT_EQ(SleepMargin, INT32_MAX); }},
        {"qsplayer://abc/", [] { EXPECT_EQ(Text(LaunchArguments), "abc"); }},
        {"qsplayer:abc", [] { EXPECT_EQ(Text(LaunchArguments), "abc"); }},
        {"qsplayer://a/b//", [] { EXPECT_EQ(Text(LaunchArguments), "a/b/"); }},  // one '/' only
        {"qsplayer:", [] { EXPECT_EQ(Text(LaunchArguments), ""); }},
        {"QSPLAYER:abc", [] { EXPECT_EQ(LaunchArguments, nullptr); }},
        {"-headless", [] {
             EXPECT_TRUE(HeadlessMode.crashHandlers && HeadlessMode.noStdout && HeadlessMode.noDialogs &&
                         HeadlessMode.noSplash && HeadlessMode.exitAfterCreationCode);
             EXPECT_TRUE(g_LogSettings.stdoutSuppressed);
         }},
        {"-output out.txt -debugoutput \"dbg file.txt\"", [] {
             EXPECT_EQ(Text(OutputFile), "out.txt");
             EXPECT_EQ(Text(DebugOutputFile), "dbg file.txt");
             EXPECT_TRUE(g_LogSettings.hasOutputFile);
             EXPECT_STREQ(g_LogSettings.outputFile, "out.txt");
             EXPECT_TRUE(g_LogSettings.hasDebugOutputFile);
             EXPECT_STREQ(g_LogSettings.debugOutputFile, "dbg file.txt");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EngineReset();
        RunnerParseCommandLine(c.line);
        c.check();
    }
}

TEST_F(OptionsTest, DebugIsIgnoredOnceAGameFileIsKnown)
{
    Runner_ReplaceText(&GameFilePath, "/beside/the/runner/data.win");  // data.win was found
    RunnerParseCommandLine("-debug");
    EXPECT_FALSE(DebugEnabled);
}

TEST_F(OptionsTest, EachParseResetsPerPassSettingsAndKeepsTheOthers)
{
    RunnerParseCommandLine("prog -debug -ext -record r.rec -noaudio -inawindow -oldexec -trace -game g.win");
    ASSERT_TRUE(DebugEnabled && ExtensionCallsDisabled && RecordInput && NoAudio && InAWindow);
    RunnerParseCommandLine("prog -playback p.rec");
    EXPECT_FALSE(DebugEnabled || ExtensionCallsDisabled || RecordInput || NoAudio || InAWindow);
    EXPECT_TRUE(CodeExecutionEnabled);
    EXPECT_TRUE(PlaybackInput);
    EXPECT_TRUE(TraceScripts);                   // kept across passes
    EXPECT_EQ(Text(GameFilePath), "g.win");      // kept across passes
    EXPECT_EQ(Tokens(), (std::vector<std::string>{"prog", "-playback", "p.rec"}));

    // A null command line only resets; the tokens stay.
    RunnerParseCommandLine(nullptr);
    EXPECT_FALSE(PlaybackInput);
    EXPECT_EQ(CommandLineTokens.count, 3);
}

TEST_F(OptionsTest, OverLongTokensAreRefusedWhole)
{
    const std::string longest(kRunnerTokenBufferSize - 1, 'a');
    const std::string tooLong(kRunnerTokenBufferSize, 'b');

    RunnerParseCommandLine(("-game " + longest).c_str());
    EXPECT_EQ(Text(GameFilePath), longest);  // 4095 bytes still fit

    EngineReset();
    // As a value, the refused token leaves the option unapplied; reading goes on.
    RunnerParseCommandLine(("-game " + tooLong + " -trace").c_str());
    EXPECT_EQ(GameFilePath, nullptr);
    EXPECT_TRUE(TraceScripts);
    EXPECT_EQ(Tokens(), (std::vector<std::string>{"-game", "-trace"}));

    EngineReset();
    // A quoted over-long token with spaces is consumed up to its real end.
    const std::string quoted = "\"" + std::string(3000, 'c') + " " + std::string(3000, 'd') + "\"";
    RunnerParseCommandLine(("-output " + quoted + " -noaudio").c_str());
    EXPECT_EQ(OutputFile, nullptr);
    EXPECT_FALSE(g_LogSettings.hasOutputFile);
    EXPECT_TRUE(NoAudio);

    EngineReset();
    RunnerParseCommandLine(("-profiledump " + tooLong + " 5").c_str());
    EXPECT_EQ(ProfileDumpFile, nullptr);
    EXPECT_EQ(ProfileDumpFrames, 0);
}

TEST_F(OptionsTest, OnlyTheFirstHundredTokensAreKeptButAllAct)
{
    std::string line;
    for (int i = 0; i < 150; ++i) line += "t" + std::to_string(i) + " ";
    line += "-game late.win";
    RunnerParseCommandLine(line.c_str());
    ASSERT_EQ(CommandLineTokens.count, kMaxCommandLineTokens);
    EXPECT_STREQ(CommandLineTokens.items[0], "t0");
    EXPECT_STREQ(CommandLineTokens.items[99], "t99");
    EXPECT_EQ(Text(GameFilePath), "late.win");

    RunnerParseCommandLine("prog -trace");
    EXPECT_EQ(Tokens(), (std::vector<std::string>{"prog", "-trace"}));
}
