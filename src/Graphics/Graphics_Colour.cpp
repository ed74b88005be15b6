#include "Graphics/Graphics_Colour.h"

#include <cmath>

namespace {
// v x 255 + 0.5 truncated and clamped to a byte; the float is bounded before
// the conversion so that no value is out of range for it.
uint8_t ByteOf(float v)
{
    const float w = v * 255.0f + 0.5f;
    if (!(w >= 0.0f)) return 0;
    if (w >= 255.0f) return 255;
    return static_cast<uint8_t>(static_cast<int>(w));
}
}  // namespace

void Colour_SetRGB(ColourBytes* record, int red, int green, int blue)
{
    record->b[0] = static_cast<uint8_t>(blue);
    record->b[1] = static_cast<uint8_t>(green);
    record->b[2] = static_cast<uint8_t>(red);
}

uint32_t Colour_PackRGB(const ColourBytes& rgb)
{
    return uint32_t{rgb.b[0]} << 16 | uint32_t{rgb.b[1]} << 8 | rgb.b[2];
}

void Colour_SetHSV(ColourBytes* record, int hue, int saturation, int value)
{
    record->b[0] = static_cast<uint8_t>(hue);
    record->b[1] = static_cast<uint8_t>(saturation);
    record->b[2] = static_cast<uint8_t>(value);
}

ColourBytes Colour_GetHSV(uint32_t colour)
{
    ColourBytes rgb;
    Colour_SetRGB(&rgb, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    return Colour_RGBToHSV(rgb);
}

uint32_t Colour_FromHSV(const ColourBytes& hsv)
{
    return Colour_PackRGB(Colour_HSVToRGB(hsv));
}

ColourBytes Colour_RGBToHSV(const ColourBytes& rgb)
{
    const float r = rgb.b[2] / 255.0f, g = rgb.b[1] / 255.0f, b = rgb.b[0] / 255.0f;
    const float max = std::fmax(r, std::fmax(g, b)), min = std::fmin(r, std::fmin(g, b));
    float h = 0.0f, s = 0.0f;
    if (max != 0.0f) {
        const float delta = max - min;
        s = delta / max;
        if (s != 0.0f) {
            if (r == max) h = (g - b) * 60.0f / delta;
            else if (g != max) h = (r - g) * 60.0f / delta + 240.0f;
            else h = (b - r) * 60.0f / delta + 120.0f;
            if (h < 0.0f) h += 360.0f;
        }
    }
    ColourBytes hsv;
    const float hue = h * 255.0f / 360.0f + 0.5f;
    hsv.b[0] = hue >= 255.0f ? 255 : static_cast<uint8_t>(static_cast<int>(hue));
    hsv.b[1] = ByteOf(s);
    hsv.b[2] = ByteOf(max);
    return hsv;
}

ColourBytes Colour_HSVToRGB(const ColourBytes& hsv)
{
    const float s = hsv.b[1] / 255.0f, v = hsv.b[2] / 255.0f;
    ColourBytes rgb;
    if (s == 0.0f) {
        const uint8_t grey = ByteOf(v);
        Colour_SetRGB(&rgb, grey, grey, grey);
        return rgb;
    }
    float e = hsv.b[0] * 360.0f / 255.0f;
    if (e == 360.0f) e = 0.0f;
    e /= 60.0f;
    const int sector = static_cast<int>(e);
    const float f = e - static_cast<float>(sector);
    const float p = (1.0f - s) * v, q = (1.0f - f * s) * v, t = (1.0f - (1.0f - f) * s) * v;
    float r, g, b;
    switch (sector) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
    }
    Colour_SetRGB(&rgb, ByteOf(r), ByteOf(g), ByteOf(b));
    return rgb;
}

uint32_t Colour_Merge(uint32_t colour1, uint32_t colour2, float fraction)
{
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const float a = static_cast<float>((colour1 >> shift) & 0xFF), b = static_cast<float>((colour2 >> shift) & 0xFF);
        const double mixed = std::nearbyint(a * (1.0f - fraction) + b * fraction);
        // Wrapped through a 64-bit integer; a fraction far outside 0..1 (or NaN) gives 0, not a bad conversion.
        const int64_t whole = std::fabs(mixed) < 9.0e18 ? static_cast<int64_t>(mixed) : 0;
        result |= (static_cast<uint32_t>(whole) & 0xFF) << shift;
    }
    return result;
}
