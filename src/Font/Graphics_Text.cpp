// Text drawing: the text state, the default font, and the placing of each
// line of a block by alignment, separation and transformation.
#include "Font/Graphics_Text.h"

#include <algorithm>
#include <cmath>

#include "Font/Font_Class.h"
#include "Font/Font_Main.h"
#include "Graphics/BuiltinImages.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturesM.h"

namespace {

int32_t s_fontIndex = -1;
int32_t s_hAlign = 0;
int32_t s_vAlign = 0;
CFontQS* s_defaultFont = nullptr;
int s_defaultTexture = -1;
D3DTexture* s_defaultD3D = nullptr;  // what the index held when the font was made

constexpr uint32_t kTextMarkerColour = 0xFFFF00u;

int32_t Alignment(int32_t value) { return value >= 0 && value <= 2 ? value : 0; }

void FreeDefaultFont()
{
    delete s_defaultFont;
    s_defaultFont = nullptr;
    if (s_defaultTexture >= 0 && GR_Texture_GetD3D(s_defaultTexture) == s_defaultD3D) GR_Texture_Free(s_defaultTexture);
    s_defaultTexture = -1;
    s_defaultD3D = nullptr;
}

// One layout: the font resolved, the text split, the line height.
struct Layout {
    CFontQS* font;
    TextLines lines;
    int height;
};

bool Prepare(const char* text, int separation, int width, Layout* out)
{
    out->font = Text_CurrentFont();
    if (!out->font || !text) return false;
    Text_SplitLines(text, width, &out->lines);
    out->height = separation >= 0 ? separation : out->font->GetHeight();
    return true;
}

struct Colours {
    bool gradient;
    uint32_t c1, c2, c3, c4;
    float alpha;
};

void DrawBlock(float x, float y, const char* text, int separation, int width, const Colours& colours)
{
    Layout layout;
    if (!Prepare(text, separation, width, &layout)) return;
    const int count = layout.lines.Count(), h = layout.height;
    float lineY = y;
    if (s_vAlign == 1) lineY = y - static_cast<float>((count * h) / 2);
    else if (s_vAlign == 2) lineY = y - static_cast<float>(count * h);
    for (int i = 0; i < count; ++i) {
        const uint32_t* line = layout.lines.At(i);
        const int length = layout.lines.Length(i);
        if (length > 0) {
            const int w = s_hAlign == 0 ? 0 : layout.font->GetTextWidth(line, length);
            const int offset = s_hAlign == 1 ? -(w / 2) : s_hAlign == 2 ? -w : 0;
            const float lineX = x + static_cast<float>(offset);
            if (colours.gradient)
                layout.font->DrawColour(lineX, lineY, line, length, colours.c1, colours.c2, colours.c3, colours.c4,
                                        colours.alpha);
            else
                layout.font->Draw(lineX, lineY, line, length, DrawColour, GR_Draw_GetAlpha());
        }
        lineY += static_cast<float>(h);
    }
}

void DrawBlockTransformed(float x, float y, const char* text, int separation, int width, float xScale, float yScale,
                          float angle, const Colours& colours)
{
    Layout layout;
    if (!Prepare(text, separation, width, &layout)) return;
    const int count = layout.lines.Count();
    const float theta = angle * static_cast<float>(M_PI) / 180.0f;
    const float s = std::sin(theta), c = std::cos(theta);
    const float h = static_cast<float>(layout.height);
    const float dx = s * yScale * h, dy = c * yScale * h;
    float startX = x, startY = y;
    if (s_vAlign == 1) {
        startX = x - count * dx * 0.5f;
        startY = y - count * dy * 0.5f;
    } else if (s_vAlign == 2) {
        startX = x - count * dx;
        startY = y - count * dy;
    }
    for (int i = 0; i < count; ++i) {
        const uint32_t* line = layout.lines.At(i);
        const int length = layout.lines.Length(i);
        if (length > 0) {
            const float w = s_hAlign == 0 ? 0.0f : static_cast<float>(layout.font->GetTextWidth(line, length));
            const float m = s_hAlign == 1 ? -(w * xScale * 0.5f) : s_hAlign == 2 ? -(w * xScale) : 0.0f;
            const float lineX = startX + m * c, lineY = startY - m * s;
            if (colours.gradient)
                layout.font->DrawTransformedColour(lineX, lineY, line, length, xScale, yScale, angle, colours.c1,
                                                   colours.c2, colours.c3, colours.c4, colours.alpha);
            else
                layout.font->DrawTransformed(lineX, lineY, line, length, xScale, yScale, angle, DrawColour,
                                             GR_Draw_GetAlpha());
        }
        startX += dx;
        startY += dy;
    }
}

}  // namespace

void Text_CreateDefaultFont()
{
    // The font image goes when the texture table is emptied: the font is then made again.
    if (s_defaultFont && GR_Texture_GetD3D(s_defaultTexture) == s_defaultD3D && s_defaultD3D) return;
    FreeDefaultFont();
    s_defaultD3D = GR_D3D_CreateBuiltinTexture(BUILTIN_IMAGE_FONT);
    s_defaultTexture = s_defaultD3D ? GR_Texture_AddD3D(s_defaultD3D, 256, 128) : -1;
    s_defaultFont = new CFontQS();
    s_defaultFont->CreateDebugFont(BuiltinFontGlyphs, BUILTIN_FONT_FIRST, BUILTIN_FONT_LAST, s_defaultTexture);
}

CFontQS* Text_CurrentFont()
{
    if (CFontQS* font = Font_Get(s_fontIndex)) return font;
    Text_CreateDefaultFont();
    return s_defaultFont;
}

void Text_Draw(float x, float y, const char* text, int separation, int width)
{
    Timing_Push(kTextMarkerColour, "Text");
    DrawBlock(x, y, text, separation, width, Colours{false, 0, 0, 0, 0, 0});
    Timing_Pop();
}

void Text_DrawColour(float x, float y, const char* text, int separation, int width, uint32_t c1, uint32_t c2,
                     uint32_t c3, uint32_t c4, float alpha)
{
    DrawBlock(x, y, text, separation, width, Colours{true, c1, c2, c3, c4, alpha});
}

void Text_DrawTransformed(float x, float y, const char* text, int separation, int width, float xScale, float yScale,
                          float angle)
{
    Timing_Push(kTextMarkerColour, "Text");
    DrawBlockTransformed(x, y, text, separation, width, xScale, yScale, angle, Colours{false, 0, 0, 0, 0, 0});
    Timing_Pop();
}

void Text_DrawTransformedColour(float x, float y, const char* text, int separation, int width, float xScale,
                                float yScale, float angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4,
                                float alpha)
{
    DrawBlockTransformed(x, y, text, separation, width, xScale, yScale, angle, Colours{true, c1, c2, c3, c4, alpha});
}

int Text_GetWidth(const char* text, int, int width)
{
    Layout layout;
    if (!Prepare(text, -1, width, &layout)) return 0;
    int widest = 0;
    for (int i = 0; i < layout.lines.Count(); ++i)
        widest = std::max(widest, layout.font->GetTextWidth(layout.lines.At(i), layout.lines.Length(i)));
    return widest;
}

int Text_GetHeight(const char* text, int separation, int width)
{
    Layout layout;
    if (!Prepare(text, separation, width, &layout) || layout.lines.Count() == 0) return 0;
    return layout.font->GetHeight() + layout.height * (layout.lines.Count() - 1);
}

void Text_SetFont(int32_t index)
{
    if (Font_Exists(index)) {
        s_fontIndex = index;
        return;
    }
    Text_CreateDefaultFont();
    s_fontIndex = -1;
}

int32_t Text_GetFont() { return s_fontIndex; }
void Text_SetHAlign(int32_t alignment) { s_hAlign = Alignment(alignment); }
void Text_SetVAlign(int32_t alignment) { s_vAlign = Alignment(alignment); }
int32_t Text_GetHAlign() { return s_hAlign; }
int32_t Text_GetVAlign() { return s_vAlign; }

void Text_Reset()
{
    s_fontIndex = -1;
    s_hAlign = s_vAlign = 0;
    DrawColour = 0xFF000000u;
    DrawAlpha = 255;
}

void Text_Free()
{
    FreeDefaultFont();
    Text_Reset();
}
