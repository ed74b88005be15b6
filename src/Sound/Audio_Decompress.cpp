#include "Sound/Audio_Decompress.h"

#include <AL/al.h>

#include <climits>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_OggMemory.h"
#include "Sound/Audio_Sound.h"

namespace {
// Where each channel of the Ogg Vorbis order sounds: left, right or both
// (centre and low frequency). Streams of more than 8 channels have no
// defined order and are heard on both sides.
constexpr char L = 'L', R = 'R', B = 'B';
const char* const kSides[] = {"", "", "", "LBR", "LRLR", "LBRLR", "LBRLRB", "LBRLRBB", "LBRLRLRB"};

const char* Name(const AudioSound* sound)
{
    return sound->fileName ? sound->fileName : "";
}
}  // namespace

void Ogg_MixDownToStereo(int16_t* pcm, int64_t frames, int32_t channels)
{
    const char* sides = channels <= 8 ? kSides[channels] : nullptr;
    for (int64_t f = 0; f < frames; ++f) {
        const int16_t* in = pcm + f * channels;
        int64_t left = 0, right = 0, leftCount = 0, rightCount = 0;
        for (int32_t c = 0; c < channels; ++c) {
            const char side = sides ? sides[c] : B;
            if (side != R) left += in[c], ++leftCount;
            if (side != L) right += in[c], ++rightCount;
        }
        // Averages cannot clip; frames are written in order, never ahead of
        // the frame being read, so the mix can run in place.
        pcm[2 * f] = static_cast<int16_t>(left / leftCount);
        pcm[2 * f + 1] = static_cast<int16_t>(right / rightCount);
    }
}

int32_t DecompressOgg(AudioSound* sound)
{
    if (!sound->oggData || sound->oggLength == 0) return 0;
    LogConsole->Output("Decoding ogg %s ...\n", Name(sound));
    OggMemory memory{sound->oggData, sound->oggLength, 0};
    OggVorbis_File file;
    const int opened = ov_open_callbacks(&memory, &file, nullptr, 0, OggMemory_Callbacks());
    if (opened != 0) {
        LogConsole->Output("Error %d opening ogg stream for %s\n", opened, Name(sound));
        return 0;
    }
    const vorbis_info* info = ov_info(&file, -1);
    const int64_t frames = ov_pcm_total(&file, -1);
    const int32_t channels = info ? info->channels : 0;
    const int64_t rate = info ? info->rate : 0;
    // A stream without a length, channels or rate gives nothing to allocate.
    if (frames < 0 || channels < 1 || rate < 1 || rate > INT_MAX) {
        LogConsole->Output("Error: ogg stream for %s has no usable length (%lld), channels (%d) or rate (%lld)\n",
                           Name(sound), static_cast<long long>(frames), channels, static_cast<long long>(rate));
        ov_clear(&file);
        return 0;
    }
    const int64_t decodedBytes = frames * channels * 2;
    if (frames > INT_MAX / 2 / channels) {
        LogConsole->Output("ERROR: failed to allocate buffer of %lld bytes for sound %s\n",
                           static_cast<long long>(decodedBytes), Name(sound));
        ov_clear(&file);
        return 0;
    }
    char* data = static_cast<char*>(QS_ALLOC(static_cast<size_t>(decodedBytes > 0 ? decodedBytes : 1), true));
    if (!data) {
        LogConsole->Output("ERROR: failed to allocate buffer of %lld bytes for sound %s\n",
                           static_cast<long long>(decodedBytes), Name(sound));
        ov_clear(&file);
        return 0;
    }
    int64_t decoded = 0;
    while (decoded < decodedBytes) {
        int section = 0;
        const long got = ov_read(&file, data + decoded, static_cast<int>(decodedBytes - decoded), &section);
        if (got == 0) break;
        if (got < 0) {
            LogConsole->Output("ov_read error: %ld\n", got);
            break;
        }
        decoded += got;
    }
    if (decoded != decodedBytes)
        LogConsole->Output("Ogg unexpected decompressed size: %lld (expected: %lld)\n",
                           static_cast<long long>(decoded), static_cast<long long>(decodedBytes));
    // Only whole frames are uploaded.
    const int64_t decodedFrames = decoded / (channels * 2);
    if (channels > 2) Ogg_MixDownToStereo(reinterpret_cast<int16_t*>(data), decodedFrames, channels);
    const int32_t outChannels = channels == 1 ? 1 : 2;
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, outChannels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, data,
                 static_cast<ALsizei>(decodedFrames * outChannels * 2), static_cast<ALsizei>(rate));
    const bool failed = Audio_CheckALError("DecompressOgg: alBufferData");
    QS_FREE(data);
    ov_clear(&file);
    if (failed) {
        if (alIsBuffer(buffer)) alDeleteBuffers(1, &buffer);
        return 0;
    }
    return static_cast<int32_t>(buffer);
}
