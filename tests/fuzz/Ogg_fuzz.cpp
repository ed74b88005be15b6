// libFuzzer target for Ogg Vorbis images read from memory by a decoder
// channel: open, decode while looping (a stream that decodes nothing after a
// rewind must end the loop), seek by time and by sample, as the channels and
// sync groups do. The work per input is bounded by the blocks decoded.
#include <cstddef>
#include <cstdint>

#include "Base/Console.h"
#include "Sound/Audio_OggChannel.h"
#include "Sound/Audio_Sound.h"

namespace {
constexpr int kBlocks = 8;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Console_SetStdoutSuppressed(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > UINT32_MAX) return 0;
    AudioSound sound;
    sound.compressed = true;
    sound.oggData = data;
    sound.oggLength = static_cast<uint32_t>(size);
    OggWorker worker;
    SOggChannel channel;
    if (!channel.Init(&worker, 0, -1)) return 0;
    channel.sound = &sound;
    if (!channel.OpenStream(&worker)) return 0;
    const int32_t bytes = channel.BlockFrames() * channel.channels * 2;
    for (int i = 0; i < kBlocks; ++i) {
        if (channel.Decode(&worker, channel.pcmBlock, bytes, true) <= 0) break;
        if (i == 2) ov_time_seek(&channel.file, 5);
        if (i == 4 && channel.totalSamples > 0) ov_pcm_seek(&channel.file, (channel.totalSamples / 2) % channel.totalSamples);
    }
    channel.Close();
    return 0;
}
