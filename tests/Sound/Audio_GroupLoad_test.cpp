// Audio groups loaded from their files by game code: the loader prepares the
// group's sounds on its own thread while the frames go on, a finished load
// posts one event, and unloading waits for the group's voices. Sound 0 lies
// in the game data (group 0); sounds 1 to 4 in "audiogroup1.dat" (group 1,
// heard on the right).
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "Function/AudioFunctionFixture.h"
#include "Sound/Audio_Group.h"

namespace {
using audiotest::kRate;
using audiotest::SoundInGroup;
constexpr int kFrames = kRate / 10;

// Holds the loader before each sound it counts, until the test lets it go on.
struct LoaderGate {
    std::mutex m;
    std::condition_variable cv;
    int arrived = 0;
    int released = 0;

    static LoaderGate* current;
    static void Step(int32_t)
    {
        LoaderGate& g = *current;
        std::unique_lock lock(g.m);
        const int mine = ++g.arrived;
        g.cv.notify_all();
        g.cv.wait(lock, [&] { return g.released >= mine; });
    }
    // Waits (10 s at most) until the loader holds before step n.
    bool Arrived(int n)
    {
        std::unique_lock lock(m);
        return cv.wait_for(lock, std::chrono::seconds(10), [&] { return arrived >= n; });
    }
    void Release(int n = 1)
    {
        std::lock_guard lock(m);
        released += n;
        cv.notify_all();
    }
};
LoaderGate* LoaderGate::current = nullptr;


std::vector<uint8_t> Right()
{
    return audiotest::Wav16(audiotest::Square(kFrames, {0, 1}), 2);
}

std::vector<uint8_t> GroupGame()
{
    gamedata::FormWriter w;
    w.Gen8({});
    gamedata::Options o;
    o.flags |= 0x4;
    w.Optn(o);
    w.Agrp({"audiogroup_default", "sfx"});
    w.Sond({SoundInGroup("main", 0, 0), SoundInGroup("s1", 1, 0), SoundInGroup("s2", 1, 1), SoundInGroup("s3", 1, 2),
            SoundInGroup("s4", 1, 3)});
    w.Audo({audiotest::Wav16(audiotest::Square(kFrames, {1}), 1)});
    w.Strg();
    return w.Finish();
}

std::vector<uint8_t> GroupFile()
{
    gamedata::FormWriter w;
    w.Audo({Right(), Right(), Right(), Right()});
    return w.Finish();
}

struct AudioGroupLoadTest : AudioFunctionTest {
    LoaderGate gate;

    void SetUp() override
    {
        AudioFunctionTest::SetUp();
        LoaderGate::current = &gate;
        Load(GroupGame());
    }
    void TearDown() override
    {
        gate.Release(1000);  // a loader still held must end before the engine does
        AudioGroup_SetLoaderStep(nullptr);
        AudioFunctionTest::TearDown();
    }
    void WriteGroupFile(const std::vector<uint8_t>& bytes)
    {
        dir.Write("audiogroup1.dat", std::string(bytes.begin(), bytes.end()));
    }
    double Progress() { return Num("audio_group_load_progress", {R(1)}); }
    // Frames until the group reaches state, for 10 s at most.
    bool FramesUntil(int32_t state)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (AudioGroup_State(1) != state && std::chrono::steady_clock::now() < deadline) {
            Frame();
            std::this_thread::yield();
        }
        return AudioGroup_State(1) == state;
    }
    // Loads group 1 whole without holding the loader.
    void LoadGroup()
    {
        ASSERT_EQ(Num("audio_group_load", {R(1)}), 1);
        ASSERT_TRUE(FramesUntil(kAudioGroupLoaded));
    }
};
}  // namespace

TEST_F(AudioGroupLoadTest, LoadingStepsItsProgressPostsOneEventAndThenTheSoundsPlay)
{
    WriteGroupFile(GroupFile());
    AudioGroup_SetLoaderStep(LoaderGate::Step);
    EXPECT_EQ(Num("audio_group_load", {R(1)}), 1);
    EXPECT_EQ(Num("audio_group_load", {R(1)}), 0) << "a group that loads is not loaded again";
    EXPECT_TRUE(Logged("Audio group 1 -> Loading...")) << log.Text();
    std::vector<double> progress;
    for (int step = 1; step <= 4; ++step) {
        ASSERT_TRUE(gate.Arrived(step)) << step;
        progress.push_back(Progress());
        if (step == 2) {
            EXPECT_EQ(Num("audio_group_is_loaded", {R(1)}), 0);
            EXPECT_EQ(Num("audio_play_sound", {R(1), R(1), R(0)}), -1) << "a loading group does not play";
            Frame();  // the frames go on meanwhile
            EXPECT_EQ(AudioGroup_State(1), kAudioGroupLoading);
        }
        gate.Release();
    }
    // The loader has counted the last sound once the figure reads 100.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Progress() < 100 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    progress.push_back(Progress());
    EXPECT_EQ(progress, (std::vector<double>{0, 25, 50, 75, 100}));

    ASSERT_TRUE(FramesUntil(kAudioGroupLoaded));
    for (int i = 0; i < 3; ++i) Frame();
    const auto events = EventsOf(kAudioGroupLoadEvent);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].fields.at("type"), "audiogroup_load");
    EXPECT_EQ(events[0].fields.at("group_id"), "1");
    EXPECT_EQ(Num("audio_group_is_loaded", {R(1)}), 1);
    EXPECT_EQ(Progress(), 100);

    const double voice = Num("audio_play_sound", {R(3), R(1), R(0)});
    EXPECT_GE(voice, kAudioVoiceIdBase);
    const audiotest::Levels levels = audiotest::Render(kFrames / 2);
    EXPECT_GT(levels.right, 5000);
    EXPECT_LT(levels.left, audiotest::kSilent);
}

TEST_F(AudioGroupLoadTest, UnloadingWaitsForTheGroupsVoicesAndTheGroupLoadsAgain)
{
    WriteGroupFile(GroupFile());
    LoadGroup();
    const double voice = Num("audio_play_sound", {R(1), R(1), R(1)});
    ASSERT_GE(voice, kAudioVoiceIdBase);
    EXPECT_EQ(Num("audio_group_unload", {R(1)}), 1);
    EXPECT_EQ(Num("audio_group_unload", {R(1)}), 0);
    EXPECT_EQ(Num("audio_group_is_loaded", {R(1)}), 0) << "not loaded from the moment it unloads";
    Frame();
    EXPECT_EQ(AudioGroup_State(1), kAudioGroupUnloading) << "its voice is still fading out";
    EXPECT_EQ(Num("audio_group_load", {R(1)}), 0);
    EXPECT_GT(Audio_GetAsset(1)->alBuffer, 0);
    ASSERT_TRUE(FramesUntil(kAudioGroupUnloaded));
    EXPECT_FALSE(Audio_IsPlaying(static_cast<int32_t>(voice)));
    EXPECT_LE(Audio_GetAsset(1)->alBuffer, 0) << "the data went with the group";
    EXPECT_EQ(Audio_GetAsset(1)->audioData, nullptr);
    EXPECT_EQ(Num("audio_play_sound", {R(1), R(1), R(0)}), -1);
    EXPECT_GE(Num("audio_play_sound", {R(0), R(1), R(0)}), kAudioVoiceIdBase) << "group 0 plays on";

    // The loader's thread record serves the next load.
    LoadGroup();
    EXPECT_EQ(EventsOf(kAudioGroupLoadEvent).size(), 2u);
    EXPECT_GE(Num("audio_play_sound", {R(4), R(1), R(0)}), kAudioVoiceIdBase);
}

TEST_F(AudioGroupLoadTest, ShutdownWaitsForALoaderThatIsStillPreparing)
{
    WriteGroupFile(GroupFile());
    static std::vector<int32_t> assetsSeen;
    assetsSeen.clear();
    AudioGroup_SetLoaderStep([](int32_t group) {
        LoaderGate::Step(group);
        assetsSeen.push_back(Audio_GetAssetCount());
    });
    ASSERT_EQ(Num("audio_group_load", {R(1)}), 1);
    ASSERT_TRUE(gate.Arrived(1));
    gate.Release(1000);
    SoundHardware_Destroy();  // while the loader goes on with the group's sounds
    EXPECT_EQ(assetsSeen, (std::vector<int32_t>{5, 5, 5, 5})) << "the sounds stayed until the loader had ended";
    EXPECT_EQ(Audio_GetAssetCount(), 0);
}

TEST_F(AudioGroupLoadTest, GroupZeroAndGroupsOutOfRange)
{
    const struct {
        int32_t group;
        double load, unload, isLoaded, progress;
        const char* name;
    } cases[] = {
        {0, 0, 0, 1, 100, "audiogroup_default"},
        {1, 0, 0, 0, 0, "sfx"},  // its file is missing
        {2, 0, 0, 0, 0, "<undefined>"},
        {-1, 0, 0, 0, 0, "<undefined>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Num("audio_group_load", {R(c.group)}), c.load) << c.group;
        EXPECT_EQ(Num("audio_group_unload", {R(c.group)}), c.unload) << c.group;
        EXPECT_EQ(Num("audio_group_is_loaded", {R(c.group)}), c.isLoaded) << c.group;
        EXPECT_EQ(Num("audio_group_load_progress", {R(c.group)}), c.progress) << c.group;
        EXPECT_EQ(Str("audio_group_name", {R(c.group)}), c.name) << c.group;
    }
    EXPECT_TRUE(Logged("Failed to load audiogroup1.dat")) << log.Text();
    EXPECT_EQ(AudioGroup_State(1), kAudioGroupUnloaded);
}

TEST_F(AudioGroupLoadTest, MalformedGroupFilesAreRefusedAndLoseNothing)
{
    const std::vector<uint8_t> good = GroupFile();
    auto with = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> file = good;
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<long>(at));
        return file;
    };
    const uint32_t outside = static_cast<uint32_t>(good.size());
    const struct {
        const char* what;
        std::vector<uint8_t> file;
    } cases[] = {
        {"another tag", with(8, {'S', 'O', 'N', 'D'})},
        {"a chunk length of 0", with(12, {0, 0, 0, 0})},
        {"a chunk longer than the file", with(12, {0xFF, 0xFF, 0, 0})},
        {"an entry outside the file",
         with(20, {uint8_t(outside), uint8_t(outside >> 8), uint8_t(outside >> 16), uint8_t(outside >> 24)})},
        {"a file shorter than its header", std::vector<uint8_t>(good.begin(), good.begin() + 10)},
    };
    for (const auto& c : cases) {
        WriteGroupFile(c.file);
        EXPECT_EQ(Num("audio_group_load", {R(1)}), 0) << c.what;
        EXPECT_TRUE(Logged("Format error loading audiogroup1.dat")) << c.what << ": " << log.Text();
        EXPECT_EQ(AudioGroup_State(1), kAudioGroupUnloaded) << c.what;
        EXPECT_EQ(Audio_GetAsset(1)->audioData, nullptr) << c.what;
    }
    EXPECT_GE(Num("audio_play_sound", {R(0), R(1), R(0)}), kAudioVoiceIdBase) << "the game's own sounds play on";
    WriteGroupFile(good);
    LoadGroup();
}
