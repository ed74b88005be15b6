// The audio built-ins through the built-in function table on the loopback
// device: -noaudio, the engine's edge cases, emitters and their defaults, the
// listener and its masks, and a positioned voice that changes sides as the
// listener turns.
#include <gtest/gtest.h>

#include "DataStructure/DS_Handles.h"
#include "Function/AudioFunctionFixture.h"
#include "Sound/Audio_BufferSound.h"
#include "Sound/Audio_Emitter.h"

namespace {
using audiotest::kRate;
constexpr int kFrames = kRate / 4;

std::vector<uint8_t> OneSoundGame()
{
    gamedata::FormWriter w;
    w.Gen8({});
    gamedata::Options o;
    o.flags |= 0x4;
    w.Optn(o);
    gamedata::SoundEntry beep;
    beep.name = "beep";
    w.Sond({beep});
    w.Audo({audiotest::Wav16(audiotest::Square(kFrames, {1}), 1)});  // mono: it can be positioned
    w.Strg();
    return w.Finish();
}

struct AudioBuiltinTest : AudioFunctionTest {
    void SetUp() override
    {
        AudioFunctionTest::SetUp();
        Load(OneSoundGame());
    }
    // The fields of a result map, which is then destroyed.
    static std::map<std::string, std::string> TakeMap(double handle)
    {
        auto fields = asyncevents::ReadMap(static_cast<int32_t>(handle));
        DsMap_Destroy(static_cast<int32_t>(handle));
        return fields;
    }
};
}  // namespace

TEST_F(AudioBuiltinTest, NoAudioLeavesEveryResultUndefinedButStoppingARecordingStillRuns)
{
    NoAudio = true;
    const char* names[] = {"audio_play_sound", "audio_system", "audio_emitter_create", "audio_group_load",
                           "audio_get_listener_count", "audio_music_is_playing", "audio_exists"};
    for (const char* name : names) {
        ScriptValue r = CallFrom(ScriptValue_Undefined(), name, {R(0), R(1), R(0)});
        EXPECT_EQ(r.Kind(), VALUE_UNDEFINED) << name;
    }
    EXPECT_FALSE(Audio_IsPlaying(0)) << "nothing plays";
    EXPECT_FALSE(Logged("deprecated")) << "a routine that returned at once logs nothing";
    EXPECT_EQ(Num("audio_stop_recording", {R(0)}), -1);
    EXPECT_TRUE(Logged("audio_stop_recording : recorder 0 is not currently recording")) << log.Text();
}

TEST_F(AudioBuiltinTest, EngineEdgeCases)
{
    EXPECT_EQ(Num("audio_system"), 1);
    EXPECT_EQ(Str("audio_get_name", {R(7)}), "<undefined>");
    EXPECT_EQ(Str("audio_get_name", {R(0)}), "beep");
    EXPECT_EQ(Num("audio_get_type", {R(7)}), -1);

    DebugFlags = 0x5;
    Call("audio_debug", {R(1)});
    EXPECT_EQ(DebugFlags, 16u) << "every other overlay bit is cleared";
    Call("audio_debug", {R(0.5)});
    EXPECT_EQ(DebugFlags, 0u) << "0.5 is read as the integer 0";

    EXPECT_EQ(Num("audio_music_is_playing"), 0);
    EXPECT_TRUE(Logged("audio_music_is_playing :: deprecated function\n")) << log.Text();
    Call("audio_play_music", {R(0), R(1)});
    EXPECT_TRUE(Logged("audio_play_music :: deprecated function\n"));

    // Registered with the queue id it reads.
    const double queue = Num("audio_create_play_queue", {R(kAudioFormatS16), R(kRate), R(0)});
    ASSERT_GE(queue, kAudioQueueIdBase);
    EXPECT_EQ(Num("audio_free_play_queue", {R(queue)}), 1);
    EXPECT_EQ(Num("audio_free_play_queue", {R(queue)}), 0);

    const double voice = Num("audio_play_sound", {R(0), R(1), R(1)});
    ASSERT_GE(voice, kAudioVoiceIdBase);
    EXPECT_EQ(Num("audio_is_playing", {R(voice)}), 1);
    Call("audio_pause_sound", {R(0)});
    EXPECT_EQ(Num("audio_is_paused", {R(voice)}), 1);
    Call("audio_stop_all", {});
    Frame();
    Frame();
    Frame();
    EXPECT_EQ(Num("audio_is_playing", {R(voice)}), 0);
}

TEST_F(AudioBuiltinTest, EmitterDefaultsNeutralValuesAndReuse)
{
    const double e = Num("audio_emitter_create");
    ASSERT_EQ(e, 0);
    const double missing = 5;
    const struct {
        const char* getter;
        double fresh, bad;
    } cases[] = {
        {"audio_emitter_get_gain", 1, 0},  {"audio_emitter_get_pitch", 1, 1},
        {"audio_emitter_get_x", 0, 0},     {"audio_emitter_get_vz", 0, 0},
        {"audio_emitter_get_listener_mask", 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Num(c.getter, {R(e)}), c.fresh) << c.getter;
        EXPECT_EQ(Num(c.getter, {R(missing)}), c.bad) << c.getter;
    }
    EXPECT_EQ(Audio_GetEmitter(0)->falloffReference, 100.0f);
    EXPECT_EQ(Audio_GetEmitter(0)->falloffMaximum, 100000.0f);

    Call("audio_emitter_position", {R(e), R(1), R(2), R(3)});
    Call("audio_emitter_velocity", {R(e), R(4), R(5), R(6)});
    Call("audio_emitter_gain", {R(e), R(0.5)});
    Call("audio_emitter_gain", {R(e), R(-1)});
    Call("audio_emitter_pitch", {R(e), R(2)});
    Call("audio_emitter_falloff", {R(e), R(10), R(20), R(3)});
    Call("audio_emitter_set_listener_mask", {R(e), R(4)});
    EXPECT_EQ(Num("audio_emitter_get_y", {R(e)}), 2);
    EXPECT_EQ(Num("audio_emitter_get_vx", {R(e)}), 4);
    EXPECT_EQ(Num("audio_emitter_get_gain", {R(e)}), 0.5) << "a negative gain is ignored";
    EXPECT_EQ(Num("audio_emitter_get_pitch", {R(e)}), 2);
    EXPECT_EQ(Num("audio_emitter_get_listener_mask", {R(e)}), 4);

    Call("audio_emitter_free", {R(e)});
    EXPECT_EQ(Num("audio_emitter_exists", {R(e)}), 0);
    EXPECT_EQ(Num("audio_emitter_create"), 0) << "the freed slot is taken again";
    for (const auto& c : cases) EXPECT_EQ(Num(c.getter, {R(e)}), c.fresh) << c.getter << " after re-creation";
    EXPECT_EQ(Audio_GetEmitter(0)->falloffFactor, 1.0f);
}

TEST_F(AudioBuiltinTest, TheGlobalListenerMaskReachesNewEmittersAndTheirVoices)
{
    const double before = Num("audio_emitter_create");
    Call("audio_set_listener_mask", {R(2)});
    EXPECT_EQ(Num("audio_get_listener_mask"), 2);
    EXPECT_EQ(Num("audio_emitter_get_listener_mask", {R(before)}), 1) << "made before the change";
    const double e = Num("audio_emitter_create");
    EXPECT_EQ(Num("audio_emitter_get_listener_mask", {R(e)}), 2);

    const double plain = Num("audio_play_sound", {R(0), R(1), R(0)});
    Call("audio_sound_set_listener_mask", {R(plain), R(8)});
    EXPECT_EQ(Num("audio_sound_get_listener_mask", {R(plain)}), 8);
    const double onEmitter = Num("audio_play_sound_on", {R(e), R(0), R(0), R(1)});
    ASSERT_GE(onEmitter, kAudioVoiceIdBase);
    EXPECT_EQ(Num("audio_sound_get_listener_mask", {R(onEmitter)}), 2);
    Call("audio_set_listener_mask", {R(1)});
}

TEST_F(AudioBuiltinTest, ListenerCountInfoAndData)
{
    EXPECT_EQ(Num("audio_get_listener_count"), 1);
    EXPECT_EQ(Num("audio_get_listener_info", {R(1)}), -1);
    EXPECT_EQ(Num("audio_listener_get_data", {R(1)}), -1);
    const auto info = TakeMap(Num("audio_get_listener_info", {R(0)}));
    EXPECT_EQ(info.at("name"), "default");
    EXPECT_EQ(info.at("mask"), "1");
    EXPECT_EQ(info.at("index"), "0");

    // Until game code turns it, the listener looks along -z with +y up.
    auto data = TakeMap(Num("audio_listener_get_data", {R(0)}));
    const char* keys[] = {"lookat_x", "lookat_y", "lookat_z", "up_x", "up_y", "up_z"};
    std::string orientation;
    for (const char* k : keys) orientation += data.at(k) + " ";
    EXPECT_EQ(orientation, "0 0 -1 0 1 0 ");

    Call("audio_listener_set_position", {R(1), R(9), R(9), R(9)});
    Call("audio_listener_position", {R(4), R(5), R(6)});
    Call("audio_listener_set_velocity", {R(0), R(1), R(0), R(0)});
    data = TakeMap(Num("audio_listener_get_data", {R(0)}));
    EXPECT_EQ(data.at("x") + data.at("y") + data.at("z") + data.at("vx"), "4561") << "listener 1 does not exist";
}

TEST_F(AudioBuiltinTest, TurningTheListenerMovesAPositionedVoiceToTheOtherSide)
{
    // Ahead of the listener and to its right, at the reference distance.
    Frame();
    const double voice = Num("audio_play_sound_at", {R(0), R(10), R(0), R(-10), R(100), R(1000), R(1), R(1), R(1)});
    ASSERT_GE(voice, kAudioVoiceIdBase);
    audiotest::Levels levels = audiotest::Settled();
    EXPECT_GT(levels.right, 2 * levels.left) << levels.left << " " << levels.right;

    // Turned by 90 degrees to look along +x, it has the voice ahead and to its left.
    Call("audio_listener_orientation", {R(1), R(0), R(0), R(0), R(1), R(0)});
    Frame();
    levels = audiotest::Settled();
    EXPECT_GT(levels.left, 2 * levels.right) << levels.left << " " << levels.right;
}
