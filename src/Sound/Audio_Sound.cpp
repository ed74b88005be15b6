#include "Sound/Audio_Sound.h"

#include <AL/al.h>

#include "Base/MemoryManager.h"
#include "GameData/AssetTable.h"

namespace {
AssetTable<AudioSound> s_assets;
}  // namespace

AudioSound::~AudioSound()
{
    QS_FREE(fileName);
    QS_FREE(resolvedPath);
    ReleaseBuffer();
}

void AudioSound::ReleaseBuffer()
{
    if (alBuffer > 0) {
        const ALuint name = static_cast<ALuint>(alBuffer);
        if (alIsBuffer(name)) alDeleteBuffers(1, &name);
    }
    alBuffer = -1;
}

bool Audio_SetAssetCount(int32_t count)
{
    return s_assets.Reset(count < 0 ? 0 : count);
}

void Audio_SetAsset(int32_t index, AudioSound* sound, const char* name)
{
    if (!s_assets.InRange(index)) {
        delete sound;
        return;
    }
    s_assets.Set(index, sound, name);
}

int32_t Audio_GetAssetCount()
{
    return s_assets.Count();
}

AudioSound* Audio_GetAsset(int32_t index)
{
    return s_assets.Get(index);
}

const char* Audio_GetAssetName(int32_t index)
{
    return s_assets.Name(index);
}

AudioSound* Audio_GetSound(int32_t id)
{
    return Audio_GetAsset(id);
}

int Audio_FindSound(const char* name)
{
    return s_assets.FindLast(name);
}

void Audio_FreeAssets()
{
    s_assets.FreeAll();
}
