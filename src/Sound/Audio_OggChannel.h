#pragma once
// One Ogg Vorbis decoder: a channel of an Ogg thread feeds its OpenAL source
// with two 16 KB blocks in turn; a channel of a sync group only decodes.
#include <tremor/ivorbisfile.h>

#include <atomic>
#include <cstdint>

#include "Base/Thread.h"
#include "Sound/Audio_OggMemory.h"

struct AudioSound;

constexpr int32_t kOggBlockBytes = 16384;

// Command bits a channel's owner sets under its lock and its thread takes.
enum : uint8_t {
    kOggPlay = 1,
    kOggLoop = 2,       // with play
    kOggStop = 8,       // alone: replaces whatever was pending
    kOggPosition = 16,  // a start position with play, else a seek
};

// What a decoder thread shares with the main thread: its lock, and the
// messages it collects for the main thread to print.
struct OggWorker {
    Mutex lock;
    char errorText[2048] = {};
    bool errorPending = false;

    OggWorker() { lock.Init("OggMutex"); }
    // Appends a message under the lock; what does not fit is dropped.
    void Report(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Main thread: logs the collected text after "(index): " and clears it.
    void Flush(int32_t index);
};

struct SOggChannel {
    OggVorbis_File file{};
    bool open = false;
    int32_t channels = 0;             // of the open stream
    int32_t rate = 0;
    uint8_t* pcmBlock = nullptr;      // two 16 KB halves
    int32_t currentPcm = 0;           // the half the next decode uses
    uint32_t alBuffers[2] = {};
    bool buffersMade = false;
    uint32_t source = 0;              // the OpenAL source fed; 0 in a sync group
    int32_t sourceIndex = -1;
    AudioSound* sound = nullptr;
    OggMemory memory{};               // read position over an in-memory sound
    int32_t state = 0;                // 0 idle, 1 playing, 2 looping, 3 ended
    int64_t totalSamples = INT64_MAX; // frames of the open stream
    float previousGain = 1.0f;        // the gain the last mixed block ended at
    int32_t seekTarget = 0;           // ms, taken from the pending position with the command

    // Under the owner's lock.
    bool busy = false;                // in use from a play command until it ends
    uint8_t command = 0;
    AudioSound* pendingSound = nullptr;
    float pendingPosition = 0.0f;     // seconds
    bool paused = false;              // the voice is paused: the thread keeps the source paused when it starts it

    // Read by the main thread for track positions.
    std::atomic<int32_t> buffersPlayed{0};  // blocks finished since the start or the last seek
    std::atomic<float> startPosition{0.0f}; // seconds where that start or seek began

    SOggChannel() = default;
    SOggChannel(const SOggChannel&) = delete;
    SOggChannel& operator=(const SOggChannel&) = delete;
    ~SOggChannel();

    // The PCM block, and with a source the two OpenAL buffers. False when
    // either cannot be had (reported to worker).
    bool Init(OggWorker* worker, uint32_t sourceName, int32_t index);
    // Opens the sound's stream: its file when streamed, else its bytes.
    bool OpenStream(OggWorker* worker);
    // Starts the source on the sound: two blocks queued, then play.
    void Open(OggWorker* worker, bool loop, int32_t startMs);
    // Frames in one block of the open stream.
    int32_t BlockFrames() const;
    // Decodes up to bytes into out, rewinding at the end when looping; the
    // bytes decoded, -1 on a read error.
    int32_t Decode(OggWorker* worker, uint8_t* out, int32_t bytes, bool loop);
    // Decodes a block into the current half and uploads it into buffer; the
    // bytes decoded (0 at the end or on an error). The half flips.
    int32_t Fill(OggWorker* worker, uint32_t buffer, bool loop);
    // Refills and requeues the blocks the source finished.
    void Refill(OggWorker* worker, bool loop);
    void Seek(OggWorker* worker, int32_t ms);
    // Stops the source, drops its blocks and closes the stream.
    void Stop();
    void Close();
    // Plays the source, or leaves it paused when the voice is paused.
    void PlaySource(OggWorker* worker);
    // The channel is done: not busy, unless a new command came meanwhile.
    void Release(OggWorker* worker);
};

// Opens path with the decoder; reports to worker when there is one.
bool Ogg_OpenFile(const char* path, OggVorbis_File* file, OggWorker* worker);
