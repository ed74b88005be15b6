#include "GameData/GameData.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Base/Console.h"

const uint8_t* GameData = nullptr;
uint32_t GameDataSize = 0;

namespace {
char s_lastError[512];

// Tags are printed in messages; keep garbage bytes from reaching the log raw.
void CopyTag(const uint8_t* p, char (&tag)[5])
{
    for (int i = 0; i < 4; ++i) tag[i] = (p[i] >= 32 && p[i] < 127) ? static_cast<char>(p[i]) : '?';
    tag[4] = '\0';
}
}  // namespace

uint16_t GameData_U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t GameData_U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t GameData_U64(const uint8_t* p)
{
    return static_cast<uint64_t>(GameData_U32(p)) | (static_cast<uint64_t>(GameData_U32(p + 4)) << 32);
}

float GameData_F32(const uint8_t* p)
{
    const uint32_t bits = GameData_U32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void GameData_SetImage(const uint8_t* data, uint32_t size)
{
    GameData = data;
    GameDataSize = data ? size : 0;
}

bool GameData_CheckHeader(const uint8_t* header, uint64_t fileSize)
{
    if (fileSize >= (uint64_t{1} << 32))
        return GameData_Fail("FORM", "the file is %llu bytes long; game data files are below 4 GiB",
                             static_cast<unsigned long long>(fileSize));
    const auto size = static_cast<uint32_t>(fileSize);
    if (!header || size < 8)
        return GameData_Fail("FORM", "the file is %u bytes long, too short for a game data file", size);
    // The tag may stand with its bytes reversed; the rest reads alike.
    if (std::memcmp(header, "FORM", 4) != 0 && std::memcmp(header, "MROF", 4) != 0)
        return GameData_Fail("FORM", "the file does not begin with \"FORM\"");
    const uint32_t declared = GameData_U32(header + 4);
    if (declared != size - 8)
        return GameData_Fail("FORM", "the container says %u bytes follow its header but the file holds %u", declared,
                             size - 8);
    return true;
}

bool GameData_CheckContainer(const uint8_t* data, uint32_t size)
{
    if (!GameData_CheckHeader(data, size)) return false;
    uint32_t pos = 8;
    while (pos < size) {
        char tag[5];
        if (size - pos < 8)
            return GameData_Fail("FORM", "chunk header at offset %u is cut off (%u of 8 bytes)", pos, size - pos);
        CopyTag(data + pos, tag);
        const uint32_t length = GameData_U32(data + pos + 4);
        if (length > size - pos - 8)
            return GameData_Fail(tag, "payload of %u bytes at offset %u runs past the end of the file (%u bytes left)",
                                 length, pos + 8, size - pos - 8);
        pos += 8 + length;
    }
    return true;
}

bool GameData_NextChunk(const uint8_t* data, uint32_t size, uint32_t* pos, GameChunk* chunk)
{
    if (*pos >= size || size - *pos < 8) return false;
    CopyTag(data + *pos, chunk->tag);
    chunk->length = GameData_U32(data + *pos + 4);
    if (chunk->length > size - *pos - 8) return false;
    chunk->offset = *pos + 8;
    chunk->payload = data + chunk->offset;
    *pos = chunk->offset + chunk->length;
    return true;
}

bool GameData_Fail(const char* chunk, const char* format, ...)
{
    char what[400];
    va_list args;
    va_start(args, format);
    std::vsnprintf(what, sizeof what, format, args);
    va_end(args);
    std::snprintf(s_lastError, sizeof s_lastError, "Game data error in chunk %s: %s", chunk, what);
    LogConsole->Output("%s\n", s_lastError);
    return false;
}

const char* GameData_LastError()
{
    return s_lastError;
}

void GameData_ClearError()
{
    s_lastError[0] = '\0';
}

bool GameData_StringRecord(const char* chunk, uint32_t recordOffset, const char** text)
{
    // The record needs its length word and, after the bytes, its NUL.
    if (recordOffset < 8 || recordOffset > GameDataSize || GameDataSize - recordOffset < 5)
        return GameData_Fail(chunk, "string record at offset %u lies outside the file", recordOffset);
    const uint32_t length = GameData_U32(GameData + recordOffset);
    const uint32_t textStart = recordOffset + 4;
    if (length >= GameDataSize - textStart)
        return GameData_Fail(chunk, "string at offset %u claims %u bytes, past the end of the file", textStart, length);
    if (GameData[textStart + length] != 0)
        return GameData_Fail(chunk, "string at offset %u is not terminated after its %u bytes", textStart, length);
    *text = reinterpret_cast<const char*>(GameData + textStart);
    return true;
}

bool GameData_String(const char* chunk, uint32_t ref, const char** text)
{
    if (ref == 0) {
        *text = nullptr;
        return true;
    }
    if (ref < 12) return GameData_Fail(chunk, "string reference %u lies outside the file", ref);
    return GameData_StringRecord(chunk, ref - 4, text);
}

bool GameData_CheckList(const char* chunk, const uint8_t* payload, uint32_t length, uint32_t* count)
{
    if (length < 4) return GameData_Fail(chunk, "payload of %u bytes has no room for its count", length);
    const uint32_t n = GameData_U32(payload);
    if (n > (length - 4) / 4)
        return GameData_Fail(chunk, "count %u needs %llu bytes but the payload holds %u", n,
                             4ull + 4ull * n, length);
    *count = n;
    return true;
}

bool GameData_CheckRecord(const char* chunk, const uint8_t* payload, uint32_t length, uint32_t offset,
                          uint32_t size, const char* what, uint32_t index)
{
    const uint64_t start = static_cast<uint64_t>(payload - GameData);
    const uint64_t end = start + length;
    if (offset < start || static_cast<uint64_t>(offset) + size > end)
        return GameData_Fail(chunk, "%s %u at offset %u (%u bytes) lies outside the chunk (offsets %llu to %llu)",
                             what, index, offset, size, static_cast<unsigned long long>(start),
                             static_cast<unsigned long long>(end));
    return true;
}
