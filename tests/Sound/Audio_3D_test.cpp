// Positioned voices, emitters and the listener on the loopback device.
#include <gtest/gtest.h>

#include <AL/al.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "DataStructure/DS_Handles.h"
#include "Host/Host_Audio.h"
#include "Sound/Audio_3D.h"
#include "Sound/Audio_BufferSound.h"
#include "Sound/Audio_Emitter.h"
#include "Sound/Audio_Listener.h"
#include "Sound/Audio_Main.h"
#include "Sound/Audio_Voice.h"
#include "support/AsyncEvents.h"
#include "support/AudioFixtures.h"
#include "support/GameFiles.h"

namespace {
struct Audio3DTest : audiotest::LoopbackTest {
    int buffer = -1;
    int32_t sound = -1;  // a looping 16-bit mono square wave

    void SetUp() override
    {
        audiotest::LoopbackTest::SetUp();
        const std::vector<int16_t> samples = audiotest::Square(2205, {1});
        buffer = Buffer_Create(int32_t(samples.size() * 2), eBuffer_Fixed, 1);
        Buffer_Get(buffer)->LoadFromMemory(samples.data(), int32_t(samples.size() * 2), 0,
                                           int32_t(samples.size() * 2), 0);
        sound = Audio_CreateBufferSound(buffer, kAudioFormatS16, audiotest::kRate, 0, 0, 0);
        ASSERT_GE(sound, 0);
        // Facing -z with y up, so that a sound ahead reaches both ears alike.
        Audio_SetListenerOrientation(0, 0, 0, -1, 0, 1, 0);
        Audio_Tick();
    }
    void TearDown() override
    {
        audiotest::LoopbackTest::TearDown();
        Buffer_Delete(buffer);
    }
    // Root mean square of both channels once the mixer has settled.
    static double SettledRms()
    {
        audiotest::Render(4096);
        std::vector<int16_t> out(2 * 4096);
        HAudio_Render(out.data(), 4096);
        double sum = 0;
        for (int16_t s : out) sum += double(s) * s;
        return std::sqrt(sum / double(out.size()));
    }
    static ALuint SourceOf(int32_t voiceId)
    {
        return Audio_VoiceSource(Audio_FindVoice(voiceId));
    }
    static std::vector<float> Source3(int32_t voiceId, ALenum param)
    {
        std::vector<float> v(3);
        alGetSource3f(SourceOf(voiceId), param, &v[0], &v[1], &v[2]);
        return v;
    }
    static float SourceF(int32_t voiceId, ALenum param)
    {
        float v = 0;
        alGetSourcef(SourceOf(voiceId), param, &v);
        return v;
    }
};
}  // namespace

TEST_F(Audio3DTest, FalloffModelsAttenuateAtTheListenerByTheirRatio)
{
    struct Case {
        int32_t model;
        float reference, maximum, factor, distance;
        double ratio;  // of the level at distance to the level at the reference distance
    };
    const Case cases[] = {
        {1, 100, 100000, 1, 400, 0.25},  // inverse: ref / (ref + factor (d - ref))
        {3, 100, 500, 1, 300, 0.5},      // linear: 1 - factor (d - ref) / (max - ref)
        {5, 100, 100000, 2, 200, 0.25},  // exponent: (d / ref) ^ -factor
        {0, 100, 100000, 1, 400, 1.0},   // none
    };
    for (const Case& c : cases) {
        Audio_SetFalloffModel(c.model);
        double levels[2];
        const float distances[2] = {c.reference, c.distance};
        for (int k = 0; k < 2; ++k) {
            const int32_t voice =
                Audio_PlayAt(sound, 0, 0, -distances[k], c.reference, c.maximum, c.factor, 1, 1.0);
            ASSERT_GT(voice, kAudioVoiceIdBase);
            levels[k] = SettledRms();
            Audio_StopAll(1);
        }
        ASSERT_GT(levels[0], 500) << c.model;
        EXPECT_NEAR(levels[1] / levels[0], c.ratio, 0.03) << "model " << c.model;
    }
}

TEST_F(Audio3DTest, AnUnknownFalloffModelKeepsTheCurrentOne)
{
    testgames::CapturedLog log;
    Audio_SetFalloffModel(3);
    Audio_SetFalloffModel(7);
    Audio_SetFalloffModel(-1);
    EXPECT_EQ(alGetInteger(AL_DISTANCE_MODEL), AL_LINEAR_DISTANCE);
    EXPECT_NE(log.Text().find("Attempting to set audio falloff to unknown model"), std::string::npos);
}

TEST_F(Audio3DTest, AFreedEmitterRefusesPlaysAndComesBackWithTheDefaults)
{
    Audio_SetListenerMask(2);
    const int32_t e = Audio_CreateEmitter();
    ASSERT_EQ(e, 0);
    EXPECT_EQ(Audio_GetEmitterListenerMask(e), 2u) << "the global mask at creation";
    Audio_SetListenerMask(1);
    Audio_SetEmitterFalloff(e, 5, 50, 3);
    Audio_SetEmitterGain(e, 0.5f);
    Audio_SetEmitterGain(e, -1.0f);
    Audio_SetEmitterPitch(e, 3.0f);
    Audio_SetEmitterPosition(e, 1, 2, 3);
    EXPECT_EQ(Audio_GetEmitterGain(e), 0.5) << "a negative gain is ignored";
    const int32_t voice = Audio_PlayOn(e, sound, 1, 1.0);
    ASSERT_GT(voice, kAudioVoiceIdBase);
    EXPECT_EQ(Audio_GetVoiceListenerMask(voice), 2u) << "the voice takes the emitter's mask";
    EXPECT_EQ(SourceF(voice, AL_REFERENCE_DISTANCE), 5.0f);

    Audio_FreeEmitter(e);
    EXPECT_FALSE(Audio_EmitterExists(e));
    EXPECT_FALSE(Audio_IsPlaying(voice)) << "its voices are stopped";
    testgames::CapturedLog log;
    EXPECT_EQ(Audio_PlayOn(e, sound, 0, 1.0), -1);
    EXPECT_NE(log.Text().find("inactive emitter 0"), std::string::npos);
    EXPECT_EQ(Audio_PlayOn(1, sound, 0, 1.0), -1);
    EXPECT_NE(log.Text().find("inactive emitter 1"), std::string::npos) << "an empty slot of the table";
    EXPECT_EQ(Audio_PlayOn(99, sound, 0, 1.0), -1);
    EXPECT_EQ(Audio_PlayOn(-1, sound, 0, 1.0), -1);
    EXPECT_EQ(log.Text().find("emitter 99"), std::string::npos) << "out of range: no message";

    ASSERT_EQ(Audio_CreateEmitter(), e);
    float position[3];
    Audio_GetEmitterPosition(e, position);
    EXPECT_EQ(position[0] + position[1] + position[2], 0.0f);
    EXPECT_EQ(Audio_GetEmitterGain(e), 1.0);
    EXPECT_EQ(Audio_GetEmitterPitch(e), 1.0);
    EXPECT_EQ(Audio_GetEmitterListenerMask(e), 1u);
    const int32_t again = Audio_PlayOn(e, sound, 1, 1.0);
    EXPECT_EQ(SourceF(again, AL_REFERENCE_DISTANCE), 100.0f);
    EXPECT_EQ(SourceF(again, AL_MAX_DISTANCE), 100000.0f);
    EXPECT_EQ(SourceF(again, AL_ROLLOFF_FACTOR), 1.0f);
    EXPECT_EQ(Audio_GetEmitterGain(7), 0.0) << "neutral values of a bad id";
    EXPECT_EQ(Audio_GetEmitterPitch(7), 1.0);
    EXPECT_EQ(Audio_GetEmitterListenerMask(-3), 1u);
}

TEST_F(Audio3DTest, EmitterPitchMultipliesTheSoundsPitch)
{
    Audio_SetPitch(sound, 0.5);
    const int32_t e = Audio_CreateEmitter();
    Audio_SetEmitterPitch(e, 3.0f);
    const int32_t voice = Audio_PlayOn(e, sound, 1, 1.0);
    EXPECT_FLOAT_EQ(SourceF(voice, AL_PITCH), 1.5f);
    Audio_SetEmitterPitch(e, 2.0f);
    EXPECT_FLOAT_EQ(SourceF(voice, AL_PITCH), 1.0f) << "at once";
    Audio_SetPitch(sound, 0.25);
    EXPECT_FLOAT_EQ(SourceF(voice, AL_PITCH), 0.5f) << "a new sound pitch keeps the emitter's";
}

TEST_F(Audio3DTest, EmittersMoveTheirVoicesAtTheNextFrame)
{
    const int32_t e = Audio_CreateEmitter();
    const int32_t voice = Audio_PlayOn(e, sound, 1, 1.0);
    const int32_t fixed = Audio_PlayAt(sound, 9, 9, 9, 100, 1000, 1, 1, 1.0);
    Audio_SetEmitterPosition(e, 5, 6, 7);
    Audio_SetEmitterVelocity(e, 1, 0, 0);
    Audio_SetEmitterGain(e, 0.5f);
    Audio_SetEmitterFalloff(e, 10, 20, 2);
    EXPECT_EQ(Source3(voice, AL_POSITION), (std::vector<float>{0, 0, 0})) << "not yet";
    EXPECT_EQ(SourceF(voice, AL_MAX_DISTANCE), 20.0f) << "falloff reaches playing voices at once";
    EXPECT_EQ(SourceF(fixed, AL_MAX_DISTANCE), 1000.0f) << "a positioned voice keeps its own";
    Audio_Tick();
    EXPECT_EQ(Source3(voice, AL_POSITION), (std::vector<float>{5, 6, 7}));
    EXPECT_EQ(Source3(voice, AL_VELOCITY), (std::vector<float>{1, 0, 0}));
    EXPECT_FLOAT_EQ(SourceF(voice, AL_GAIN), 0.5f);
    EXPECT_EQ(Source3(fixed, AL_POSITION), (std::vector<float>{9, 9, 9}));
}

TEST_F(Audio3DTest, TheListenerIsStoredAndReachesOpenAlAtTheNextFrame)
{
    Audio_SetListenerPosition(0, 1, 2, 3);
    Audio_SetListenerPosition(1, 7, 7, 7);
    float x = 0, y = 0, z = 0;
    alGetListener3f(AL_POSITION, &x, &y, &z);
    EXPECT_EQ(x, 0.0f) << "not yet";
    Audio_Tick();
    alGetListener3f(AL_POSITION, &x, &y, &z);
    EXPECT_EQ(std::vector<float>({x, y, z}), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(Audio_GetListenerData(1), -1);
    EXPECT_EQ(Audio_GetListenerInfo(1), -1);
    const int32_t data = Audio_GetListenerData(0);
    const auto fields = asyncevents::ReadMap(data);
    EXPECT_EQ(fields.at("x") + fields.at("y") + fields.at("z") + fields.at("lookat_z") + fields.at("up_y"), "123-11");
    const int32_t infoMap = Audio_GetListenerInfo(0);
    const auto info = asyncevents::ReadMap(infoMap);
    EXPECT_EQ(info.at("name") + info.at("mask") + info.at("index"), "default10");
    DsMap_Destroy(data);
    DsMap_Destroy(infoMap);
    Audio_SetMasterGain(0, -2.0f);
    EXPECT_EQ(Audio_GetMasterGain(0), 0.0);
    Audio_SetMasterGain(0, 0.75f);
    EXPECT_EQ(Audio_GetMasterGain(0), 0.75);
}
