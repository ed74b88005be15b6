#pragma once
// A playable sound of the audio engine, and its tables: the game's sound
// assets (one slot per entry of the sound chunk; empty slots are null), and
// the sounds made at run time, named by an id range each.
#include <cstdint>

constexpr int32_t kAudioBufferSoundIdBase = 100000;
constexpr int32_t kAudioQueueIdBase = 200000;
constexpr int32_t kAudioStreamIdBase = 300000;

struct AudioSound {
    char* fileName = nullptr;           // owned; the chunk's file name
    float gain = 1.0f;                  // 0..1
    float pitch = 1.0f;
    const uint8_t* audioData = nullptr; // the sound's audio entry (length word, then the file image), or null
    int32_t audioIndex = 0;             // entry of the audio chunk
    int32_t alBuffer = -1;              // OpenAL buffer name; -1 none, 0 not prepared or failed
    float fadeStep = 0.0f;              // gain change per frame
    int32_t fadeFrames = 0;             // frames of fade left
    bool streamed = false;              // played from a file by an Ogg channel
    bool compressed = false;            // played from in-memory Ogg data by an Ogg channel
    bool decompressOnLoad = false;      // decoded whole into the buffer when prepared
    const uint8_t* oggData = nullptr;   // the Ogg image inside the audio data
    uint32_t oggLength = 0;
    char* resolvedPath = nullptr;       // owned; a streamed file's path once found
    float length = -1.0f;               // seconds; negative until measured
    int32_t sampleRate = 0;
    int32_t channels = 1;
    int64_t totalSamples = 0;
    float startPosition = 0.0f;         // seconds; where new voices start
    int32_t group = 0;                  // audio group
    bool destroyed = false;             // a stream whose record waits for its channels to let go
    int32_t bufferIndex = -1;           // a buffer sound's source buffer
    int32_t queueFormat = 0;            // a play queue's pieces: 1 unsigned 8-bit, 4 signed 16-bit
    int32_t queueChannelMode = 0;       // 0 mono, 1 stereo, 2 positioned (mono)

    AudioSound() = default;
    AudioSound(const AudioSound&) = delete;
    AudioSound& operator=(const AudioSound&) = delete;
    // Frees the texts and deletes the buffer when it is one.
    ~AudioSound();

    bool IsOggPlayed() const { return streamed || compressed; }
    // Deletes the buffer when it is one; the name becomes -1.
    void ReleaseBuffer();
};

// A tracked copy of the text; null for null or when out of memory.
char* Audio_CopyText(const char* text);

// Replaces the asset table by count empty slots. False when out of memory.
bool Audio_SetAssetCount(int32_t count);
// Puts sound (taken over) and a copy of name into slot index.
void Audio_SetAsset(int32_t index, AudioSound* sound, const char* name);
int32_t Audio_GetAssetCount();
// The sound of an asset slot, null for an empty slot or an index out of range.
AudioSound* Audio_GetAsset(int32_t index);
// The name of an asset slot, null when none.
const char* Audio_GetAssetName(int32_t index);
// Buffer sounds are ids 100000..199999, play queues 200000..299999, streams 300000..399999.
bool Audio_IsBufferSoundId(int32_t id);
bool Audio_IsQueueId(int32_t id);
bool Audio_IsStreamId(int32_t id);
// The sound an id names: an asset, a buffer sound, a queue or a stream that
// is not marked destroyed; null when none.
AudioSound* Audio_GetSound(int32_t id);

// The run-time tables: a sound added takes the first empty slot (else the
// table grows, by 16 slots for buffer sounds, by one for the others) and its
// id is the table's base plus the slot; -1 when out of memory (the sound is
// then deleted).
enum class AudioTable { BufferSound, Queue, Stream };
int32_t Audio_AddTableSound(AudioTable table, AudioSound* sound);
int32_t Audio_TableLength(AudioTable table);
// The record in a slot, destroyed or not; null for an empty slot.
AudioSound* Audio_TableSound(AudioTable table, int32_t slot);
// Deletes the record of a slot and empties it.
void Audio_DeleteTableSound(AudioTable table, int32_t slot);
// Calls f(sound) for every sound of every table.
void Audio_ForEachSound(void (*f)(AudioSound* sound));
// The last asset index whose name equals name byte for byte; -1 when none.
int Audio_FindSound(const char* name);
// Deletes every sound and asset name of every table.
void Audio_FreeAssets();
