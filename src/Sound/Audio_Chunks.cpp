#include "Sound/Audio_Chunks.h"

#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "GameData/GameData.h"
#include "Sound/Audio_Group.h"
#include "Sound/Audio_Sound.h"

namespace {
constexpr uint32_t kEntrySize = 36;  // nine 32-bit fields

bool CheckEntry(const uint8_t* payload, uint32_t length, uint32_t index, uint32_t offset)
{
    if (!GameData_CheckRecord("SOND", payload, length, offset, kEntrySize, "sound", index)) return false;
    const uint8_t* entry = GameData + offset;
    const char* text = nullptr;
    return GameData_String("SOND", GameData_U32(entry), &text) &&
           GameData_String("SOND", GameData_U32(entry + 12), &text);
}

AudioSound* SoundFromEntry(const uint8_t* entry)
{
    AudioSound* sound = new AudioSound;
    const char* fileName = nullptr;
    GameData_String("SOND", GameData_U32(entry + 12), &fileName);
    if (fileName) {
        const size_t n = std::strlen(fileName) + 1;
        sound->fileName = static_cast<char*>(QS_ALLOC(n, false));
        if (sound->fileName) std::memcpy(sound->fileName, fileName, n);
    }
    Audio_SetKindFlags(sound, static_cast<int32_t>(GameData_U32(entry + 4)));
    sound->gain = GameData_F32(entry + 20);
    sound->group = static_cast<int32_t>(GameData_U32(entry + 28));
    sound->audioIndex = static_cast<int32_t>(GameData_U32(entry + 32));
    sound->alBuffer = 0;
    return sound;
}

// Whether the list entry at `offset` (relative to base) with its length word
// and that many bytes lies inside the payload.
bool AudioEntryFits(const uint8_t* payload, uint32_t length, const uint8_t* base, uint32_t offset)
{
    const uint64_t start = static_cast<uint64_t>(payload - base);
    const uint64_t end = start + length;
    if (offset < start || static_cast<uint64_t>(offset) + 4 > end) return false;
    const uint32_t size = GameData_U32(base + offset);
    return static_cast<uint64_t>(offset) + 4 + size <= end;
}
}  // namespace

void Audio_SetKindFlags(AudioSound* sound, int32_t kind)
{
    sound->decompressOnLoad = false;
    if (kind < 100) {
        sound->streamed = sound->compressed = kind > 0;
        return;
    }
    switch (kind) {
    case 100: sound->streamed = sound->compressed = true; break;
    case 101: sound->streamed = sound->compressed = false; break;
    case 102: sound->streamed = false; sound->compressed = true; break;
    case 103: sound->streamed = sound->compressed = false; sound->decompressOnLoad = true; break;
    default: break;  // later kinds play as uncompressed sounds
    }
}

bool Audio_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    VerboseConsole->Output("Audio_Load()\n");
    uint32_t count = 0;
    if (!GameData_CheckList("SOND", payload, length, &count)) return false;
    if (count > 0x7FFFFFFFu) return GameData_Fail("SOND", "%u sounds are more than the table holds", count);
    const uint8_t* offsets = payload + 4;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        if (offset != 0 && !CheckEntry(payload, length, i, offset)) return false;
    }
    if (!Audio_SetAssetCount(static_cast<int32_t>(count)))
        return GameData_Fail("SOND", "no memory for %u sound slots", count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        if (offset == 0) continue;
        const uint8_t* entry = GameData + offset;
        const char* name = nullptr;
        GameData_String("SOND", GameData_U32(entry), &name);
        Audio_SetAsset(static_cast<int32_t>(i), SoundFromEntry(entry), name);
    }
    return true;
}

bool Audio_WAVs(const uint8_t* payload, uint32_t length, const uint8_t* base, int32_t group)
{
    VerboseConsole->Output("Audio_WAVs()\n");
    if (length < 4) return GameData_Fail("AUDO", "the payload of %u bytes holds no count", length);
    const uint32_t count = GameData_U32(payload);
    if (count > (length - 4) / 4)
        return GameData_Fail("AUDO", "%u entries do not fit in a payload of %u bytes", count, length);
    const uint8_t* offsets = payload + 4;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        if (offset != 0 && !AudioEntryFits(payload, length, base, offset))
            return GameData_Fail("AUDO", "audio entry %u at offset %u, or its length, lies outside the chunk", i,
                                 offset);
    }
    for (int32_t i = 0; i < Audio_GetAssetCount(); ++i) {
        AudioSound* sound = Audio_GetAsset(i);
        if (!sound) continue;
        if (AudioGroup_Count() == 0) sound->group = 0;
        if (sound->group != group) continue;
        const uint32_t index = static_cast<uint32_t>(sound->audioIndex);
        const uint32_t offset = index < count ? GameData_U32(offsets + 4 * index) : 0;
        sound->audioData = offset != 0 ? base + offset : nullptr;
    }
    return true;
}

bool Audio_WAVs_Main(const uint8_t* payload, uint32_t length, const uint8_t* base)
{
    return Audio_WAVs(payload, length, base, 0);
}
