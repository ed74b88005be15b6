// End-to-end run of a game that uses the audio built-ins, through the real
// runner with no sound card (the audio test runner, tests/runners/audio.cpp):
// it loads an audio group from the file beside it, sees the load event, plays
// and unloads the group, and reaches buffer sounds, play queues, positioned
// voices, a stream in a sync group and recording.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gamedata/FormWriter.h"
#include "runners/audio_codes.h"
#include "support/AudioFixtures.h"
#include "support/GameRuns.h"
#include "support/TempFolder.h"

using namespace gamedata;
using audiotest::SoundInGroup;

namespace {
constexpr int kFrames = audiotest::kRate / 5;


std::vector<uint8_t> AudioGame()
{
    FormWriter w;
    GeneralHeader header;
    header.major = 1;
    header.roomOrder = {0};
    w.Gen8(header);
    Options options;
    options.flags |= 0x4;
    w.Optn(options);
    w.Agrp({"audiogroup_default", "sfx"});
    w.Sond({SoundInGroup("beep", 0, 0), SoundInGroup("s1", 1, 0), SoundInGroup("s2", 1, 1), SoundInGroup("s3", 1, 2),
            SoundInGroup("s4", 1, 3)});
    w.Audo({audiotest::Wav16(audiotest::Square(kFrames, {1}), 1)});
    ObjectEntry player;
    player.name = "player";
    player.events[0].push_back(EventEntry{0, AUDIO_CREATE});
    player.events[3].push_back(EventEntry{0, AUDIO_STEP});
    player.events[7].push_back(EventEntry{72, AUDIO_LOADED});
    w.Objt({player});
    RoomEntry room;
    room.name = "room";
    room.speed = 1000;
    room.instances = {RoomInstanceEntry{}};
    w.Room({room});
    w.Strg();
    return w.Finish();
}

std::vector<uint8_t> GroupFile()
{
    const std::vector<uint8_t> sound = audiotest::Wav16(audiotest::Square(kFrames, {1, 1}), 2);
    FormWriter w;
    w.Audo({sound, sound, sound, sound});
    return w.Finish();
}

std::vector<std::string> With(const std::vector<std::string>& lines, const std::string& tag)
{
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.rfind(tag, 0) == 0) found.push_back(line);
    return found;
}
}  // namespace

TEST(RunAudio, AGameLoadsPlaysAndUnloadsAnAudioGroupAndReachesEveryKindOfSound)
{
    TempFolder dir;
    ASSERT_TRUE(WriteFile(dir / "audiogroup1.dat", GroupFile()));
    const auto ogg = audiotest::EncodeOgg(audiotest::Square(kFrames, {1}), 1);
    if (ogg) ASSERT_TRUE(WriteFile(dir / "tone.ogg", *ogg));

    const std::string runner = std::string(QS_TEST_RUNNER_DIR) + "/qs_runner_audio";
    const ProcessRun run = testgames::RunGame(dir, AudioGame(), "-headless", runner, "ALSOFT_DRIVERS=null");
    ASSERT_FALSE(run.timedOut) << run.Describe();
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    const std::vector<std::string> lines = run.Lines();
    std::string all;
    for (const std::string& line : lines) all += line + "\n";

    EXPECT_EQ(With(lines, "load "), std::vector<std::string>{"load 1 0"}) << all;
    EXPECT_EQ(With(lines, "group0 "), std::vector<std::string>{"group0 1 100 sfx"}) << all;
    EXPECT_EQ(With(lines, "buffer "), std::vector<std::string>{"buffer 100000 1 queue 200000 1"}) << all;
    EXPECT_EQ(With(lines, "positioned "), std::vector<std::string>{"positioned 1 1"}) << all;
    EXPECT_EQ(With(lines, "stream "), std::vector<std::string>{ogg ? "stream 300000 1 sync 1" : "stream -1 0 sync 0"})
        << all;
    // No capture device without a sound card: recording from one that does not exist is refused.
    EXPECT_EQ(With(lines, "recording "), std::vector<std::string>{"recording 0 -1"}) << all;

    // The progress climbs to 100 while the frames go on; then one event, the
    // group's sound plays, and after the unload the group loads again.
    const std::vector<std::string> progress = With(lines, "progress ");
    ASSERT_FALSE(progress.empty()) << all;
    double last = 0;
    for (const std::string& p : progress) {
        const double value = std::stod(p.substr(9));
        EXPECT_GE(value, last) << all;
        last = value;
    }
    EXPECT_EQ(last, 100) << all;
    EXPECT_EQ(With(lines, "event "), std::vector<std::string>{"event audiogroup_load 1"}) << all;
    EXPECT_EQ(With(lines, "group sound "), std::vector<std::string>{"group sound 1 1"}) << all;
    EXPECT_EQ(With(lines, "unload "), std::vector<std::string>{"unload 1 0"}) << all;
    EXPECT_EQ(With(lines, "loaded again"), std::vector<std::string>{"loaded again"}) << all;
}
