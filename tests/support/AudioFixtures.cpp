#include "support/AudioFixtures.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "GameData/GameOptions.h"
#include "Host/Host_Audio.h"
#include "Sound/Audio_Main.h"
#include "support/GameFiles.h"
#include "support/TempFolder.h"

namespace audiotest {
namespace {
void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
std::vector<uint8_t> Bytes(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> out;
    for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
    return out;
}
}  // namespace

std::vector<uint8_t> WavImage(const std::vector<uint8_t>& data, int channels, int bits, int rate)
{
    std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
    Put32(out, static_cast<uint32_t>(36 + data.size()));
    for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(channels));
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate * channels * bits / 8));
    Put16(out, static_cast<uint16_t>(channels * bits / 8));
    Put16(out, static_cast<uint16_t>(bits));
    for (char c : std::string("data")) out.push_back(static_cast<uint8_t>(c));
    Put32(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<uint8_t> Wav16(const std::vector<int16_t>& samples, int channels, int rate)
{
    return WavImage(Bytes(samples), channels, 16, rate);
}

std::vector<int16_t> Square(int frames, const std::vector<int>& levels, int16_t amplitude)
{
    std::vector<int16_t> out;
    for (int f = 0; f < frames; ++f) {
        const int16_t v = (f / 25) % 2 ? amplitude : static_cast<int16_t>(-amplitude);
        for (int level : levels) out.push_back(level ? v : 0);
    }
    return out;
}

std::optional<std::vector<uint8_t>> EncodeOgg(const std::vector<int16_t>& samples, int channels, int rate)
{
    if (std::system("command -v oggenc >/dev/null 2>&1") != 0) return std::nullopt;
    TempFolder dir;
    const std::vector<uint8_t> raw = Bytes(samples);
    std::ofstream(dir / "in.raw", std::ios::binary).write(reinterpret_cast<const char*>(raw.data()),
                                                          static_cast<std::streamsize>(raw.size()));
    const std::string command = "oggenc -Q -r -B 16 -C " + std::to_string(channels) + " -R " + std::to_string(rate) +
                                " -o '" + (dir / "out.ogg") + "' '" + (dir / "in.raw") + "'";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    std::ifstream in(dir / "out.ogg", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

gamedata::SoundEntry SoundInGroup(const char* name, int32_t group, int32_t audioIndex)
{
    gamedata::SoundEntry e;
    e.name = name;
    e.fileName = name;
    e.group = group;
    e.audioIndex = audioIndex;
    return e;
}

Levels Render(int frames)
{
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    Levels levels;
    if (!HAudio_Render(out.data(), frames)) return levels;
    for (int f = 0; f < frames; ++f) {
        levels.left = std::max(levels.left, std::abs(static_cast<int>(out[2 * f])));
        levels.right = std::max(levels.right, std::abs(static_cast<int>(out[2 * f + 1])));
    }
    return levels;
}

Levels Settled()
{
    Render(2048);
    Render(2048);
    return Render(1024);
}

void LoopbackTest::SetUp()
{
    GameOptions.newAudioEngine = true;
    ASSERT_TRUE(SoundHardware_CreateLoopback(kRate));
    ASSERT_TRUE(Audio_IsOn());
}

void LoopbackTest::TearDown()
{
    SoundHardware_Destroy();
    testgames::Unload();
}

}  // namespace audiotest
