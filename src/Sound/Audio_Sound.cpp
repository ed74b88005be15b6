#include "Sound/Audio_Sound.h"

#include <AL/al.h>

#include <cstring>

#include "Base/Array.h"
#include "Base/MemoryManager.h"

namespace {
cARRAY_CLASS<AudioSound> s_assets;
char** s_names = nullptr;  // parallel to s_assets, owned copies

char* CopyText(const char* text)
{
    if (!text) return nullptr;
    const size_t n = std::strlen(text) + 1;
    char* copy = static_cast<char*>(QS_ALLOC(n, false));
    if (copy) std::memcpy(copy, text, n);
    return copy;
}

void FreeNames()
{
    for (int32_t i = 0; i < s_assets.length; ++i) QS_FREE(s_names ? s_names[i] : nullptr);
    QS_FREE(s_names);
    s_names = nullptr;
}
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
    Audio_FreeAssets();
    if (count <= 0) return true;
    s_names = static_cast<char**>(QS_ALLOC(sizeof(char*) * static_cast<size_t>(count), true));
    if (!s_names || !s_assets.SetLength(count)) {
        QS_FREE(s_names);
        s_names = nullptr;
        return false;
    }
    return true;
}

void Audio_SetAsset(int32_t index, AudioSound* sound, const char* name)
{
    if (index < 0 || index >= s_assets.length) {
        delete sound;
        return;
    }
    delete s_assets.items[index];
    s_assets.items[index] = sound;
    QS_FREE(s_names[index]);
    s_names[index] = CopyText(name);
}

int32_t Audio_GetAssetCount()
{
    return s_assets.length;
}

AudioSound* Audio_GetAsset(int32_t index)
{
    return index >= 0 && index < s_assets.length ? s_assets.items[index] : nullptr;
}

const char* Audio_GetAssetName(int32_t index)
{
    return index >= 0 && index < s_assets.length ? s_names[index] : nullptr;
}

AudioSound* Audio_GetSound(int32_t id)
{
    return Audio_GetAsset(id);
}

int Audio_FindSound(const char* name)
{
    if (!name) return -1;
    for (int32_t i = s_assets.length - 1; i >= 0; --i)
        if (s_names[i] && std::strcmp(s_names[i], name) == 0) return i;
    return -1;
}

void Audio_FreeAssets()
{
    FreeNames();
    s_assets.SetLength(0);
}
