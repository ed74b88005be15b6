// Recording with a fake capture device in place of the system's: the test
// decides how many samples each device has gathered.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "DataStructure/DS_Handles.h"
#include "Host/Host_Capture.h"
#include "Network/Async_Requests.h"
#include "Sound/Audio_Main.h"
#include "Sound/Audio_Recorder.h"
#include "support/AsyncEvents.h"
#include "support/AudioFixtures.h"
#include "support/GameFiles.h"

struct HCaptureDevice {
    std::string name;
    bool started = false;
    int32_t gathered = 0;  // samples waiting; sample k has the value k
    int32_t next = 0;
};

namespace {
std::vector<HCaptureDevice*> g_open;
const char* g_names = "mic one\0mic two\0";
bool g_refuse = false;

const HCaptureOps kFake{
    [] { return g_names; },
    [](const char* name, int32_t rate, int32_t ring) -> HCaptureDevice* {
        if (g_refuse || rate != 16000 || ring != 32000) return nullptr;
        g_open.push_back(new HCaptureDevice{name});
        return g_open.back();
    },
    [](HCaptureDevice* d) { d->started = true; },
    [](HCaptureDevice* d) {
        std::erase(g_open, d);
        delete d;
    },
    [](HCaptureDevice* d) { return d->gathered; },
    [](HCaptureDevice* d, int16_t* out, int32_t count) {
        for (int32_t i = 0; i < count; ++i) out[i] = static_cast<int16_t>(d->next++);
        d->gathered -= count;
    },
};

struct AudioRecorderTest : audiotest::LoopbackTest {
    const HCaptureOps* old = nullptr;
    void SetUp() override
    {
        audiotest::LoopbackTest::SetUp();
        old = HCapture_SetOps(&kFake);
        g_refuse = false;
        // Results an earlier test left on the list are not this test's.
        Async_FreeRequests();
        asyncevents::Events.clear();
    }
    void TearDown() override
    {
        audiotest::LoopbackTest::TearDown();
        EXPECT_TRUE(g_open.empty()) << "every device is closed with the engine";
        HCapture_SetOps(old);
        Async_FreeRequests();
        asyncevents::Events.clear();
    }
    static void Frame()
    {
        Audio_Tick();
        Async_ProcessRequestList(asyncevents::Fire);
    }
};
}  // namespace

TEST_F(AudioRecorderTest, DevicesAndTheirInfo)
{
    ASSERT_EQ(Audio_GetRecorderCount(), 2);
    const int32_t map = Audio_GetRecorderInfo(1);
    const auto info = asyncevents::ReadMap(map);
    DsMap_Destroy(map);
    EXPECT_EQ(info.at("name") + " " + info.at("index") + " " + info.at("data_format") + " " + info.at("sample_rate") +
                  " " + info.at("channels"),
              "mic two 1 4 16000 0");
    testgames::CapturedLog log;
    EXPECT_EQ(Audio_GetRecorderInfo(2), -1);
    EXPECT_EQ(Audio_GetRecorderInfo(3), -1);
    EXPECT_EQ(Audio_GetRecorderInfo(-1), -1);
    EXPECT_NE(log.Text().find("audio_get_recorder_info: device 2 no longer attached"), std::string::npos);
    EXPECT_NE(log.Text().find("audio_get_recorder_info: device 3 not available"), std::string::npos);
}

TEST_F(AudioRecorderTest, ATenthOfASecondIsGatheredBeforeADelivery)
{
    Audio_GetRecorderCount();
    const int32_t recorder = Audio_StartRecording(1);
    ASSERT_EQ(recorder, 0);
    ASSERT_EQ(g_open.size(), 1u);
    EXPECT_TRUE(g_open[0]->started);
    EXPECT_EQ(g_open[0]->name, "mic two");

    g_open[0]->gathered = 1600;
    Frame();
    EXPECT_TRUE(asyncevents::Events.empty()) << "exactly a tenth of a second waits";
    g_open[0]->gathered = 1601;
    int32_t buffer = -1;
    const auto fire = [](int32_t map, int32_t subKind) {
        asyncevents::Fire(map, subKind);
        // The buffer lives while its event runs.
        const int32_t b = std::stoi(asyncevents::ReadMap(map).at("buffer_id"));
        const IBuffer* data = Buffer_Get(b);
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->UsedSize(), 3202);
        int16_t last = 0;
        std::memcpy(&last, data->Data() + 3200, 2);
        EXPECT_EQ(last, 1600) << "the samples in the order gathered";
    };
    Audio_Tick();
    Async_ProcessRequestList(fire);
    ASSERT_EQ(asyncevents::Events.size(), 1u);
    const auto& e = asyncevents::Events[0];
    EXPECT_EQ(e.subKind, kAudioRecordingEvent);
    EXPECT_EQ(e.fields.at("channel_index") + " " + e.fields.at("data_len"), "0 3202");
    buffer = std::stoi(e.fields.at("buffer_id"));
    EXPECT_EQ(Buffer_Get(buffer), nullptr) << "deleted after its event";
    EXPECT_EQ(g_open[0]->gathered, 0);
}

TEST_F(AudioRecorderTest, StartingAndStopping)
{
    testgames::CapturedLog log;
    EXPECT_EQ(Audio_StartRecording(0), -1) << "no device list read yet";
    Audio_GetRecorderCount();
    EXPECT_EQ(Audio_StartRecording(2), -1);
    EXPECT_EQ(Audio_StartRecording(5), -1);
    EXPECT_NE(log.Text().find("audio_start_recording: device 2 not available"), std::string::npos);
    EXPECT_NE(log.Text().find("audio_start_recording: device 5 out of range"), std::string::npos);

    EXPECT_EQ(Audio_StartRecording(0), 0);
    EXPECT_EQ(Audio_StartRecording(0), -1) << "a device records once";
    EXPECT_NE(log.Text().find("audio_start_recording: device 0 already recording"), std::string::npos);
    EXPECT_EQ(Audio_StartRecording(1), 1);
    EXPECT_EQ(Audio_StopRecording(0), 0);
    EXPECT_EQ(Audio_StopRecording(0), -1);
    EXPECT_EQ(g_open.size(), 1u);
    EXPECT_EQ(Audio_StartRecording(0), 0) << "the first empty slot";

    g_refuse = true;
    Audio_StopRecording(0);
    EXPECT_EQ(Audio_StartRecording(0), -1);
    EXPECT_NE(log.Text().find("Unable to open recording device 'mic one'"), std::string::npos);
    EXPECT_EQ(Audio_StopRecording(0), -1) << "the slot stays empty";
}
