// The built runner plays a game with sounds where no sound device can be had.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/AudioFixtures.h"
#include "support/GameFiles.h"
#include "support/ProcessRun.h"
#include "support/TempFolder.h"

namespace {
// A game using the audio engine, with one room and one sound.
std::vector<uint8_t> GameWithASound()
{
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.roomOrder = {0};
    w.Gen8(h);
    gamedata::Options o;
    o.flags |= 0x4;
    w.Optn(o);
    gamedata::SoundEntry sound;
    sound.name = "beep";
    w.Sond({sound});
    w.Audo({audiotest::Wav16(audiotest::Square(100, {1}), 1)});
    gamedata::RoomEntry room;
    room.name = "room";
    w.Room({room});
    w.Strg();
    return w.Finish();
}

// Runs the runner on the game with the environment prefix until its main
// loop is entered; the log console writes to the -debugoutput file.
ProcessRun RunUntilStarted(const TempFolder& dir, const std::string& environment, const std::string& options,
                           const std::string& log)
{
    const std::string started = dir / (log + ".started");
    ProcessWait wait;
    wait.text = "Entering main loop.";
    wait.awaitFile = started;
    return RunProcess(environment + " " + ShellQuote(QS_RUNNER_PATH) + " -headless -game " + ShellQuote(dir / "g.win") +
                          " " + options + " -debugoutput " + ShellQuote(dir / log) + " -output " + ShellQuote(started),
                      wait);
}

size_t Count(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}
}  // namespace

TEST(SoundHardwareProcess, WithoutASoundDeviceOrWithNoAudioTheGameRunsAfterOneLogLine)
{
    TempFolder dir;
    const std::vector<uint8_t> game = GameWithASound();
    dir.Write("g.win", std::string(game.begin(), game.end()));
    const struct {
        const char* environment;
        const char* options;
        const char* line;
    } cases[] = {
        {"ALSOFT_DRIVERS=no_such_driver", "", "Audio: no sound device could be opened"},
        {"ALSOFT_DRIVERS=null", "-noaudio", "Audio: sound is off (-noaudio)"},
        {"ALSOFT_DRIVERS=null", "", "Audio: playing on \""},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string log = "log" + std::to_string(n++) + ".txt";
        const ProcessRun r = RunUntilStarted(dir, c.environment, c.options, log);
        EXPECT_TRUE(r.reached) << c.environment << " " << c.options << ": " << r.Describe();
        const std::string text = dir.Read(log);
        EXPECT_EQ(Count(text, c.line), 1u) << c.environment << " " << c.options << ": " << text;
        EXPECT_EQ(Count(text, "Audio: "), 1u) << text;
    }
}
