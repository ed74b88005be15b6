// Drawing a sprite frame: frame choice, culling against the view, and the
// hand-over to the vector drawer or to the textured-quad routines (page
// entries when the sprite has them, else the frame's game texture).
#include <cmath>

#include "Code/Code_Profiler.h"
#include "Base/Console.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_TextureDraw.h"
#include "Sprite/Sprite_Class.h"

namespace {
constexpr float kDegreesToRadians = 3.1415927f / 180.0f;
}  // namespace

void CSprite::LogDrawFailure() const
{
    LogConsole->Output("Error attempting to draw sprite %s\n", name ? name : "<undefined>");
}

bool CSprite::CheckDrawable(float cx, float cy, float r)
{
    GR_UpdateCullRect();
    const CullRectangle& c = GR_CullRect;
    if (r >= static_cast<float>(c.minY) - cy && r >= cy - static_cast<float>(c.maxY) &&
        r >= static_cast<float>(c.minX) - cx && r >= cx - static_cast<float>(c.maxX))
        return true;
    // A camera that is not 2D sees more than the rectangle says.
    return LayerMode && GR_ActiveCameraIs3D();
}

void CSprite::Draw(int32_t frame, float x, float y)
{
    const ProfilerSection section(SECTION_SPRITE_DRAW_SIMPLE);
    if (frameCount < 1) return;
    if (kind == SPRITE_KIND_SKELETON) return;  // skeletons are drawn by their instances
    if (!NoSpriteCulling && !CheckDrawable(x, y, static_cast<float>(extent))) return;
    if (kind == SPRITE_KIND_VECTOR) return DrawVector(frame, float(xorigin), float(yorigin), x, y, 1, 1, 0, 0xFFFFFFFFu, 1);
    const STexturePageEntry* entry = GetPageEntry(frame);
    const bool drawn = entry ? GR_TPE_Draw(entry, x - xorigin, y - yorigin)
                             : GR_Texture_Draw(GetFrameTexture(frame), x - xorigin, y - yorigin);
    if (!drawn) LogDrawFailure();
}

void CSprite::DrawExt(int32_t frame, float x, float y, float xscale, float yscale, float angle, uint32_t colour,
                      float alpha)
{
    const ProfilerSection section(SECTION_SPRITE_DRAW);
    if (frameCount < 1 || kind == SPRITE_KIND_SKELETON) return;
    if (!NoSpriteCulling && !Legacy3DMode) {
        const float e = static_cast<float>(extent);
        if (!CheckDrawable(x, y, std::fmax(std::fabs(e * xscale), std::fabs(e * yscale)))) return;
    }
    if (kind == SPRITE_KIND_VECTOR)
        return DrawVector(frame, float(xorigin), float(yorigin), x, y, xscale, yscale, angle, colour, alpha);
    const float radians = angle * kDegreesToRadians;
    const STexturePageEntry* entry = GetPageEntry(frame);
    const bool drawn =
        entry ? GR_TPE_DrawExt(entry, xorigin, yorigin, x, y, xscale, yscale, radians, colour, alpha)
              : GR_Texture_DrawExt(GetFrameTexture(frame), xorigin, yorigin, x, y, xscale, yscale, radians, colour,
                                   alpha);
    if (!drawn) LogDrawFailure();
}

void CSprite::DrawGeneral(int32_t frame, float left, float top, float w, float h, float x, float y, float xscale,
                          float yscale, float angle, uint32_t colourTL, uint32_t colourTR, uint32_t colourBR,
                          uint32_t colourBL, float alpha)
{
    if (frameCount < 1 || kind != SPRITE_KIND_BITMAP) return;
    if (!NoSpriteCulling) {
        const float c = std::cos(angle * kDegreesToRadians), s = std::sin(angle * kDegreesToRadians);
        const float k = std::fmax(xscale, yscale);
        const float cx = x + (c * w / 2 + s * h / 2) * k, cy = y - (s * w / 2 - c * h / 2) * k;
        if (!CheckDrawable(cx, cy, std::sqrt(w * w + h * h) * k * 0.5f)) return;
    }
    const float radians = angle * kDegreesToRadians;
    const STexturePageEntry* entry = GetPageEntry(frame);
    const bool drawn = entry ? GR_TPE_DrawGeneral(entry, left, top, w, h, x, y, xscale, yscale, radians, colourTL,
                                                  colourTR, colourBR, colourBL, alpha)
                             : GR_Texture_DrawGeneral(GetFrameTexture(frame), left, top, w, h, x, y, xscale, yscale,
                                                      radians, colourTL, colourTR, colourBR, colourBL, alpha);
    if (!drawn) LogDrawFailure();
}

void CSprite::DrawPart(int32_t frame, float left, float top, float w, float h, float x, float y, float xscale,
                       float yscale, uint32_t colour, float alpha)
{
    if (frameCount < 1 || kind != SPRITE_KIND_BITMAP) return;
    const STexturePageEntry* entry = GetPageEntry(frame);
    const bool drawn =
        entry ? GR_TPE_DrawPart(entry, left, top, w, h, x, y, xscale, yscale, 0, colour, alpha)
              : GR_Texture_DrawPart(GetFrameTexture(frame), left, top, w, h, x, y, xscale, yscale, 0, colour, alpha);
    if (!drawn) LogDrawFailure();
}

void CSprite::DrawPos(int32_t frame, float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4,
                      uint32_t colour, float alpha)
{
    if (frameCount < 1 || kind != SPRITE_KIND_BITMAP) return;
    const STexturePageEntry* entry = GetPageEntry(frame);
    if (entry && !GR_TPE_DrawPos(entry, x1, y1, x2, y2, x3, y3, x4, y4, colour, alpha)) LogDrawFailure();
}

void CSprite::DrawStretched(int32_t frame, float x, float y, float w, float h, uint32_t colour, float alpha)
{
    if (frameCount < 1 || kind == SPRITE_KIND_SKELETON || w <= 0 || h <= 0 || width <= 0 || height <= 0) return;
    const float xscale = w / static_cast<float>(width), yscale = h / static_cast<float>(height);
    if (kind == SPRITE_KIND_VECTOR) return DrawVector(frame, 0, 0, x, y, xscale, yscale, 0, colour, alpha);
    const STexturePageEntry* entry = GetPageEntry(frame);
    const bool drawn = entry ? GR_TPE_DrawExt(entry, 0, 0, x, y, xscale, yscale, 0, colour, alpha)
                             : GR_Texture_DrawExt(GetFrameTexture(frame), 0, 0, x, y, xscale, yscale, 0, colour, alpha);
    if (!drawn) LogDrawFailure();
}

void CSprite::DrawTiled(int32_t frame, float x, float y, float xscale, float yscale, bool hRepeat, bool vRepeat,
                        float regionLeft, float regionTop, float regionWidth, float regionHeight, uint32_t colour,
                        float alpha)
{
    if (frameCount < 1 || kind == SPRITE_KIND_SKELETON) return;
    if (kind == SPRITE_KIND_VECTOR)
        return DrawVectorTiled(frame, x, y, xscale, yscale, hRepeat, vRepeat, regionLeft, regionTop, regionWidth,
                               regionHeight, colour, alpha);
    const STexturePageEntry* entry = GetPageEntry(frame);
    // The page-entry tiler covers the current view; the game-texture one takes the region.
    const bool drawn = entry ? GR_TPE_DrawTiled(entry, xorigin, yorigin, x, y, xscale, yscale, hRepeat, vRepeat,
                                                colour, alpha)
                             : GR_Texture_DrawTiled(GetFrameTexture(frame), xorigin, yorigin, x, y, xscale, yscale,
                                                    hRepeat, vRepeat, regionLeft, regionTop, regionWidth,
                                                    regionHeight, colour, alpha);
    if (!drawn) LogDrawFailure();
}
