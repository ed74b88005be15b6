#include "Sound/Audio_Prepare.h"

#include "Base/MemoryManager.h"
#include "GameData/GameData.h"
#include "Sound/Audio_Decompress.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Group.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Wav.h"

void AudioSound_Prepare(AudioSound* sound, int32_t group)
{
    if (!Audio_IsOn() || !sound->audioData) return;
    if (AudioGroup_Count() == 0) sound->group = 0;
    else if (sound->group != group) return;
    // Prepared before and not released since: a second buffer would leak the first.
    if (sound->alBuffer > 0) return;
    if (sound->streamed) {
        QS_FREE(sound->resolvedPath);  // found again when a voice starts
        sound->resolvedPath = nullptr;
        return;
    }
    // The chunk reader checked that the length word and its bytes lie in the chunk.
    const uint8_t* data = sound->audioData + 4;
    const uint32_t length = GameData_U32(sound->audioData);
    if (sound->decompressOnLoad) {
        sound->oggData = data;
        sound->oggLength = length;
        sound->alBuffer = DecompressOgg(sound);
    } else if (sound->compressed) {
        sound->oggData = data;
        sound->oggLength = length;
    } else {
        sound->alBuffer = Wav_CreateBuffer(data, length, sound->fileName);
    }
}

void Audio_PrepareSounds()
{
    if (!Audio_IsOn()) return;
    for (int32_t i = 0; i < Audio_GetAssetCount(); ++i)
        if (AudioSound* sound = Audio_GetAsset(i)) AudioSound_Prepare(sound, 0);
}
