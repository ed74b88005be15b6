// Drawing a background: the hand-over to the textured-quad routines, through
// the page entry when the background has one, else its game texture.
// Backgrounds have their origin at the top-left corner.
#include "Background/Background_Class.h"
#include "Graphics/Graphics_TextureDraw.h"

namespace {
constexpr float kDegreesToRadians = 3.1415927f / 180.0f;
}  // namespace

void BackgroundResource::Draw(float x, float y)
{
    if (const STexturePageEntry* entry = GetEntry()) GR_TPE_Draw(entry, x, y);
    else GR_Texture_Draw(m_texture, x, y);
}

void BackgroundResource::DrawExt(float x, float y, float xscale, float yscale, float angle, uint32_t colour,
                                 float alpha)
{
    const float radians = angle * kDegreesToRadians;
    if (const STexturePageEntry* entry = GetEntry())
        GR_TPE_DrawExt(entry, 0, 0, x, y, xscale, yscale, radians, colour, alpha);
    else
        GR_Texture_DrawExt(m_texture, 0, 0, x, y, xscale, yscale, radians, colour, alpha);
}

void BackgroundResource::DrawStretched(float x, float y, float w, float h, uint32_t colour, float alpha)
{
    if (w <= 0 || h <= 0 || width <= 0 || height <= 0) return;
    const float xscale = w / static_cast<float>(width), yscale = h / static_cast<float>(height);
    if (const STexturePageEntry* entry = GetEntry())
        GR_TPE_DrawExt(entry, 0, 0, x, y, xscale, yscale, 0, colour, alpha);
    else
        GR_Texture_DrawExt(m_texture, 0, 0, x, y, xscale, yscale, 0, colour, alpha);
}

void BackgroundResource::DrawPart(float left, float top, float w, float h, float x, float y, float xscale,
                                  float yscale, uint32_t colour, float alpha)
{
    if (const STexturePageEntry* entry = GetEntry())
        GR_TPE_DrawPart(entry, left, top, w, h, x, y, xscale, yscale, 0, colour, alpha);
    else
        GR_Texture_DrawPart(m_texture, left, top, w, h, x, y, xscale, yscale, 0, colour, alpha);
}

void BackgroundResource::DrawGeneral(float left, float top, float w, float h, float x, float y, float xscale,
                                     float yscale, float angle, uint32_t colourTL, uint32_t colourTR,
                                     uint32_t colourBR, uint32_t colourBL, float alpha)
{
    const float radians = angle * kDegreesToRadians;
    if (const STexturePageEntry* entry = GetEntry())
        GR_TPE_DrawGeneral(entry, left, top, w, h, x, y, xscale, yscale, radians, colourTL, colourTR, colourBR,
                           colourBL, alpha);
    else
        GR_Texture_DrawGeneral(m_texture, left, top, w, h, x, y, xscale, yscale, radians, colourTL, colourTR,
                               colourBR, colourBL, alpha);
}

void BackgroundResource::DrawTiled(float x, float y, float xscale, float yscale, bool hRepeat, bool vRepeat,
                                   float regionLeft, float regionTop, float regionWidth, float regionHeight,
                                   uint32_t colour, float alpha)
{
    // The page-entry tiler covers the current view; the game-texture one takes the region.
    if (const STexturePageEntry* entry = GetEntry())
        GR_TPE_DrawTiled(entry, 0, 0, x, y, xscale, yscale, hRepeat, vRepeat, colour, alpha);
    else
        GR_Texture_DrawTiled(m_texture, 0, 0, x, y, xscale, yscale, hRepeat, vRepeat, regionLeft, regionTop,
                             regionWidth, regionHeight, colour, alpha);
}
