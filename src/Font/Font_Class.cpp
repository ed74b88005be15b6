// The font asset: construction from a "FONT" record and from the debug
// table, clearing, textures, glyph look-up and metrics.
#include "Font/Font_Class.h"

#include <algorithm>

#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "GameData/GameData.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturePages.h"

namespace {
constexpr uint32_t kMissingGlyph = 0x25AF;
}

CFontQS::CFontQS() { Clear(); }

CFontQS::~CFontQS()
{
    Clear();
    m_cache.Free();
}

void CFontQS::Clear()
{
    QS_FREE(m_name);
    m_name = nullptr;
    // The face goes first: it reads the file bytes while it lives.
    if (m_cells) {
        m_cache.Free();
        QS_FREE(m_cells);
        m_cells = nullptr;
    }
    CloseFace();
    QS_FREE(m_fileBytes);
    m_fileBytes = nullptr;
    m_fileSize = 0;
    QS_FREE(m_glyphs);
    m_glyphs = nullptr;
    m_glyphCount = 0;
    QS_FREE(m_ownEntry);
    m_ownEntry = nullptr;
    m_entryOffset = 0;
    FreeTexture();
    m_xScale = m_yScale = 1.0f;
    m_size = 12;
    m_bold = m_italic = false;
    m_first = 32;
    m_last = 128;
    m_inset = 0.0f;
    m_lineHeight = 0;
    m_sprite = -1;
}

void CFontQS::FreeTexture()
{
    if (m_ownTexture >= 0) GR_Texture_Free(m_ownTexture);
    m_ownTexture = -1;
}

// Nothing fills a coverage image, so there is never an own texture to make
// for a data-file font; a run-time font's own texture is its cache.
void CFontQS::CreateTexture()
{
    if (!m_cells) FreeTexture();
}

const STexturePageEntry* CFontQS::GetEntry() const
{
    if (m_ownEntry) return m_ownEntry;
    return m_entryOffset ? TPAG_FindEntry(m_entryOffset) : nullptr;
}

bool CFontQS::LoadFromChunk(const uint8_t* record, uint32_t)
{
    Clear();
    m_entryOffset = GameData_U32(record + 28);
    m_size = static_cast<int32_t>(GameData_U32(record + 8));
    m_bold = GameData_U32(record + 12) != 0;
    m_italic = GameData_U32(record + 16) != 0;
    const uint32_t word = GameData_U32(record + 20);
    m_first = static_cast<int32_t>(word & 0xFFFF);
    if ((word >> 16) & 0xFF) m_charset = static_cast<int32_t>((word >> 16) & 0xFF);
    if (word >> 24) m_antialias = static_cast<int32_t>(word >> 24) - 1;
    m_last = static_cast<int32_t>(GameData_U32(record + 24));
    if (const STexturePageEntry* entry = GetEntry()) {
        m_textureWidth = entry->width;
        m_textureHeight = entry->height;
    } else {
        m_textureWidth = m_textureHeight = 0;
    }
    m_xScale = GameData_F32(record + 32);
    m_yScale = GameData_F32(record + 36);

    const uint32_t count = GameData_U32(record + 40);
    m_glyphs = static_cast<FontGlyph*>(QS_ALLOC(sizeof(FontGlyph) * (count ? count : 1), true));
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(record + 44 + 4 * i);
        if (offset == 0) continue;  // no glyph there
        const uint8_t* g = GameData + offset;
        FontGlyph& out = m_glyphs[m_glyphCount++];
        out.character = GameData_U16(g);
        out.x = static_cast<int16_t>(GameData_U16(g + 2));
        out.y = static_cast<int16_t>(GameData_U16(g + 4));
        out.width = static_cast<int16_t>(GameData_U16(g + 6));
        out.height = static_cast<int16_t>(GameData_U16(g + 8));
        out.shift = static_cast<int16_t>(GameData_U16(g + 10));
        out.offset = static_cast<int16_t>(GameData_U16(g + 12));
        out.kerningCount = GameData_U16(g + 14);
        m_lineHeight = std::max<int32_t>(m_lineHeight, out.height);
    }
    const char* display = nullptr;
    GameData_String("FONT", GameData_U32(record + 4), &display);
    m_name = display ? DupString(display) : nullptr;
    SortGlyphs();
    return true;
}

void CFontQS::CreateDebugFont(const BuiltinGlyphTable& table, int first, int last, int texture)
{
    Clear();
    m_name = DupString("debug");
    m_antialias = 3;
    m_first = first;
    m_last = last;
    m_inset = 0.5f;
    const int count = std::clamp(last - first + 1, 0, static_cast<int>(table.size()));
    m_glyphs = static_cast<FontGlyph*>(QS_ALLOC(sizeof(FontGlyph) * (count ? count : 1), true));
    m_glyphCount = count;
    for (int i = 0; i < count; ++i) {
        FontGlyph& g = m_glyphs[i];
        g.character = static_cast<uint32_t>(first + i);
        g.x = table[i][0];
        g.y = table[i][1];
        g.width = table[i][2];
        g.height = table[i][3];
        g.shift = g.width;
        g.offset = 0;
        m_lineHeight = std::max<int32_t>(m_lineHeight, g.height);
    }
    m_ownEntry = static_cast<STexturePageEntry*>(QS_ALLOC(sizeof(STexturePageEntry), true));
    *m_ownEntry = STexturePageEntry{0, 0, 256, 128, 0, 0, 256, 128, 256, 128, static_cast<int16_t>(texture)};
    m_textureWidth = 256;
    m_textureHeight = 128;
}

void CFontQS::SortGlyphs()
{
    std::stable_sort(m_glyphs, m_glyphs + m_glyphCount,
                     [](const FontGlyph& a, const FontGlyph& b) { return a.character < b.character; });
}

const FontGlyph* CFontQS::Search(uint32_t character) const
{
    int low = 0, high = m_glyphCount - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const uint32_t c = m_glyphs[middle].character;
        if (c == character) return &m_glyphs[middle];
        if (c < character) low = middle + 1;
        else high = middle - 1;
    }
    return nullptr;
}

int CFontQS::GlyphIndex(const FontGlyph* glyph) const { return static_cast<int>(glyph - m_glyphs); }

const FontGlyph* CFontQS::FindGlyph(uint32_t character)
{
    const FontGlyph* found = Search(character);
    if (!found && character != kMissingGlyph) found = Search(kMissingGlyph);
    if (!found || !m_cells) return found;
    auto* glyph = const_cast<FontGlyph*>(found);
    GlyphCacheCell*& cell = m_cells[GlyphIndex(glyph)];
    if (glyph->x == -1 && glyph->y == -1) cell = m_cache.AllocCell(glyph, DrawnFrameCount);
    if (cell) cell->stamp = DrawnFrameCount;
    return glyph;
}

int CFontQS::GetCharAdvance(uint32_t character)
{
    const FontGlyph* glyph = Search(character);
    if (!glyph && character != kMissingGlyph) glyph = Search(kMissingGlyph);
    return glyph ? glyph->shift : 0;
}

int CFontQS::GetTextWidth(const uint32_t* text, int count)
{
    if (!text) return 0;
    int width = 0;
    for (int i = 0; i < count; ++i) width += GetCharAdvance(text[i]);
    return width;
}
