// Writes the seed corpus of the audio group file target: group files holding
// WAV images of both sample sizes and channel counts, one with an empty slot.
#include <string>
#include <vector>

#include "TextSeeds.h"
#include "gamedata/FormWriter.h"

namespace {
std::vector<uint8_t> Wav(int channels, int bits, int frames)
{
    const int block = channels * bits / 8;
    std::vector<uint8_t> data(static_cast<size_t>(frames * block));
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>((i / 7) % 2 ? 0x60 : 0xA0);
    std::vector<uint8_t> out;
    auto put = [&](const char* text) { out.insert(out.end(), text, text + 4); };
    auto u32 = [&](uint32_t v) { for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(v >> (8 * k))); };
    auto u16 = [&](uint16_t v) { out.push_back(static_cast<uint8_t>(v)); out.push_back(static_cast<uint8_t>(v >> 8)); };
    put("RIFF");
    u32(static_cast<uint32_t>(36 + data.size()));
    put("WAVE");
    put("fmt ");
    u32(16);
    u16(1);
    u16(static_cast<uint16_t>(channels));
    u32(8000);
    u32(static_cast<uint32_t>(8000 * block));
    u16(static_cast<uint16_t>(block));
    u16(static_cast<uint16_t>(bits));
    put("data");
    u32(static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::string Text(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}
}  // namespace

int main(int argc, char** argv)
{
    gamedata::FormWriter four;
    four.Audo({Wav(1, 16, 40), Wav(2, 8, 30), Wav(2, 16, 20), Wav(1, 8, 50)});
    gamedata::FormWriter gap;
    gap.Audo({Wav(1, 16, 10), std::nullopt});
    return WriteByteSeeds(argc, argv, {Text(four.Finish()), Text(gap.Finish())});
}
