#pragma once
// The font asset: glyph records sorted by character plus the image they are
// cut from. Data-file fonts cut glyphs from a texture-page entry, the debug
// font from the built-in font image, run-time fonts from a glyph cache that
// FreeType fills on demand (Font_TrueType.cpp). Text is handed over as code
// points (UTF-32), so characters beyond U+FFFF have glyphs of their own.
#include <cstdint>

#include "Graphics/BuiltinImages.h"

struct STexturePageEntry;
struct D3DTexture;
struct FontGlyph;
struct FontFace;  // FreeType face and library state of a run-time font

struct FontGlyph {
    uint32_t character;
    int16_t x, y;          // rectangle in the font image; -1, -1 while a run-time glyph has no cell
    int16_t width, height;
    int16_t shift;         // pen advance after the glyph
    int16_t offset;        // from the pen to the rectangle's left edge
    uint16_t kerningCount; // kerning pairs are kept in the data but never applied
};

// One cell of a run-time font's glyph cache.
struct GlyphCacheCell {
    GlyphCacheCell* next;
    GlyphCacheCell* previous;
    FontGlyph* glyph;   // null while free
    int32_t x, y;
    int32_t stamp;      // frame in which its glyph was last looked up
};

// The cells of one texture, reused longest-assigned first.
struct GlyphCache {
    GlyphCacheCell* head = nullptr;  // most recently assigned
    GlyphCacheCell* tail = nullptr;  // assigned longest ago
    D3DTexture* texture = nullptr;
    int32_t textureIndex = -1;
    int32_t cellCount = 0;
    int32_t cellWidth = 0, cellHeight = 0;
    int32_t textureWidth = 0, textureHeight = 0;
    int32_t gapX = 2, gapY = 2;
    long ascender = 0;               // face ascender in 26.6 pixels: where rendered rows start
    int32_t misses = 0;              // cells filled since creation (counts re-renders too)
    FontFace* face = nullptr;

    bool Init(int width, int height, FontFace* face, int cellWidth, int cellHeight, long ascender);
    GlyphCacheCell* AllocCell(FontGlyph* glyph, int32_t stamp);
    void Free();
};

class CFontQS {
public:
    CFontQS();
    virtual ~CFontQS();
    CFontQS(const CFontQS&) = delete;
    CFontQS& operator=(const CFontQS&) = delete;

    // A "FONT" record at absolute offset `record` of the game data, already
    // checked by the chunk reader to hold its glyph list.
    bool LoadFromChunk(const uint8_t* record, uint32_t payloadEnd);
    // Glyphs cut from the debug table over the game texture `texture`.
    void CreateDebugFont(const BuiltinGlyphTable& table, int first, int last, int texture);
    // A run-time font from a file in the save area or the bundle.
    void CreateFromFile(const char* fileName, int size, bool bold, bool italic, int first, int last);
    // Glyphs that are the frames of a sprite, one per character of the UTF-8
    // map, in order. Proportional (exactly 1) glyphs advance by their frame's
    // own width, others by the sprite width; both plus the separation. A
    // sprite that does not exist gives a glyphless font.
    void CreateFromSprite(int32_t sprite, const char* map, int proportional, int separation);

    void Clear();
    void CreateTexture();
    void FreeTexture();

    const char* GetName() const { return m_name; }
    int GetSize() const { return m_size; }
    bool GetBold() const { return m_bold; }
    bool GetItalic() const { return m_italic; }
    int GetFirst() const { return m_first; }
    int GetLast() const { return m_last; }
    int GetGlyphCount() const { return m_glyphCount; }
    // The sprite of a sprite font, else -1.
    int32_t GetSprite() const { return m_sprite; }
    // The texture-page entry of a data-file font or the debug font, else null.
    const STexturePageEntry* GetEntry() const;
    int GetOwnTexture() const { return m_ownTexture; }
    GlyphCache* GetCache() { return m_cells ? &m_cache : nullptr; }

    // The glyph of the character, else that of U+25AF, else null. A run-time
    // glyph gets its cache cell here, stamped with the frame.
    const FontGlyph* FindGlyph(uint32_t character);
    int GetCharAdvance(uint32_t character);
    // Sum of the advances; scales are not applied.
    int GetTextWidth(const uint32_t* text, int count);
    int GetHeight() const { return m_lineHeight; }

    void Draw(float x, float y, const uint32_t* text, int count, uint32_t colour, float alpha);
    // Corner colours top-left, top-right, bottom-right, bottom-left of the line.
    void DrawColour(float x, float y, const uint32_t* text, int count, uint32_t c1, uint32_t c2, uint32_t c3,
                    uint32_t c4, float alpha);
    void DrawTransformed(float x, float y, const uint32_t* text, int count, float xScale, float yScale, float angle,
                         uint32_t colour, float alpha);
    void DrawTransformedColour(float x, float y, const uint32_t* text, int count, float xScale, float yScale,
                               float angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4, float alpha);

private:
    const FontGlyph* Search(uint32_t character) const;
    int GlyphIndex(const FontGlyph* glyph) const;
    void SortGlyphs();
    bool LoadTrueType();
    void CloseFace();
    // The texture glyphs are drawn from, its texel sizes and the entry origin.
    struct Source {
        D3DTexture* texture;
        const STexturePageEntry* entry;
        int ownTexture;
        float texelWidth, texelHeight;
        float originX, originY;
    };
    bool GetSource(Source* out);
    void TexturedLine(float x, float y, const uint32_t* text, int count, float xScale, float yScale, float angle,
                      bool rotate, uint32_t colour, float alpha);
    // Sprite fonts draw each glyph as its frame; spaces only advance.
    void SpriteLine(float x, float y, const uint32_t* text, int count, float xScale, float yScale, float angle,
                    const uint32_t* colours, bool gradient, float alpha);
    void GradientLine(float x, float y, const uint32_t* text, int count, float xScale, float yScale, float angle,
                      uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4, float alpha);

    char* m_name = nullptr;
    int32_t m_size = 12;
    bool m_bold = false, m_italic = false;
    int32_t m_charset = 0;
    int32_t m_antialias = 0;
    int32_t m_first = 32, m_last = 128;
    int32_t m_textureWidth = 0, m_textureHeight = 0;
    int32_t m_lineHeight = 0;
    int32_t m_sprite = -1;
    int32_t m_ownTexture = -1;
    uint32_t m_entryOffset = 0;                  // data-file fonts: offset of the entry, resolved when drawn
    STexturePageEntry* m_ownEntry = nullptr;     // debug font
    int32_t m_glyphCount = 0;
    FontGlyph* m_glyphs = nullptr;               // sorted by character
    float m_xScale = 1.0f, m_yScale = 1.0f;
    float m_inset = 0.0f;
    uint8_t* m_fileBytes = nullptr;
    uint32_t m_fileSize = 0;
    GlyphCache m_cache;
    FontFace* m_face = nullptr;
    GlyphCacheCell** m_cells = nullptr;          // run-time fonts: one per glyph
};
