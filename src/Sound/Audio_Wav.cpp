#include "Sound/Audio_Wav.h"

#include <AL/al.h>

#include <cstring>

#include "Base/Console.h"
#include "GameData/GameData.h"

namespace {
constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
}  // namespace

bool Wav_Read(const uint8_t* image, uint32_t length, WavPcm* pcm, const char** error)
{
    if (!image || length < 12 || std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 8, "WAVE", 4) != 0) {
        *error = "not a RIFF WAVE image";
        return false;
    }
    bool haveFormat = false;
    uint16_t format = 0, channels = 0, bits = 0, blockAlign = 0;
    uint32_t rate = 0;
    uint32_t pos = 12;
    while (length - pos >= 8) {
        const uint8_t* chunk = image + pos;
        const uint32_t size = GameData_U32(chunk + 4);
        if (size > length - pos - 8) {
            *error = "a chunk runs past the end of the image";
            return false;
        }
        const uint8_t* body = chunk + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16) {
                *error = "the format chunk is too short";
                return false;
            }
            format = GameData_U16(body);
            channels = GameData_U16(body + 2);
            rate = GameData_U32(body + 4);
            blockAlign = GameData_U16(body + 12);
            bits = GameData_U16(body + 14);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                *error = "the data chunk comes before the format chunk";
                return false;
            }
            if ((format != kFormatPcm && format != kFormatExtensible) || (bits != 8 && bits != 16) ||
                (channels != 1 && channels != 2) || rate == 0 || rate > 0x7FFFFFFFu ||
                blockAlign != channels * bits / 8) {
                *error = "only PCM of 8 or 16 bits in one or two channels is played";
                return false;
            }
            pcm->samples = body;
            pcm->size = size - size % blockAlign;  // a torn last frame is dropped
            pcm->channels = channels;
            pcm->bits = bits;
            pcm->rate = static_cast<int32_t>(rate);
            return true;
        }
        // Chunks are padded to an even length.
        const uint32_t advance = 8 + size + (size & 1);
        if (advance > length - pos) break;
        pos += advance;
    }
    *error = haveFormat ? "the image has no data chunk" : "the image has no format chunk";
    return false;
}

int32_t Wav_CreateBuffer(const uint8_t* image, uint32_t length, const char* soundName)
{
    WavPcm pcm{};
    const char* error = nullptr;
    if (!Wav_Read(image, length, &pcm, &error)) {
        LogConsole->Output("Error reading WAV data of sound %s: %s\n", soundName ? soundName : "", error);
        return 0;
    }
    const ALenum format = pcm.channels == 1 ? (pcm.bits == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16)
                                            : (pcm.bits == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16);
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) {
        LogConsole->Output("Error creating a buffer for sound %s\n", soundName ? soundName : "");
        return 0;
    }
    alBufferData(buffer, format, pcm.samples, static_cast<ALsizei>(pcm.size), pcm.rate);
    const ALenum code = alGetError();
    if (code != AL_NO_ERROR) {
        LogConsole->Output("Error %d uploading the WAV data of sound %s\n", code, soundName ? soundName : "");
        alDeleteBuffers(1, &buffer);
        return 0;
    }
    return static_cast<int32_t>(buffer);
}
