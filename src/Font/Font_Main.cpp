// The font table: the "FONT" chunk's fonts and those added at run time.
#include "Font/Font_Main.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "Base/MemoryManager.h"
#include "Base/UTF8.h"
#include "Code/Code_Value.h"
#include "Font/Font_Class.h"
#include "Font/Font_FreeType.h"
#include "GameData/GameData.h"
#include "Sprite/Sprite_Main.h"

namespace {

CFontQS** s_fonts = nullptr;
char** s_names = nullptr;
int32_t s_count = 0;
int32_t s_capacity = 0;

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

void DestroyAll()
{
    for (int32_t i = 0; i < s_count; ++i) {
        delete s_fonts[i];
        QS_FREE(s_names[i]);
    }
    QS_FREE(s_fonts);
    QS_FREE(s_names);
    s_fonts = nullptr;
    s_names = nullptr;
    s_count = s_capacity = 0;
}

bool Grow()
{
    if (s_count < s_capacity) return true;
    const int32_t capacity = s_count + 5;
    auto* fonts = static_cast<CFontQS**>(QS_REALLOC(s_fonts, sizeof(CFontQS*) * capacity));
    if (!fonts) return false;
    s_fonts = fonts;
    auto* names = static_cast<char**>(QS_REALLOC(s_names, sizeof(char*) * capacity));
    if (!names) return false;
    s_names = names;
    for (int32_t i = s_count; i < capacity; ++i) s_fonts[i] = nullptr, s_names[i] = nullptr;
    s_capacity = capacity;
    return true;
}

char* NewName(int32_t index)
{
    char name[256];
    std::snprintf(name, sizeof name, "__newfont%d", index);
    return DupString(name);
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
    const uint8_t* offsets = payload + 4;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        if (offset != 0 && !CheckRecord(payload, length, i, offset)) return false;
    }
    DestroyAll();
    // The code table ends the chunk; one too short to hold it after the
    // offset list keeps the usual table.
    DefaultCodeTable();
    if (length >= 4 + 4ull * count + 2 * kCodeTableSize)
        for (uint32_t i = 0; i < kCodeTableSize; ++i)
            s_codeTable[i] = GameData_U16(payload + length - 2 * kCodeTableSize + 2 * i);
    if (count == 0) return true;
    s_fonts = static_cast<CFontQS**>(QS_ALLOC(sizeof(CFontQS*) * count, true));
    s_names = static_cast<char**>(QS_ALLOC(sizeof(char*) * count, true));
    s_count = s_capacity = static_cast<int32_t>(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(offsets + 4 * i);
        if (offset == 0) continue;
        const uint8_t* record = GameData + offset;
        s_fonts[i] = new CFontQS();
        s_fonts[i]->LoadFromChunk(record, length);
        const char* name = nullptr;
        GameData_String("FONT", GameData_U32(record), &name);
        // A record without a resource name gets an empty one: it exists, and no
        // look-up by name can find it.
        s_names[i] = DupString(name ? name : "");
    }
    return true;
}

CFontQS* Font_Get(int32_t index) { return index >= 0 && index < s_count ? s_fonts[index] : nullptr; }

bool Font_Exists(int32_t index) { return Font_Get(index) != nullptr; }

int Font_Find(const char* name)
{
    if (!name || !*name) return -1;
    for (int32_t i = 0; i < s_count; ++i)
        if (s_fonts[i] && s_names[i] && std::strcmp(s_names[i], name) == 0) return i;
    return -1;
}

const char* Font_Name(int32_t index)
{
    return Font_Exists(index) && s_names[index] ? s_names[index] : "<undefined>";
}

int32_t Font_Count() { return s_count; }

int32_t Font_Add(const char* fileName, int size, bool bold, bool italic, int first, int last)
{
    if (!Grow()) return -1;
    const int32_t index = s_count++;
    s_fonts[index] = new CFontQS();
    s_fonts[index]->CreateFromFile(fileName, size, bold, italic, first, last);
    s_names[index] = NewName(index);
    return index;
}

bool Font_Replace(int32_t index, const char* fileName, int size, bool bold, bool italic, int first, int last)
{
    if (index < 0 || index >= s_count) return false;
    auto* font = new CFontQS();
    font->CreateFromFile(fileName, size, bold, italic, first, last);
    delete s_fonts[index];
    s_fonts[index] = font;
    if (!s_names[index]) s_names[index] = NewName(index);
    return true;
}

namespace {

int32_t AddSprite(int32_t sprite, const char* map, int proportional, int separation)
{
    if (!Grow()) return -1;
    const int32_t index = s_count++;
    s_fonts[index] = new CFontQS();
    s_fonts[index]->CreateFromSprite(sprite, map, proportional, separation);
    s_names[index] = NewName(index);
    return index;
}

bool ReplaceSprite(int32_t index, int32_t sprite, const char* map, int proportional, int separation)
{
    if (index < 0 || index >= s_count) return false;
    auto* font = new CFontQS();
    font->CreateFromSprite(sprite, map, proportional, separation);
    delete s_fonts[index];
    s_fonts[index] = font;
    if (!s_names[index]) s_names[index] = NewName(index);
    return true;
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
    delete s_fonts[index];
    s_fonts[index] = nullptr;
    QS_FREE(s_names[index]);
    s_names[index] = nullptr;
    return true;
}

void Font_InitTextures()
{
    for (int32_t i = 0; i < s_count; ++i)
        if (s_fonts[i]) s_fonts[i]->CreateTexture();
}

void Font_Reset()
{
    Font_FreeTypeInit();
    DestroyAll();
    DefaultCodeTable();
}

void Font_Shutdown()
{
    for (int32_t i = 0; i < s_count; ++i)
        if (s_fonts[i]) s_fonts[i]->FreeTexture();
    DestroyAll();
    Font_FreeTypeDone();
}
