#include <gtest/gtest.h>

#include "Graphics/Graphics_Colour.h"

namespace {
struct HsvCase {
    uint32_t colour;
    int hue, saturation, value;
};
}  // namespace

TEST(Colour, RgbToHsvOnTheByteScale)
{
    const HsvCase cases[] = {
        {0x0000FF, 0, 255, 255},    // red
        {0xFF0000, 170, 255, 255},  // blue: 240 degrees
        {0x00FF00, 85, 255, 255},   // green: 120 degrees
        {0x000000, 0, 0, 0},
        {0xFFFFFF, 0, 0, 255},
        {0x800080, 213, 255, 128},  // purple: 300 degrees, value 128/255 rounds to 128
    };
    for (const HsvCase& c : cases) {
        const ColourBytes hsv = Colour_GetHSV(c.colour);
        EXPECT_EQ(hsv.b[0], c.hue) << std::hex << c.colour;
        EXPECT_EQ(hsv.b[1], c.saturation) << std::hex << c.colour;
        EXPECT_EQ(hsv.b[2], c.value) << std::hex << c.colour;
    }
}

TEST(Colour, HsvToRgbRoundTripsAndWrapsTheFullHue)
{
    ColourBytes hsv;
    Colour_SetHSV(&hsv, 0, 255, 255);
    EXPECT_EQ(Colour_FromHSV(hsv), 0x0000FFu);
    Colour_SetHSV(&hsv, 255, 255, 255);  // 360 degrees is 0
    EXPECT_EQ(Colour_FromHSV(hsv), 0x0000FFu);
    Colour_SetHSV(&hsv, 170, 255, 255);
    EXPECT_EQ(Colour_FromHSV(hsv), 0xFF0000u);
    Colour_SetHSV(&hsv, 99, 0, 128);  // no saturation: grey of the value
    EXPECT_EQ(Colour_FromHSV(hsv), 0x808080u);
    Colour_SetHSV(&hsv, 21, 255, 255);  // sector 0, part way to yellow
    const uint32_t orange = Colour_FromHSV(hsv);
    EXPECT_EQ(orange & 0xFF, 0xFFu);
    EXPECT_EQ(orange >> 16, 0u);
    EXPECT_NEAR(double((orange >> 8) & 0xFF), 126.0, 1.0);
}

TEST(Colour, MergeRoundsToEvenAndWrapsOutsideTheRange)
{
    EXPECT_EQ(Colour_Merge(0x000000, 0x0000FF, 0.5f), 128u);       // 127.5 to the even 128
    EXPECT_EQ(Colour_Merge(0x000000, 0x0000FF, 1.5f), 126u);       // 382.5 to 382, wrapped
    EXPECT_EQ(Colour_Merge(0x102030, 0x102030, 0.3f), 0x102030u);  // alpha byte never set
    EXPECT_EQ(Colour_Merge(0xFF0000, 0x000000, 0.25f), 0xBF0000u);  // 191.25
    EXPECT_EQ(Colour_Merge(0x0000FF, 0, 1e30f) & 0xFF, 0u);         // far outside: no fault
}
