// libFuzzer target for audio group files: the file is checked and bound to
// the group's sounds as a load does, and every sound it binds is read as
// preparing would read it (its audio entry's length, then the WAV image).
// The work per input is bounded by the four sounds.
#include <cstddef>
#include <cstdint>

#include "Base/Console.h"
#include "GameData/GameData.h"
#include "Sound/Audio_Group.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Wav.h"

namespace {
constexpr int32_t kSounds = 4;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Console_SetStdoutSuppressed(true);
    // Without group records every sound belongs to group 0, which the file binds.
    Audio_SetAssetCount(kSounds);
    for (int32_t i = 0; i < kSounds; ++i) {
        auto* sound = new AudioSound;
        sound->audioIndex = i;
        Audio_SetAsset(i, sound, "fuzz");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > UINT32_MAX) return 0;
    if (!AudioGroup_BindFile(0, data, static_cast<uint32_t>(size))) return 0;
    for (int32_t i = 0; i < kSounds; ++i) {
        AudioSound* sound = Audio_GetAsset(i);
        if (!sound->audioData) continue;
        WavPcm pcm;
        const char* error = nullptr;
        if (Wav_Read(sound->audioData + 4, GameData_U32(sound->audioData), &pcm, &error)) {
            volatile uint8_t last = pcm.size > 0 ? pcm.samples[pcm.size - 1] : 0;
            (void)last;
        }
        sound->audioData = nullptr;
    }
    return 0;
}
