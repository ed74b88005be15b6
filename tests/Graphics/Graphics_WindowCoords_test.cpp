// Window, view and room coordinates: the letterbox, the view mappings and
// the choice of view, with the layers above stood in by test hooks.
#include "Graphics/Graphics_WindowCoords.h"

#include <gtest/gtest.h>

#include <vector>

#include "GameData/GameHeader.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Window.h"
#include "IO/IO_Main.h"

namespace {
bool g_Visible[GR_VIEW_MAPPINGS];

struct WindowCoordsTest : ::testing::Test {
    WindowCoordsHooks saved{};
    int bw = GR_D3D_BackBufferWidth, bh = GR_D3D_BackBufferHeight;
    int cw = GR_Window_ClientWidth, ch = GR_Window_ClientHeight;
    bool keep = GR_D3D_KeepAspect, layers = LayerMode;

    void SetUp() override
    {
        saved = GR_WindowCoords_SetHooks(WindowCoordsHooks{
            [](int32_t* w, int32_t* h) {
                *w = 640;
                *h = 480;
                return true;
            },
            [](int32_t index) { return g_Visible[index]; },
            [](int32_t* w, int32_t* h, bool* inUse, float* sx, float* sy) {
                *w = 640;
                *h = 480;
                *inUse = true;
                *sx = *sy = 1;
            },
            nullptr});
        for (bool& v : g_Visible) v = true;
        GR_D3D_BackBufferWidth = GR_Window_ClientWidth = 1000;
        GR_D3D_BackBufferHeight = GR_Window_ClientHeight = 600;
        GR_D3D_KeepAspect = true;
        LayerMode = false;
        GR_Window_ResetViewMappings();
    }
    void TearDown() override
    {
        GR_Window_ResetViewMappings();
        GR_WindowCoords_SetHooks(saved);
        GR_D3D_BackBufferWidth = bw;
        GR_D3D_BackBufferHeight = bh;
        GR_Window_ClientWidth = cw;
        GR_Window_ClientHeight = ch;
        GR_D3D_KeepAspect = keep;
        LayerMode = layers;
    }
    static void Map(int32_t x, int32_t y, int32_t* rx, int32_t* ry) { GR_Window_WindowToRoom(x, y, rx, ry); }
};

TEST_F(WindowCoordsTest, TheSurfaceIsCentredInTheBackBuffer)
{
    int32_t l, t, r, b;
    GR_Window_GetAppSurfaceRect(&l, &t, &r, &b);
    EXPECT_EQ((std::vector<int32_t>{l, t, r, b}), (std::vector<int32_t>{100, 0, 900, 600}));
    GR_D3D_BackBufferHeight = GR_Window_ClientHeight = 1000;  // too tall: bands above and below
    GR_Window_GetAppSurfaceRect(&l, &t, &r, &b);
    EXPECT_EQ((std::vector<int32_t>{l, t, r, b}), (std::vector<int32_t>{0, 125, 1000, 875}));
    GR_D3D_KeepAspect = false;
    GR_Window_GetAppSurfaceRect(&l, &t, &r, &b);
    EXPECT_EQ((std::vector<int32_t>{l, t, r, b}), (std::vector<int32_t>{0, 0, 1000, 1000}));
}

TEST_F(WindowCoordsTest, WindowPointsToTheRoom)
{
    struct Case {
        const char* name;
        int32_t x, y, roomX, roomY;
    };
    // No view drawn: the drawn 800 x 600 area covers the 640 x 480 room.
    const Case noViews[] = {
        {"the left margin is left of the room", 50, 300, -40, 240},
        {"the drawn area's corner", 100, 0, 0, 0},
        {"its middle", 500, 300, 320, 240},
    };
    for (const Case& c : noViews) {
        int32_t rx = 0, ry = 0;
        Map(c.x, c.y, &rx, &ry);
        EXPECT_EQ(rx, c.roomX) << c.name;
        EXPECT_EQ(ry, c.roomY) << c.name;
    }
    // View 0 shows (0, 0, 320, 240) over the whole surface; view 1
    // (1000, 1000, 160, 120) in its right half; view 2 draws into a surface.
    GR_Window_SetViewMapping(0, 0, 0, 640, 480, 0, 0, 320, 240, 0, -1, -1);
    GR_Window_SetViewMapping(1, 320, 0, 320, 480, 1000, 1000, 160, 120, 0, -1, -1);
    GR_Window_SetViewMapping(2, 0, 0, 640, 480, 5000, 5000, 640, 480, 0, 7, -1);
    const Case views[] = {
        {"inside view 0 only", 180, 60, 32, 24},
        {"inside both: view 1 wins", 860, 300, 1144, 1060},
        {"outside every view: the lowest drawn one", 50, 300, -20, 120},
    };
    for (const Case& c : views) {
        int32_t rx = 0, ry = 0;
        Map(c.x, c.y, &rx, &ry);
        EXPECT_EQ(rx, c.roomX) << c.name;
        EXPECT_EQ(ry, c.roomY) << c.name;
    }
    EXPECT_EQ(GR_Window_ViewAtPoint(860, 300), 1);
    EXPECT_EQ(GR_Window_ViewAtPoint(180, 60), 0);
    EXPECT_EQ(GR_Window_ViewAtPoint(50, 300), -1);
    g_Visible[1] = false;  // hidden since the frame was drawn
    EXPECT_EQ(GR_Window_ViewAtPoint(860, 300), 0);
}

TEST_F(WindowCoordsTest, AlmostUnrotatedViewsCountAsTurnedOnlyOneWay)
{
    GR_D3D_KeepAspect = false;
    GR_D3D_BackBufferWidth = GR_Window_ClientWidth = 640;
    GR_D3D_BackBufferHeight = GR_Window_ClientHeight = 480;
    // A view a hundred times the port, so that 0.005 degrees moves a corner by pixels.
    GR_Window_SetViewMapping(0, 0, 0, 640, 480, 0, 0, 64000, 48000, 0.005f, -1, -1);
    int32_t x = 0, y = 0;
    GR_Window_RoomToPort(0, 1040, 0, &x, &y);
    EXPECT_EQ(x, 10) << "below 0.01 degrees a room point is not turned";
    GR_Window_PortToRoom(0, 0, 0, &x, &y);
    EXPECT_EQ(x, 2) << "above 0.0001 degrees a window point is turned";
    EXPECT_EQ(y, -3);
    GR_Window_SetViewMapping(0, 0, 0, 640, 480, 0, 0, 640, 480, 90, -1, -1);
    GR_Window_PortToRoom(0, 320, 0, &x, &y);
    EXPECT_EQ(x, 560);
    EXPECT_EQ(y, 240);
    GR_Window_RoomToPort(0, 560, 240, &x, &y);
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 0);
}

TEST_F(WindowCoordsTest, UnknownViewsAndDevicesGiveZero)
{
    IO_Input.deviceX[0] = 123;
    IO_Input.deviceY[0] = 45;
    EXPECT_EQ(GR_Window_DeviceMouseX(10), 0);
    EXPECT_EQ(GR_Window_DeviceMouseY(-1), 0);
    EXPECT_EQ(GR_Window_ViewMouseX(3), 0) << "view 3 was not drawn";
    EXPECT_EQ(GR_Window_ViewMouseX(40), 0);
    EXPECT_EQ(GR_Window_GetMouseX(), 123);
    GR_Window_SetViewMapping(3, 0, 0, 0, 480, 0, 0, 640, 480, 0, -1, -1);
    EXPECT_EQ(GR_Window_ViewMouseY(3), 0) << "a port of no width maps nothing";
    IO_Input.deviceX[0] = IO_Input.deviceY[0] = 0;
}

TEST_F(WindowCoordsTest, WindowColourKeepsItsRgb)
{
    EXPECT_EQ(GR_Window_SetColour(0xAB123456u), 0xFF123456u);
    EXPECT_EQ(GR_Window_GetColour(), 0x123456u);
}
}  // namespace
