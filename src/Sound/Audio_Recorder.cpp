#include "Sound/Audio_Recorder.h"

#include <cstring>

#include "Base/Array.h"
#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "DataStructure/DS_Native.h"
#include "Host/Host_Capture.h"
#include "Network/Async_Requests.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Sound.h"

namespace {
constexpr int32_t kRingSamples = 32000;  // two seconds
constexpr int32_t kFormatS16 = 4;        // buffer_s16
const char* const kNoText = nullptr;

struct AudioRecorder {
    char* deviceName = nullptr;  // owned
    bool recording = false;
    HCaptureDevice* device = nullptr;

    AudioRecorder() = default;
    AudioRecorder(const AudioRecorder&) = delete;
    AudioRecorder& operator=(const AudioRecorder&) = delete;
    ~AudioRecorder()
    {
        if (device) HCapture().close(device);
        QS_FREE(deviceName);
    }
};

// Owned copies of the device names, in the order the system gives them.
struct CaptureDevice {
    char* name = nullptr;
    ~CaptureDevice() { QS_FREE(name); }
};

cARRAY_CLASS<CaptureDevice> s_devices;
cARRAY_CLASS<AudioRecorder> s_recorders;

AudioRecorder* FindRecorderByName(const char* name)
{
    for (int32_t i = 0; i < s_recorders.length; ++i)
        if (s_recorders.items[i] && s_recorders.items[i]->deviceName && std::strcmp(s_recorders.items[i]->deviceName, name) == 0)
            return s_recorders.items[i];
    return nullptr;
}

// Whether the device is in the list; otherwise logs outside (beyond the end
// or negative) or gone (just past the last, as after a device was detached).
bool InDeviceList(int32_t device, const char* outside, const char* gone)
{
    if (device >= 0 && device < s_devices.length) return true;
    LogConsole->Output(device == s_devices.length ? gone : outside, device);
    return false;
}

void Deliver(int32_t id, AudioRecorder* recorder)
{
    const int32_t available = HCapture().available(recorder->device);
    if (!(float(available) / float(kAudioRecordRate) > 0.1f)) return;
    const int32_t bytes = available * 2;
    auto* data = static_cast<uint8_t*>(QS_ALLOC(size_t(bytes), false));
    if (!data) return;
    HCapture().read(recorder->device, reinterpret_cast<int16_t*>(data), available);
    // A plain fixed buffer over the samples, so that the game reads them as s16.
    const int32_t buffer = Buffer_CreateWrapped(data, bytes, true);
    const int32_t map = DsMap_CreateFromTriples(3, "buffer_id", double(buffer), kNoText, "channel_index", double(id),
                                                kNoText, "data_len", double(bytes), kNoText);
    if (map < 0) {
        Buffer_Delete(buffer);
        return;
    }
    PostAsyncEventWithBuffer(map, buffer, kAudioRecordingEvent);
}
}  // namespace

int32_t Audio_GetRecorderCount()
{
    s_devices.SetLength(0);
    const char* names = HCapture().deviceNames();
    int32_t count = 0;
    for (const char* at = names; at && *at; at += std::strlen(at) + 1) ++count;
    if (count == 0 || !s_devices.SetLength(count)) return 0;
    int32_t i = 0;
    for (const char* at = names; at && *at; at += std::strlen(at) + 1) {
        s_devices.items[i] = new CaptureDevice;
        s_devices.items[i++]->name = Audio_CopyText(at);
    }
    return count;
}

int32_t Audio_GetRecorderInfo(int32_t device)
{
    if (!InDeviceList(device, "audio_get_recorder_info: device %d not available\n",
                      "audio_get_recorder_info: device %d no longer attached\n"))
        return -1;
    return DsMap_CreateFromTriples(5, "name", 0.0, s_devices.items[device]->name, "index", double(device), kNoText,
                                   "data_format", double(kFormatS16), kNoText, "sample_rate",
                                   double(kAudioRecordRate), kNoText, "channels", 0.0, kNoText);
}

int32_t Audio_StartRecording(int32_t device)
{
    if (!Audio_IsOn()) return -1;
    if (!InDeviceList(device, "audio_start_recording: device %d out of range\n",
                      "audio_start_recording: device %d not available\n"))
        return -1;
    const char* name = s_devices.items[device]->name;
    AudioRecorder* recorder = FindRecorderByName(name);
    if (recorder && recorder->recording) {
        LogConsole->Output("audio_start_recording: device %d already recording\n", device);
        return -1;
    }
    int32_t slot = 0;
    while (slot < s_recorders.length && s_recorders.items[slot] != recorder) ++slot;
    if (!recorder) {
        slot = 0;
        while (slot < s_recorders.length && s_recorders.items[slot]) ++slot;
        if (slot == s_recorders.length && !s_recorders.SetLength(slot + 1)) return -1;
        HCaptureDevice* opened = HCapture().open(name, kAudioRecordRate, kRingSamples);
        if (!opened) {
            LogConsole->Output("audio_start_recording : Unable to open recording device '%s'\n", name);
            return -1;
        }
        recorder = new AudioRecorder;
        recorder->device = opened;
        recorder->deviceName = Audio_CopyText(name);
        s_recorders.items[slot] = recorder;
    }
    HCapture().start(recorder->device);
    recorder->recording = true;
    return slot;
}

int32_t Audio_StopRecording(int32_t id)
{
    if (id < 0 || id >= s_recorders.length || !s_recorders.items[id] || !s_recorders.items[id]->recording) {
        LogConsole->Output("audio_stop_recording : recorder %d is not currently recording\n", id);
        return -1;
    }
    delete s_recorders.items[id];
    s_recorders.items[id] = nullptr;
    return 0;
}

void Audio_CollectRecordings()
{
    for (int32_t i = 0; i < s_recorders.length; ++i)
        if (s_recorders.items[i] && s_recorders.items[i]->recording) Deliver(i, s_recorders.items[i]);
}

void Audio_FreeRecorders()
{
    s_recorders.SetLength(0);
    s_devices.SetLength(0);
}
