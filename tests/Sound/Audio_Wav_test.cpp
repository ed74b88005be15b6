#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Sound/Audio_Wav.h"
#include "support/AudioFixtures.h"

namespace {
std::vector<uint8_t> Chunk(const char* tag, const std::vector<uint8_t>& body)
{
    std::vector<uint8_t> out(tag, tag + 4);
    const uint32_t n = static_cast<uint32_t>(body.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
    out.insert(out.end(), body.begin(), body.end());
    if (n & 1) out.push_back(0);
    return out;
}

// A format chunk body: PCM with the given channels and bits at 8000 Hz.
std::vector<uint8_t> Format(uint16_t channels, uint16_t bits, uint16_t code = 1)
{
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    const uint32_t rate = 8000, bytes = rate * align;
    return {static_cast<uint8_t>(code), static_cast<uint8_t>(code >> 8), static_cast<uint8_t>(channels), 0,
            static_cast<uint8_t>(rate), static_cast<uint8_t>(rate >> 8), 0, 0,
            static_cast<uint8_t>(bytes), static_cast<uint8_t>(bytes >> 8), static_cast<uint8_t>(bytes >> 16), 0,
            static_cast<uint8_t>(align), 0, static_cast<uint8_t>(bits), 0};
}

std::vector<uint8_t> Riff(const std::vector<std::vector<uint8_t>>& chunks)
{
    std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
    for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
    return Chunk("RIFF", body);
}
}  // namespace

TEST(AudioWav, ReadsPcmPastOtherChunksAndDropsATornFrame)
{
    // An odd-sized chunk before the format (padded to even), 5 data bytes of 16-bit stereo.
    const std::vector<uint8_t> image =
        Riff({Chunk("LIST", {1, 2, 3}), Chunk("fmt ", Format(2, 16)), Chunk("data", {1, 2, 3, 4, 5})});
    WavPcm pcm{};
    const char* error = nullptr;
    ASSERT_TRUE(Wav_Read(image.data(), static_cast<uint32_t>(image.size()), &pcm, &error)) << error;
    EXPECT_EQ(pcm.channels, 2);
    EXPECT_EQ(pcm.bits, 16);
    EXPECT_EQ(pcm.rate, 8000);
    EXPECT_EQ(pcm.size, 4u);
    EXPECT_EQ(pcm.samples[0], 1);

    const std::vector<uint8_t> mono8 = audiotest::WavImage({128, 255, 0}, 1, 8, 11025);
    ASSERT_TRUE(Wav_Read(mono8.data(), static_cast<uint32_t>(mono8.size()), &pcm, &error)) << error;
    EXPECT_EQ(pcm.size, 3u);
    EXPECT_EQ(pcm.rate, 11025);
}

TEST(AudioWav, BrokenOrUnplayableImagesAreRefusedWithAReason)
{
    const std::vector<uint8_t> data = Chunk("data", {0, 0, 0, 0});
    std::vector<uint8_t> longData = Riff({Chunk("fmt ", Format(1, 16)), data});
    longData[longData.size() - 8] = 0xFF;  // the data chunk claims more bytes than the image holds
    const struct {
        const char* what;
        std::vector<uint8_t> image;
        const char* reason;
    } cases[] = {
        {"too short", {'R', 'I', 'F', 'F'}, "not a RIFF"},
        {"another container", Chunk("RIFX", {'W', 'A', 'V', 'E'}), "not a RIFF"},
        {"no format", Riff({data}), "before the format"},
        {"no data", Riff({Chunk("fmt ", Format(1, 16))}), "no data chunk"},
        {"nothing at all", Riff({}), "no format chunk"},
        {"short format", Riff({Chunk("fmt ", {1, 0, 1, 0}), data}), "too short"},
        {"data past the end", longData, "past the end"},
        {"24-bit", Riff({Chunk("fmt ", Format(1, 24)), data}), "only PCM"},
        {"six channels", Riff({Chunk("fmt ", Format(6, 16)), data}), "only PCM"},
        {"compressed format", Riff({Chunk("fmt ", Format(1, 16, 2)), data}), "only PCM"},
    };
    for (const auto& c : cases) {
        WavPcm pcm{};
        const char* error = nullptr;
        EXPECT_FALSE(Wav_Read(c.image.data(), static_cast<uint32_t>(c.image.size()), &pcm, &error)) << c.what;
        ASSERT_NE(error, nullptr) << c.what;
        EXPECT_NE(std::string(error).find(c.reason), std::string::npos) << c.what << ": " << error;
    }
}
