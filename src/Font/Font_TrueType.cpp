// Run-time fonts: a font file opened with FreeType from memory, a glyph
// record for every character of its Unicode map measured at once, and the
// glyph images rasterised on first use into the cells of one texture per
// font, the cell assigned longest ago being taken over when all are in use.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"
#include "Font/Font_Class.h"
#include "Font/Font_FreeType.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "IO/LoadSave.h"

struct FontFace {
    FT_Face face;
};

namespace {

FT_Library s_library = nullptr;

constexpr uint32_t kClearTexel = 0x00FFFFFFu;
constexpr int kCacheSide = 1024;

// 26.6 fixed point to whole pixels, rounding up.
int32_t Ceil26(FT_Pos v)
{
    const FT_Pos pixels = (v + 63) >> 6;
    return static_cast<int32_t>(std::clamp<FT_Pos>(pixels, INT32_MIN, INT32_MAX));
}

int16_t ToI16(int32_t v) { return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX)); }

uint32_t CoverageAt(const uint8_t* row, int column, int mode)
{
    switch (mode) {
    case FT_PIXEL_MODE_MONO: return (row[column >> 3] & (0x80 >> (column & 7))) ? 255u : 0u;
    case FT_PIXEL_MODE_GRAY2: return ((row[column >> 2] >> (6 - 2 * (column & 3))) & 3u) * 63u;
    case FT_PIXEL_MODE_GRAY4: return ((row[column >> 1] >> (4 - 4 * (column & 1))) & 15u) * 7u;
    default: return row[column];
    }
}

}  // namespace

bool Font_FreeTypeInit()
{
    if (s_library) return true;
    const FT_Error e = FT_Init_FreeType(&s_library);
    if (e) {
        LogConsole->Output("Error while initialising FreeType %d\n", e);
        s_library = nullptr;
        return false;
    }
    return true;
}

void Font_FreeTypeDone()
{
    if (s_library) FT_Done_FreeType(s_library);
    s_library = nullptr;
}

// ---------------------------------------------------------------- glyph cache

bool GlyphCache::Init(int width, int height, FontFace* fontFace, int cellW, int cellH, long ascent)
{
    Free();
    textureIndex = GR_Texture_CreateRenderTarget(width, height, false, false, 4);
    texture = GR_Texture_GetD3D(textureIndex);
    if (!texture || !texture->pixels) {
        if (textureIndex >= 0) GR_Texture_Free(textureIndex);
        textureIndex = -1;
        texture = nullptr;
        return false;
    }
    std::fill(texture->pixels, texture->pixels + static_cast<size_t>(texture->width) * texture->height, kClearTexel);
    face = fontFace;
    textureWidth = width;
    textureHeight = height;
    gapX = gapY = 2;
    // A cell and its gap always fit inside the border, so even a huge size has one cell.
    cellWidth = std::clamp(cellW, 1, width - 2 * gapX - gapX);
    cellHeight = std::clamp(cellH, 1, height - 2 * gapY - gapY);
    ascender = ascent;
    cellCount = ((height - 4) / (cellHeight + gapY)) * ((width - 4) / (cellWidth + gapX));
    int x = gapX, y = gapY;
    for (int i = 0; i < cellCount; ++i) {
        auto* cell = static_cast<GlyphCacheCell*>(QS_ALLOC(sizeof(GlyphCacheCell), true));
        cell->x = x;
        cell->y = y;
        cell->previous = tail;
        if (tail) tail->next = cell;
        else head = cell;
        tail = cell;
        x += cellWidth + gapX;
        if (x > width - cellWidth) {
            x = gapX;
            y += cellHeight + gapY;
        }
    }
    return true;
}

void GlyphCache::Free()
{
    for (GlyphCacheCell* cell = head; cell;) {
        GlyphCacheCell* next = cell->next;
        QS_FREE(cell);
        cell = next;
    }
    head = tail = nullptr;
    texture = nullptr;
    textureIndex = -1;
    cellCount = 0;
}

GlyphCacheCell* GlyphCache::AllocCell(FontGlyph* glyph, int32_t stamp)
{
    // The texture may have been released (shutdown, device flush of every
    // texture): there is nothing left to draw into.
    if (!tail || !face || GR_Texture_GetD3D(textureIndex) != texture || !texture->pixels) return nullptr;
    GlyphCacheCell* cell = tail;
    if (cell != head) {
        tail = cell->previous;
        tail->next = nullptr;
        cell->previous = nullptr;
        cell->next = head;
        head->previous = cell;
        head = cell;
    }
    if (cell->glyph) {
        // Vertices queued this frame still sample the old image.
        if (cell->stamp == stamp) GR_VertexBuilder_Flush();
        cell->glyph->x = cell->glyph->y = -1;
    }
    glyph->x = static_cast<int16_t>(cell->x);
    glyph->y = static_cast<int16_t>(cell->y);
    cell->glyph = glyph;
    ++misses;

    const int stride = texture->width;
    const int right = std::min(cell->x + cellWidth, texture->width);
    const int bottom = std::min(cell->y + cellHeight, texture->height);
    for (int y = cell->y; y < bottom; ++y)
        std::fill(texture->pixels + static_cast<size_t>(y) * stride + cell->x,
                  texture->pixels + static_cast<size_t>(y) * stride + right, kClearTexel);

    FT_Face f = face->face;
    if (FT_Load_Glyph(f, FT_Get_Char_Index(f, glyph->character), FT_LOAD_DEFAULT) == 0 &&
        FT_Render_Glyph(f->glyph, FT_RENDER_MODE_NORMAL) == 0) {
        const FT_Bitmap& bitmap = f->glyph->bitmap;
        const int mode = bitmap.pixel_mode;
        if (mode >= FT_PIXEL_MODE_MONO && mode <= FT_PIXEL_MODE_LCD_V && bitmap.buffer) {
            const int top = cell->y + Ceil26(ascender - f->glyph->metrics.horiBearingY);
            const int rows = static_cast<int>(bitmap.rows), columns = static_cast<int>(bitmap.width);
            const uint8_t* source = bitmap.pitch >= 0 ? bitmap.buffer
                                                      : bitmap.buffer + static_cast<ptrdiff_t>(rows - 1) * -bitmap.pitch;
            for (int r = 0; r < rows; ++r, source += bitmap.pitch) {
                const int y = top + r;
                // The copy stays inside the cell: a glyph larger than the
                // face's advance or line height is cut, never spilled.
                if (y < cell->y || y >= bottom) continue;
                uint32_t* out = texture->pixels + static_cast<size_t>(y) * stride;
                for (int c = 0; c < columns && cell->x + c < right; ++c)
                    out[cell->x + c] = (CoverageAt(source, c, mode) << 24) | 0xFFFFFFu;
            }
        }
    }
    GR_D3D_UpdateTextureRect(texture, cell->x, cell->y, cellWidth, cellHeight);
    return cell;
}

// ---------------------------------------------------------------- the font

void CFontQS::CloseFace()
{
    if (!m_face) return;
    FT_Done_Face(m_face->face);
    QS_FREE(m_face);
    m_face = nullptr;
}

void CFontQS::CreateFromFile(const char* fileName, int size, bool bold, bool italic, int first, int last)
{
    Clear();
    m_name = DupString(fileName ? fileName : "");
    m_size = size;
    m_bold = bold;
    m_italic = italic;
    m_charset = 0;
    m_antialias = 3;
    m_first = std::max(first, 0);
    m_last = std::min(last, 255);
    LoadTrueType();
    if (m_ownTexture == -1) CreateTexture();
}

bool CFontQS::LoadTrueType()
{
    const char* name = m_name;
    uint32_t size = 0;
    if (LoadSave_SaveFileExists(name)) m_fileBytes = LoadSave_ReadSaveFile(name, &size);
    else if (LoadSave_BundleFileExists(name)) m_fileBytes = LoadSave_ReadBundleFile(name, &size);
    if (!m_fileBytes) {
        LogConsole->Output("FreeType :: unable to find font file %s\n", name);
        return false;
    }
    m_fileSize = size;
    if (!Font_FreeTypeInit()) return false;

    FT_Face face = nullptr;
    FT_Error e = FT_New_Memory_Face(s_library, m_fileBytes, static_cast<FT_Long>(size), 0, &face);
    if (e) {
        LogConsole->Output("FreeType :: error = %08x(%d) :: Unable to open font file %s\n", e, e, name);
        return false;
    }
    m_face = static_cast<FontFace*>(QS_ALLOC(sizeof(FontFace), true));
    m_face->face = face;
    e = FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(m_size) * 64, 0, 0);
    if (e) {
        LogConsole->Output("FreeType :: error = %08x(%d) :: Unable to set font pixel size\n", e, e);
        CloseFace();
        return false;
    }
    e = FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    if (e) {
        LogConsole->Output("FreeType :: error = %08x(%d) :: Unable to select unicode font character map\n", e, e);
        CloseFace();
        return false;
    }

    // The space is a record of its own that never takes a cell; the map's own
    // entry for it is left out so that look-ups find that record.
    FT_UInt index = 0;
    int count = 1;
    for (FT_ULong code = FT_Get_First_Char(face, &index); index != 0; code = FT_Get_Next_Char(face, code, &index))
        if (code != 32) ++count;
    m_glyphs = static_cast<FontGlyph*>(QS_ALLOC(sizeof(FontGlyph) * count, true));
    const FT_Size_Metrics& metrics = face->size->metrics;
    FontGlyph& space = m_glyphs[0];
    space.character = 32;
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, 32), FT_LOAD_DEFAULT) == 0)
        space.shift = ToI16(Ceil26(face->glyph->metrics.horiAdvance));
    m_glyphCount = 1;
    for (FT_ULong code = FT_Get_First_Char(face, &index); index != 0 && m_glyphCount < count;
         code = FT_Get_Next_Char(face, code, &index)) {
        if (code == 32) continue;
        FontGlyph& g = m_glyphs[m_glyphCount++];
        g.character = static_cast<uint32_t>(code);
        g.x = g.y = -1;
        if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) continue;
        const FT_Glyph_Metrics& m = face->glyph->metrics;
        g.width = ToI16(Ceil26(m.width));
        g.height = ToI16(Ceil26(metrics.ascender + m.height - m.horiBearingY));
        g.shift = ToI16(Ceil26(m.horiAdvance));
        g.offset = ToI16(Ceil26(m.horiBearingX));
    }
    SortGlyphs();
    m_lineHeight = Ceil26(metrics.height);

    const int cellWidth = Ceil26(metrics.max_advance), cellHeight = Ceil26(metrics.height);
    if (!m_cache.Init(kCacheSide, kCacheSide, m_face, cellWidth, cellHeight, metrics.ascender)) {
        LogConsole->Output("FreeType :: unable to create the glyph cache of %s\n", name);
        return false;
    }
    // A glyph is drawn from its cell only: larger boxes would sample the neighbours.
    for (int i = 0; i < m_glyphCount; ++i) {
        FontGlyph& g = m_glyphs[i];
        g.width = std::clamp<int16_t>(g.width, 0, ToI16(m_cache.cellWidth));
        g.height = std::clamp<int16_t>(g.height, 0, ToI16(m_cache.cellHeight));
    }
    m_cells = static_cast<GlyphCacheCell**>(QS_ALLOC(sizeof(GlyphCacheCell*) * m_glyphCount, true));
    m_ownTexture = m_cache.textureIndex;
    m_inset = 0.0f;
    return true;
}
