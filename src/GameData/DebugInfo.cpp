#include "GameData/DebugInfo.h"

#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "GameData/GameData.h"

DebugInfoData DebugInfo;

namespace {
// A "count, then count u32" list that fits its chunk, else an empty one.
void KeepList(const GameChunk& chunk, const uint8_t** list, uint32_t* count)
{
    if (chunk.length < 4) return;
    const uint32_t n = GameData_U32(chunk.payload);
    if (n > (chunk.length - 4) / 4) {
        LogConsole->Output("Debug information: chunk %s lists %u entries but holds %u bytes; ignored\n", chunk.tag, n,
                           chunk.length);
        return;
    }
    *list = chunk.payload + 4;
    *count = n;
}
}  // namespace

void DebugInfo_Free()
{
    if (DebugInfo.data) QS_FREE(DebugInfo.data);
    DebugInfo = DebugInfoData{};
}

void LoadDebugInfo(uint8_t* data, uint32_t size)
{
    DebugInfo_Free();
    DebugInfo.data = data;
    DebugInfo.size = size;
    if (!data || size < 8 || GameData_U32(data + 4) != size - 8) return;
    uint32_t pos = 8;
    GameChunk chunk;
    while (GameData_NextChunk(data, size, &pos, &chunk)) {
        VerboseConsole->Output("Process Chunk: %s   %d\n", chunk.tag, static_cast<int>(chunk.length));
        if (chunk.length == 0) continue;
        if (std::memcmp(chunk.tag, "DBGI", 4) == 0) KeepList(chunk, &DebugInfo.debugTables, &DebugInfo.debugTableCount);
        else if (std::memcmp(chunk.tag, "SCPT", 4) == 0) KeepList(chunk, &DebugInfo.sources, &DebugInfo.sourceCount);
        else if (std::memcmp(chunk.tag, "INST", 4) == 0) KeepList(chunk, &DebugInfo.instances, &DebugInfo.instanceCount);
    }
}

bool DebugInfo_GetDebugTable(uint32_t codeIndex, const uint8_t** words, uint32_t* wordCount)
{
    if (codeIndex >= DebugInfo.debugTableCount) return false;
    const uint32_t at = GameData_U32(DebugInfo.debugTables + 4 * codeIndex);
    if (at < 8 || at > DebugInfo.size - 4) return false;
    const uint32_t n = GameData_U32(DebugInfo.data + at);
    if (n > (DebugInfo.size - at - 4) / 4) return false;
    *words = DebugInfo.data + at + 4;
    *wordCount = n;
    return true;
}

const char* DebugInfo_GetSource(uint32_t codeIndex)
{
    if (codeIndex >= DebugInfo.sourceCount) return nullptr;
    const uint32_t record = GameData_U32(DebugInfo.sources + 4 * codeIndex);
    if (record < 8 || record > DebugInfo.size - 4) return nullptr;
    const uint32_t textAt = GameData_U32(DebugInfo.data + record);
    if (textAt < 8 || textAt >= DebugInfo.size) return nullptr;
    const void* nul = std::memchr(DebugInfo.data + textAt, 0, DebugInfo.size - textAt);
    return nul ? reinterpret_cast<const char*>(DebugInfo.data + textAt) : nullptr;
}
