#pragma once
// Reading a RIFF WAV file image held in memory: PCM of 8 or 16 bits, one or
// two channels. Every chunk length is checked against the image.
#include <cstdint>

struct WavPcm {
    const uint8_t* samples;   // inside the image
    uint32_t size;            // bytes, a whole number of frames
    int32_t channels;         // 1 or 2
    int32_t bits;             // 8 or 16
    int32_t rate;             // frames per second
};

// Fills pcm from the image; false with *error naming what is wrong.
bool Wav_Read(const uint8_t* image, uint32_t length, WavPcm* pcm, const char** error);
// A new OpenAL buffer holding the image's samples; 0 with a logged message
// naming the sound when the image cannot be read or uploaded.
int32_t Wav_CreateBuffer(const uint8_t* image, uint32_t length, const char* soundName);
