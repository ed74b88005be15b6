// Fonts made from the frames of a sprite: one glyph per character of the
// map, glyph i being frame i.
#include <algorithm>
#include <climits>
#include <vector>

#include "Base/MemoryManager.h"
#include "Base/UTF8.h"
#include "Font/Font_Class.h"
#include "Graphics/TexturePages.h"
#include "Sprite/Sprite_Main.h"

namespace {

int16_t ToI16(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)); }

// Horizontal extent of a frame's image, right edge exclusive: the cropped
// image of a data-file frame, the opaque pixels of a run-time one (none,
// (0, 0), when it has no opaque pixel).
void FrameExtent(const CSprite* sprite, int32_t frame, int32_t* left, int32_t* right)
{
    const STexturePageEntry* e = sprite->OwnsPageEntries() ? nullptr : sprite->GetPageEntry(frame);
    if (e) {
        *left = e->xOffset;
        *right = e->xOffset + e->cropWidth;
        return;
    }
    int32_t bounds[4];
    sprite->GetFrameBounds(frame, bounds);
    const bool empty = bounds[2] < bounds[0];
    *left = empty ? 0 : bounds[0];
    *right = empty ? 0 : bounds[2] + 1;
}

}  // namespace

void CFontQS::CreateFromSprite(int32_t spriteIndex, const char* map, int proportional, int separation)
{
    Clear();
    const CSprite* sprite = Sprite_Get(spriteIndex);
    if (!sprite) return;
    m_sprite = spriteIndex;

    std::vector<uint32_t> characters;
    bool hasSpace = false;
    for (const char* p = map ? map : ""; *p;) {
        const uint32_t c = UTF8_DecodeAdvance(&p);
        hasSpace |= c == ' ';
        characters.push_back(c);
    }
    // Glyph widths hold frame indices, so a font has at most 32,767 frames' worth.
    const int64_t frames = std::max(sprite->frameCount, 0);
    int n = static_cast<int>(std::min<int64_t>({static_cast<int64_t>(characters.size()), frames, INT16_MAX - 1}));
    const bool appendSpace = !hasSpace;
    if (appendSpace) characters.resize(n), characters.push_back(' '), ++n;
    if (n == 0) return;  // a map of spaces only over a sprite without frames

    m_glyphs = static_cast<FontGlyph*>(QS_ALLOC(sizeof(FontGlyph) * n, true));
    m_glyphCount = n;
    int widest = -999;
    for (int j = 0; j < n; ++j) {
        int32_t left = 0, right = sprite->width;
        if (j < frames && proportional == 1) FrameExtent(sprite, j, &left, &right);
        FontGlyph& g = m_glyphs[j];
        g.character = characters[j];
        g.width = static_cast<int16_t>(j);
        g.height = ToI16(sprite->height);
        g.shift = ToI16(static_cast<int64_t>(separation) + right - left);
        g.offset = ToI16(-static_cast<int64_t>(left));
        m_lineHeight = std::max<int32_t>(m_lineHeight, g.height);
        if (g.character != ' ') widest = std::max<int>(widest, g.shift);
    }
    // The added space is as wide as the widest glyph; alone it keeps its own advance.
    if (appendSpace && n > 1) m_glyphs[n - 1].shift = ToI16(widest);
    SortGlyphs();
    m_first = static_cast<int32_t>(m_glyphs[0].character);
    m_last = m_first + n;
}
