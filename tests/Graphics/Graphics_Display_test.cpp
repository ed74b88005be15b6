// The 2D view, visible bounds, culling rectangle, render area and frame
// read-back of the display, on the software device.
#include "Graphics/Graphics_Display.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Host/Host_Window.h"
#include "Graphics/TBitmap.h"
#include "Graphics/VertexBuilderM.h"
#include "support/GpuTestFrame.h"

namespace {

TEST(ViewBoundsTest, UnturnedViewsGrowAndTurnedViewsTakeTheirBox)
{
    struct Case {
        float x, y, w, h, angle;
        ViewCullBounds expected;
    };
    const Case cases[] = {
        {0, 0, 640, 480, 0, {0, 0, 640, 480}},
        {0, 0, 640, 480, 180, {0, 0, 640, 480}},
        {0, 0, 640, 480, 45, {-75, -155, 715, 635}},
        {100, 50, 640, 480, 0.0005f, {99, 49, 740, 530}},
        {-10.5f, -20, 64, 64, 0, {-11, -20, 54, 44}},
        // Views of a damaged saved game: held to the int range, never undefined.
        {3e9f, -3e9f, 1e9f, 1, 0, {INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN}},
        {NAN, 0, 64, 64, 0, {0, 0, 0, 64}},
    };
    for (const Case& c : cases) {
        GR_CalcViewBounds(c.x, c.y, c.w, c.h, c.angle);
        EXPECT_EQ(GR_ViewBounds.left, c.expected.left) << c.angle;
        EXPECT_EQ(GR_ViewBounds.top, c.expected.top) << c.angle;
        EXPECT_EQ(GR_ViewBounds.right, c.expected.right) << c.angle;
        EXPECT_EQ(GR_ViewBounds.bottom, c.expected.bottom) << c.angle;
    }
}

class ViewDisplayTest : public ::testing::Test {
protected:
    GpuTestFrame frame{64, 64};
    const uint32_t kBlack = Rgba(0, 0, 0, 255), kRed = Rgba(255, 0, 0, 255);

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        DrawColour = 0xFF0000FFu;
        DrawAlpha = 255;
        GR_D3D_SetView(0, 0, 64, 64, 0);
        GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
    }
    void TearDown() override
    {
        GR_VertexBuilder_Flush();
        DrawColour = 0xFF000000u;
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        GR_D3D_SetMatrix(MATRIX_WORLD, identity);
    }
};

TEST_F(ViewDisplayTest, ViewTurnedBy90ShowsTheRoomTurnedCounterClockwise)
{
    GR_D3D_SetView(0, 0, 64, 64, 90);
    GR_Draw_Rectangle(0, 0, 9, 9, false);  // the room's top-left corner
    EXPECT_EQ(frame.Pixel(5, 60), kRed) << "lands bottom-left";
    EXPECT_EQ(frame.Pixel(5, 5), kBlack);
    EXPECT_EQ(frame.Pixel(60, 60), kBlack);
    const RendererViewRectangle view = GR_D3D_GetView();
    EXPECT_EQ(view.angle, 90.0f);
}

TEST_F(ViewDisplayTest, PortSmallerThanTheWindowScalesTheView)
{
    GR_D3D_SetViewport(32, 0, 32, 32);
    GR_D3D_SetView(0, 0, 64, 64, 0);
    GR_Draw_Rectangle(0, 0, 19, 19, false);
    EXPECT_EQ(frame.Pixel(36, 4), kRed);
    EXPECT_EQ(frame.Pixel(4, 4), kBlack) << "outside the port";
    EXPECT_EQ(frame.Pixel(36, 14), kBlack) << "half size";
    GR_D3D_SetViewport(0, 0, 64, 64);
}

TEST_F(ViewDisplayTest, ThreeDModeWithPerspectiveFillsTheScreenAtDepthZero)
{
    GR_3D_SetMode(true);
    GR_D3D_SetView(0, 0, 64, 64, 0);
    EXPECT_TRUE(GR_3D_Projection.perspective);
    GR_Draw_Rectangle(-1, -1, 62, 62, false);  // the whole view at z 0
    EXPECT_EQ(frame.Pixel(1, 1), kRed);
    EXPECT_EQ(frame.Pixel(62, 62), kRed);
    GR_3D_SetMode(false);
    GR_D3D_SetView(0, 0, 64, 64, 0);
    EXPECT_FALSE(GR_3D_Projection.perspective);
}

TEST_F(ViewDisplayTest, CullRectangleFollowsTheWorldMatrixWhenStale)
{
    GR_D3D_SetView(0, 0, 64, 64, 0);
    GR_UpdateCullRect();
    EXPECT_FALSE(GR_CullRect.stale);
    EXPECT_EQ(GR_CullRect.minX, 0);
    EXPECT_EQ(GR_CullRect.maxY, 64);
    GR_3D_TransformSetTranslation(100, 50, 0);
    EXPECT_TRUE(GR_CullRect.stale);
    GR_UpdateCullRect();
    EXPECT_EQ(GR_CullRect.minX, -100);
    EXPECT_EQ(GR_CullRect.minY, -50);
    EXPECT_EQ(GR_CullRect.maxX, -36);
    EXPECT_EQ(GR_CullRect.maxY, 14);
    // A scale of 2 halves the world area seen.
    GR_3D_TransformSetScaling(2, 2, 1);
    GR_UpdateCullRect();
    EXPECT_EQ(GR_CullRect.maxX, 32);
}

TEST_F(ViewDisplayTest, BackBufferSizeChangesOnlyWhenItDiffersAndStaysInTheDisplayArea)
{
    const int areaWidth = GR_Display_AreaWidth, areaHeight = GR_Display_AreaHeight;
    GR_Display_AreaWidth = GR_Display_AreaHeight = 64;
    GR_D3D_SetBackBufferSize(64, 64);
    GR_D3D_SetViewport(1, 2, 3, 4);
    GR_D3D_SetBackBufferSize(64, 64);
    int x, y, w, h;
    GR_D3D_GetViewport(&x, &y, &w, &h);
    EXPECT_EQ(w, 3) << "unchanged size leaves the viewport";
    GR_D3D_SetBackBufferSize(32, 100);
    GR_D3D_GetViewport(&x, &y, &w, &h);
    EXPECT_EQ((std::array<int, 4>{x, y, w, h}), (std::array<int, 4>{0, 0, 32, 64}));
    GR_D3D_GetBackBufferSize(&w, &h);
    EXPECT_EQ(w, 32);
    EXPECT_EQ(h, 64);
    EXPECT_EQ(GR_D3D_GetView().width, 32.0f);
    GR_D3D_SetBackBufferSize(64, 64);
    GR_Display_AreaWidth = areaWidth;
    GR_Display_AreaHeight = areaHeight;
}

TEST_F(ViewDisplayTest, PixelsAndBitmapsComeFromTheFrame)
{
    GR_Draw_Rectangle(9, 9, 19, 19, false);  // covers 9..20
    GR_D3D_SetBackBufferSize(64, 64);
    EXPECT_EQ(GR_D3D_GetPixel(10, 10), kRed);
    EXPECT_EQ(GR_D3D_GetPixel(30, 30), kBlack);
    EXPECT_EQ(GR_D3D_GetPixel(64, 0), 0u) << "outside the frame";
    GR_D3D_SetView(0, 0, 64, 64, 0);
    TBitmap* bitmap = GR_ScreenToBitmap(8, 8, 4, 100);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 4);
    EXPECT_EQ(bitmap->GetHeight(), 56) << "cut to the visible bounds";
    uint8_t* row = nullptr;
    int32_t stride = 0;
    bitmap->GetScanLine(2, &row, &stride);
    ASSERT_NE(row, nullptr);
    // Bitmap rows hold the bytes blue, green, red, alpha: red reads 0xAARRGGBB.
    uint32_t pixels[4];
    std::memcpy(pixels, row, sizeof pixels);
    EXPECT_EQ(pixels[0], 0xFF000000u);
    EXPECT_EQ(pixels[1], 0xFFFF0000u);
    delete bitmap;
    EXPECT_EQ(GR_ScreenToBitmap(70, 0, 4, 4), nullptr) << "x beyond the visible width";
    EXPECT_EQ(GR_ScreenToBitmap(0, 0, 0, 4), nullptr);
}

// Full screen and back on the dummy video driver, through the reset the
// frame loop makes after a mode change.
class DisplayModeTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        GR_D3D_ReleaseAll();
        GR_D3D_DestroyDevice();
        GR_Window_Destroy(GR_Window_Handle);
        Option_WindowSettings = WindowOptions{};
        GR_Window_FullScreen = false;
        GR_D3D_FullScreen = false;
        GR_Display_AreaWidth = GR_Display_AreaHeight = 0;
        GR_WindowedWidth = GR_WindowedHeight = 0;
        GR_D3D_ForgetPendingWindowSize();
        DeviceResetCountdown = 0;
    }
};

TEST_F(DisplayModeTest, FullScreenAndBackReturnsToTheWindowedSize)
{
    GR_Window_Create(320, 240);
    ASSERT_NE(GR_Window_Handle, nullptr);
    ASSERT_TRUE(GR_D3D_Init(GR_Window_Handle, 320, 240, 0));
    int screenWidth = 0, screenHeight = 0;
    HostWindow_GetDesktopSize(&screenWidth, &screenHeight);
    Win32Window_SetFullscreen(true);
    ASSERT_TRUE(GR_D3D_Reset());
    EXPECT_EQ(GR_D3D_BackBufferWidth, screenWidth);
    EXPECT_EQ(GR_D3D_BackBufferHeight, screenHeight);
    int w = 0, h = 0;
    GR_D3D_GetBackBufferSize(&w, &h);
    EXPECT_EQ(w, screenWidth);
    Win32Window_SetFullscreen(false);
    ASSERT_TRUE(GR_D3D_Reset());
    EXPECT_EQ(GR_D3D_BackBufferWidth, 320);
    EXPECT_EQ(GR_D3D_BackBufferHeight, 240);
    EXPECT_EQ(Win32Window_GetClientWidth(), 320);
    EXPECT_EQ(Win32Window_GetClientHeight(), 240);
    EXPECT_EQ(GR_PendingWindowWidth, -1) << "the pending size is used up";
    // A pending size from the window built-ins is applied, then the view follows it.
    Win32Window_SetSize(200, 100);
    GR_D3D_ApplyWindowSize();
    EXPECT_EQ(Win32Window_GetClientWidth(), 200);
    ASSERT_TRUE(GR_D3D_Reset());
    GR_D3D_GetBackBufferSize(&w, &h);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 100);
    EXPECT_EQ(GR_D3D_GetView().width, 200.0f);
}

}  // namespace
