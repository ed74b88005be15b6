#include "Sound/Audio_Sound.h"

#include <AL/al.h>

#include <cstring>
#include <initializer_list>

#include "Base/Array.h"
#include "Base/MemoryManager.h"
#include "GameData/AssetTable.h"

namespace {
AssetTable<AudioSound> s_assets;
cARRAY_CLASS<AudioSound> s_bufferSounds;
cARRAY_CLASS<AudioSound> s_queues;
cARRAY_CLASS<AudioSound> s_streams;

cARRAY_CLASS<AudioSound>& Table(AudioTable table)
{
    switch (table) {
    case AudioTable::BufferSound: return s_bufferSounds;
    case AudioTable::Queue: return s_queues;
    default: return s_streams;
    }
}

int32_t TableBase(AudioTable table)
{
    switch (table) {
    case AudioTable::BufferSound: return kAudioBufferSoundIdBase;
    case AudioTable::Queue: return kAudioQueueIdBase;
    default: return kAudioStreamIdBase;
    }
}
}  // namespace

char* Audio_CopyText(const char* text)
{
    if (!text) return nullptr;
    const size_t n = std::strlen(text) + 1;
    char* copy = static_cast<char*>(QS_ALLOC(n, false));
    if (copy) std::memcpy(copy, text, n);
    return copy;
}

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

bool Audio_IsBufferSoundId(int32_t id)
{
    return id >= kAudioBufferSoundIdBase && id < kAudioQueueIdBase;
}

bool Audio_IsQueueId(int32_t id)
{
    return id >= kAudioQueueIdBase && id < kAudioStreamIdBase;
}

bool Audio_IsStreamId(int32_t id)
{
    return id >= kAudioStreamIdBase && id < kAudioStreamIdBase + 100000;
}

AudioSound* Audio_GetSound(int32_t id)
{
    if (Audio_IsBufferSoundId(id)) return Audio_TableSound(AudioTable::BufferSound, id - kAudioBufferSoundIdBase);
    if (Audio_IsQueueId(id)) return Audio_TableSound(AudioTable::Queue, id - kAudioQueueIdBase);
    if (Audio_IsStreamId(id)) {
        AudioSound* stream = Audio_TableSound(AudioTable::Stream, id - kAudioStreamIdBase);
        return stream && !stream->destroyed ? stream : nullptr;
    }
    return Audio_GetAsset(id);
}

int32_t Audio_AddTableSound(AudioTable table, AudioSound* sound)
{
    cARRAY_CLASS<AudioSound>& t = Table(table);
    int32_t slot = 0;
    while (slot < t.length && t.items[slot]) ++slot;
    // The range holds 100000 ids.
    const int32_t growth = table == AudioTable::BufferSound ? 16 : 1;
    if (slot >= 100000 || (slot == t.length && !t.SetLength(slot + growth))) {
        delete sound;
        return -1;
    }
    t.items[slot] = sound;
    return TableBase(table) + slot;
}

int32_t Audio_TableLength(AudioTable table)
{
    return Table(table).length;
}

AudioSound* Audio_TableSound(AudioTable table, int32_t slot)
{
    const cARRAY_CLASS<AudioSound>& t = Table(table);
    return slot >= 0 && slot < t.length ? t.items[slot] : nullptr;
}

void Audio_DeleteTableSound(AudioTable table, int32_t slot)
{
    cARRAY_CLASS<AudioSound>& t = Table(table);
    if (slot < 0 || slot >= t.length) return;
    delete t.items[slot];
    t.items[slot] = nullptr;
}

void Audio_ForEachSound(void (*f)(AudioSound* sound))
{
    for (int32_t i = 0; i < s_assets.Count(); ++i)
        if (AudioSound* sound = s_assets.Get(i)) f(sound);
    for (const cARRAY_CLASS<AudioSound>* t : {&s_bufferSounds, &s_queues, &s_streams})
        for (int32_t i = 0; i < t->length; ++i)
            if (t->items[i]) f(t->items[i]);
}

int Audio_FindSound(const char* name)
{
    return s_assets.FindLast(name);
}

void Audio_FreeAssets()
{
    s_assets.FreeAll();
    s_bufferSounds.SetLength(0);
    s_queues.SetLength(0);
    s_streams.SetLength(0);
}
