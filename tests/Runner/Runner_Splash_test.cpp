#include <gtest/gtest.h>

#include <string>

#include "Graphics/VertexBuilderM.h"
#include "IO/LoadSave.h"
#include "Runner/Runner_Entry.h"
#include "support/GpuTestFrame.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

using ImageFixtures::Bytes;
using ImageFixtures::EncodeRgbaPng;

TEST(Splash, DrawsTheBundlesSplashLetterboxedToTheWindow)
{
    TempFolder dir;
    Bytes rgba;
    for (int i = 0; i < 8 * 8; ++i) rgba.insert(rgba.end(), {255, 0, 0, 255});
    const Bytes png = EncodeRgbaPng(8, 8, rgba);
    dir.Write("splash.png", std::string(png.begin(), png.end()));
    InitProgramDirectory((dir / "game.win").c_str());
    ASSERT_TRUE(Splash_Exists());

    GpuTestFrame frame(64, 32);
    ASSERT_TRUE(frame.ok);
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
    Splash_DrawFrame(0);
    // A square image in a 2:1 window: a quarter of the width stays black on each side.
    EXPECT_TRUE(Near(frame.Pixel(32, 16), Rgba(255, 0, 0, 255), 2)) << std::hex << frame.Pixel(32, 16);
    EXPECT_TRUE(Near(frame.Pixel(20, 2), Rgba(255, 0, 0, 255), 2));
    EXPECT_TRUE(Near(frame.Pixel(4, 16), Rgba(0, 0, 0, 255), 2)) << std::hex << frame.Pixel(4, 16);
    EXPECT_TRUE(Near(frame.Pixel(60, 16), Rgba(0, 0, 0, 255), 2));
    Splash_DrawFrame(-1);

    InitProgramDirectory((dir / "none/game.win").c_str());
    EXPECT_FALSE(Splash_Exists());
    InitProgramDirectory(nullptr);
}
