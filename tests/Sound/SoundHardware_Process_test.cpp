// The built runner plays a game with sounds where no sound device can be had.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "support/AudioFixtures.h"
#include "support/GameFiles.h"
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

struct Result {
    int exitCode = -1;
    std::string output;
};

// Runs the runner for two seconds on the game with the environment prefix.
Result RunRunner(const std::string& environment, const std::string& game, const std::string& options)
{
    const std::string command = environment + " timeout 2 '" + std::string(QS_RUNNER_PATH) + "' -game '" + game +
                                "' " + options + " 2>&1";
    Result result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
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
    for (const auto& c : cases) {
        const Result r = RunRunner(c.environment, dir / "g.win", c.options);
        // The time limit ends a game that started and ran (exit code 124).
        EXPECT_EQ(r.exitCode, 124) << c.environment << " " << c.options << ": " << r.output;
        EXPECT_EQ(Count(r.output, c.line), 1u) << c.environment << " " << c.options << ": " << r.output;
        EXPECT_EQ(Count(r.output, "Audio: "), 1u) << r.output;
    }
}
