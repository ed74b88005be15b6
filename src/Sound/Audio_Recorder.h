#pragma once
// Recording from the system's capture devices at 16000 Hz, mono, 16-bit. Once
// per frame each recording recorder hands what it gathered (once more than a
// tenth of a second) to the game in a new buffer with an audio-recording
// event (73): "buffer_id", "channel_index" (the recorder) and "data_len". The
// buffer is deleted with the event's map after the event has run.
#include <cstdint>

constexpr int32_t kAudioRecordingEvent = 73;
constexpr int32_t kAudioRecordRate = 16000;

// Reads the list of capture devices again; their number. Devices are named
// by their index in the list, which changes only here.
int32_t Audio_GetRecorderCount();
// A result map with the device's "name", "index", "data_format" (4),
// "sample_rate" (16000) and "channels" (0); -1 with a message for a device
// that is not in the list.
int32_t Audio_GetRecorderInfo(int32_t device);
// Starts recording from the device; the recorder's id, or -1 with a message
// (no such device, already recording, cannot be opened).
int32_t Audio_StartRecording(int32_t device);
// Stops and deletes the recorder: 0, or -1 when it is not recording.
int32_t Audio_StopRecording(int32_t recorder);
// Once per frame: delivers the samples each recorder gathered.
void Audio_CollectRecordings();
// Stops every recorder and forgets the device list (engine shutdown).
void Audio_FreeRecorders();
