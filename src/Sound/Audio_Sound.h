#pragma once
// A playable sound of the audio engine, and the table of the game's sound
// assets (one slot per entry of the sound chunk; empty slots are null).
#include <cstdint>

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

    AudioSound() = default;
    AudioSound(const AudioSound&) = delete;
    AudioSound& operator=(const AudioSound&) = delete;
    // Frees the texts and deletes the buffer when it is one.
    ~AudioSound();

    bool IsOggPlayed() const { return streamed || compressed; }
    // Deletes the buffer when it is one; the name becomes -1.
    void ReleaseBuffer();
};

// Replaces the asset table by count empty slots. False when out of memory.
bool Audio_SetAssetCount(int32_t count);
// Puts sound (taken over) and a copy of name into slot index.
void Audio_SetAsset(int32_t index, AudioSound* sound, const char* name);
int32_t Audio_GetAssetCount();
// The sound of an asset slot, null for an empty slot or an index out of range.
AudioSound* Audio_GetAsset(int32_t index);
// The name of an asset slot, null when none.
const char* Audio_GetAssetName(int32_t index);
// The sound an id names (only asset sounds exist so far), null when none.
AudioSound* Audio_GetSound(int32_t id);
// The last asset index whose name equals name byte for byte; -1 when none.
int Audio_FindSound(const char* name);
// Deletes every asset sound and name.
void Audio_FreeAssets();
