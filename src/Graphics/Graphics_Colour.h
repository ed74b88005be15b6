#pragma once
// Colour helpers on 0x00BBGGRR words: hue, saturation and value on a 0..255
// scale (hue 255 stands for 360 degrees), and the mix of two colours.
#include <cstdint>

// Three bytes read either as RGB (0 blue, 1 green, 2 red) or as HSV (0 hue,
// 1 saturation, 2 value).
struct ColourBytes {
    uint8_t b[3];
};

void Colour_SetRGB(ColourBytes* record, int red, int green, int blue);
uint32_t Colour_PackRGB(const ColourBytes& rgb);
void Colour_SetHSV(ColourBytes* record, int hue, int saturation, int value);
ColourBytes Colour_GetHSV(uint32_t colour);
uint32_t Colour_FromHSV(const ColourBytes& hsv);
ColourBytes Colour_RGBToHSV(const ColourBytes& rgb);
ColourBytes Colour_HSVToRGB(const ColourBytes& hsv);
// Each channel mixed in single precision, rounded to even and wrapped to 8
// bits (fractions outside 0..1 wrap); no alpha byte.
uint32_t Colour_Merge(uint32_t colour1, uint32_t colour2, float fraction);
