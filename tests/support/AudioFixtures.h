#pragma once
// Sound fixtures made by the tests themselves: WAV images, Ogg images encoded
// with Debian's encoder at test time, and the level of what the loopback
// device mixes.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "gamedata/FormWriter.h"

namespace audiotest {

constexpr int32_t kRate = 22050;

// A RIFF WAV image of the given samples (bits 8 or 16, little-endian).
std::vector<uint8_t> WavImage(const std::vector<uint8_t>& data, int channels, int bits, int rate);
// 16-bit interleaved samples as a WAV image.
std::vector<uint8_t> Wav16(const std::vector<int16_t>& samples, int channels, int rate = kRate);
// frames frames of a square wave of that amplitude in each channel whose entry
// of levels is 1 (silence where it is 0).
std::vector<int16_t> Square(int frames, const std::vector<int>& levels, int16_t amplitude = 12000);
// The samples encoded as Ogg Vorbis by oggenc; none when the encoder is not installed.
std::optional<std::vector<uint8_t>> EncodeOgg(const std::vector<int16_t>& samples, int channels, int rate = kRate);

// A sound asset of an audio group, named name, file name included, whose
// audio is entry audioIndex of its group's audio chunk.
gamedata::SoundEntry SoundInGroup(const char* name, int32_t group, int32_t audioIndex);

// Peak absolute sample of the left and right channels over the next frames frames the loopback device mixes.
struct Levels {
    int left = 0;
    int right = 0;
    int Max() const { return left > right ? left : right; }
};
Levels Render(int frames);
// The mixer dithers its output: silence reads as a sample or two off zero.
constexpr int kSilent = 16;
// Mixes past a gain change (the mixer smooths it over a few thousand frames), then measures.
Levels Settled();

// Each test runs the engine on the loopback device and unloads its game after.
struct LoopbackTest : ::testing::Test {
    void SetUp() override;
    void TearDown() override;
};

}  // namespace audiotest
