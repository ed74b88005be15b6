// The font table: the "FONT" chunk's fonts and those added at run time.
#include "Font/Font_Main.h"

#include <algorithm>
#include <array>
#include <new>
#include <string>

#include "Base/MemoryManager.h"
#include "Base/UTF8.h"
#include "Font/Font_Class.h"
#include "Font/Font_FreeType.h"
#include "GameData/AssetTable.h"
#include "GameData/GameData.h"
#include "Sprite/Sprite_Main.h"

namespace {

AssetTable<CFontQS> s_fonts("__newfont");

constexpr uint32_t kRecordSize = 44;
constexpr uint32_t kGlyphSize = 16;
constexpr uint32_t kCodeTableSize = 256;

// Character of each code for the plain sprite fonts, copied from the end of
// the "FONT" chunk: the data files hold i for 0-127 and '?' above.
constexpr std::array<uint16_t, kCodeTableSize> UsualCodeTable()
{
    std::array<uint16_t, kCodeTableSize> table{};
    for (uint32_t i = 0; i < kCodeTableSize; ++i) table[i] = static_cast<uint16_t>(i < 128 ? i : '?');
    return table;
}
std::array<uint16_t, kCodeTableSize> s_codeTable = UsualCodeTable();

void DefaultCodeTable() { s_codeTable = UsualCodeTable(); }

// The UTF-8 map of `frames` characters from `first` on, through the code
// table or as the codes themselves.
std::string SpriteMap(int32_t sprite, int first, bool throughTable)
{
    std::string map;
    const CSprite* s = Sprite_Get(sprite);
    const int64_t frames = s ? std::min(s->frameCount, 0x7FFF) : 0;
    for (int64_t i = 0; i < frames; ++i) {
        const int64_t code = static_cast<int64_t>(first) + i;
        uint32_t c;
        if (throughTable) c = code >= 0 && code < kCodeTableSize ? s_codeTable[code] : '?';
        else c = code > 0 && code <= 0x10FFFF ? static_cast<uint32_t>(code) : UTF8_REPLACEMENT;
        char bytes[4];
        char* cursor = bytes;
        UTF8_EncodeChar(&cursor, c);
        map.append(bytes, cursor);
    }
    return map;
}

// The record, its glyph list, every glyph with its kerning pairs and both
// names must lie inside the chunk.
bool CheckRecord(const uint8_t* payload, uint32_t length, uint32_t index, uint32_t offset)
{
    if (!GameData_CheckRecord("FONT", payload, length, offset, kRecordSize, "font", index)) return false;
    const uint8_t* record = GameData + offset;
    const uint32_t glyphs = GameData_U32(record + 40);
    if (glyphs > (length - kRecordSize) / 4 ||
        !GameData_CheckRecord("FONT", payload, length, offset, kRecordSize + 4 * glyphs, "font glyph list", index))
        return GameData_Fail("FONT", "font %u: glyph count %u does not fit the chunk", index, glyphs);
    for (uint32_t g = 0; g < glyphs; ++g) {
        const uint32_t at = GameData_U32(record + kRecordSize + 4 * g);
        if (at == 0) continue;
        if (!GameData_CheckRecord("FONT", payload, length, at, kGlyphSize, "glyph", g)) return false;
        const uint32_t pairs = GameData_U16(GameData + at + 14);
        if (!GameData_CheckRecord("FONT", payload, length, at, kGlyphSize + 4 * pairs, "glyph kerning", g))
            return false;
    }
    const char* text = nullptr;
    return GameData_String("FONT", GameData_U32(record), &text) &&
           GameData_String("FONT", GameData_U32(record + 4), &text);
}

}  // namespace

bool Font_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    uint32_t count = 0;
    if (!GameData_CheckList("FONT", payload, length, &count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(payload + 4 + 4 * i);
        if (offset != 0 && !CheckRecord(payload, length, i, offset)) return false;
    }
    const bool ok = s_fonts.LoadChunk("FONT", "fonts", payload, length,
                                      [&](uint32_t, uint32_t offset, CFontQS** record, const char** name) {
                                          *record = new (std::nothrow) CFontQS();
                                          if (!*record) return false;
                                          (*record)->LoadFromChunk(GameData + offset, length);
                                          GameData_String("FONT", GameData_U32(GameData + offset), name);
                                          // A record without a resource name gets an empty one: it
                                          // exists, and no look-up by name can find it.
                                          if (!*name) *name = "";
                                          return true;
                                      });
    if (!ok) return false;
    // The code table ends the chunk; one too short to hold it after the
    // offset list keeps the usual table.
    DefaultCodeTable();
    if (length >= 4 + 4ull * count + 2 * kCodeTableSize)
        for (uint32_t i = 0; i < kCodeTableSize; ++i)
            s_codeTable[i] = GameData_U16(payload + length - 2 * kCodeTableSize + 2 * i);
    return true;
}

CFontQS* Font_Get(int32_t index) { return s_fonts.Get(index); }

bool Font_Exists(int32_t index) { return Font_Get(index) != nullptr; }

int Font_Find(const char* name)
{
    return name && *name ? s_fonts.FindFirst(name) : -1;
}

const char* Font_Name(int32_t index)
{
    return s_fonts.NameOr(index, "<undefined>");
}

int32_t Font_Count() { return s_fonts.Count(); }

int32_t Font_Add(const char* fileName, int size, bool bold, bool italic, int first, int last)
{
    const int32_t index = s_fonts.Append(new (std::nothrow) CFontQS());
    if (index >= 0) s_fonts.Get(index)->CreateFromFile(fileName, size, bold, italic, first, last);
    return index;
}

namespace {
// The new font takes the index, which keeps its name or is named as a new one.
bool Replace(int32_t index, CFontQS* font)
{
    s_fonts.Put(index, font);
    s_fonts.GiveNewName(index);
    return true;
}
}  // namespace

bool Font_Replace(int32_t index, const char* fileName, int size, bool bold, bool italic, int first, int last)
{
    if (!s_fonts.InRange(index)) return false;
    auto* font = new CFontQS();
    font->CreateFromFile(fileName, size, bold, italic, first, last);
    return Replace(index, font);
}

namespace {

int32_t AddSprite(int32_t sprite, const char* map, int proportional, int separation)
{
    const int32_t index = s_fonts.Append(new (std::nothrow) CFontQS());
    if (index >= 0) s_fonts.Get(index)->CreateFromSprite(sprite, map, proportional, separation);
    return index;
}

bool ReplaceSprite(int32_t index, int32_t sprite, const char* map, int proportional, int separation)
{
    if (!s_fonts.InRange(index)) return false;
    auto* font = new CFontQS();
    font->CreateFromSprite(sprite, map, proportional, separation);
    return Replace(index, font);
}

}  // namespace

int32_t Font_AddSprite(int32_t sprite, int first, int proportional, int separation)
{
    return AddSprite(sprite, SpriteMap(sprite, first, true).c_str(), proportional, separation);
}

int32_t Font_AddSpriteExt(int32_t sprite, const char* map, int proportional, int separation)
{
    return AddSprite(sprite, map, proportional, separation);
}

bool Font_ReplaceSprite(int32_t index, int32_t sprite, int first, int proportional, int separation)
{
    return ReplaceSprite(index, sprite, SpriteMap(sprite, first, false).c_str(), proportional, separation);
}

bool Font_ReplaceSpriteExt(int32_t index, int32_t sprite, const char* map, int proportional, int separation)
{
    return ReplaceSprite(index, sprite, map, proportional, separation);
}

bool Font_Delete(int32_t index)
{
    if (!Font_Exists(index)) return false;
    s_fonts.Delete(index);
    return true;
}

void Font_InitTextures()
{
    for (int32_t i = 0; i < s_fonts.Count(); ++i)
        if (CFontQS* font = s_fonts.Get(i)) font->CreateTexture();
}

void Font_Reset()
{
    Font_FreeTypeInit();
    s_fonts.FreeAll();
    DefaultCodeTable();
}

void Font_Shutdown()
{
    for (int32_t i = 0; i < s_fonts.Count(); ++i)
        if (CFontQS* font = s_fonts.Get(i)) font->FreeTexture();
    s_fonts.FreeAll();
    Font_FreeTypeDone();
}
