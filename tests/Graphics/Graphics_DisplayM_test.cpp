// The device and the frame protocol on the software device.
#include "Host/Host_Dialog.h"
#include "Graphics/Graphics_DisplayM.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Graphics/DebugOverlay.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Graphics/Graphics_Window.h"
#include "Host/Host_GPU.h"
#include "Host/Host_Window.h"
#include "IO/IO_Dialog.h"
#include "support/GpuTestFrame.h"
#include "Runner/Run_Main.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"

namespace {

std::vector<uint32_t> ReadBackBuffer()
{
    HGPU_Texture* back = HGPU_GetBackBuffer();
    const int w = HGPU_TextureWidth(back), h = HGPU_TextureHeight(back);
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    EXPECT_TRUE(HGPU_ReadTexture(back, 0, 0, w, h, pixels.data(), w * 4));
    return pixels;
}

TEST(DisplayTest, NoDeviceIsReportedAndEndsStartUp)
{
    HGPU_RefuseDeviceCreation(true);
    const bool started = GR_D3D_Init(nullptr, 32, 32, 0);
    HGPU_RefuseDeviceCreation(false);
    EXPECT_FALSE(started);
    EXPECT_EQ(std::strncmp(Host_HeadlessDialog().LastText().c_str(), "Win32 function failed: HRESULT: 0x80004005\n\nCall:  at line", 58), 0)
        << Host_HeadlessDialog().LastText().c_str();
    EXPECT_FALSE(Start_Frame());
    EXPECT_FALSE(End_Frame(true));
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}

TEST(DisplayTest, NoSwapChainEndsStartUpWithItsMessage)
{
    Host_HeadlessDialog().ResetRecord();
    const bool started = GR_D3D_Init(nullptr, 0, 32, 0);  // no back buffer of width 0
    EXPECT_FALSE(started);
    EXPECT_EQ(Host_HeadlessDialog().ShowCount(), 1);
    EXPECT_NE(Host_HeadlessDialog().LastText().find("CreateSwapChain"), std::string::npos)
        << Host_HeadlessDialog().LastText();
    GR_D3D_ReleaseAll();
    GR_D3D_DestroyDevice();
}

TEST(DisplayTest, PresentedFrameCarriesTheClearColour)
{
    GpuTestFrame frame(48, 32);
    ASSERT_TRUE(frame.ok);
    EXPECT_EQ(GR_D3D_BackBufferWidth, 48);
    EXPECT_EQ(GR_D3D_BackBufferHeight, 32);
    const uint64_t presents = HGPU_PresentCount();
    GR_D3D_Clear(0xFF336699u, 1.0f, 0, CLEAR_COLOUR);
    ASSERT_TRUE(End_Frame(true));
    EXPECT_EQ(HGPU_PresentCount(), presents + 1);
    for (uint32_t pixel : ReadBackBuffer()) ASSERT_EQ(pixel, 0xFF336699u);

    // A frame ended without presenting leaves the shown frame alone.
    ASSERT_TRUE(Start_Frame());
    GR_D3D_Clear(0xFF0000FFu, 1.0f, 0, CLEAR_COLOUR);
    const int32_t drawn = DrawnFrameCount;
    ASSERT_TRUE(End_Frame(false));
    EXPECT_EQ(DrawnFrameCount, drawn + 1) << "the overlay still ran";
    EXPECT_EQ(HGPU_PresentCount(), presents + 1);
    EXPECT_EQ(ReadBackBuffer()[0], 0xFF336699u);
    ASSERT_TRUE(Start_Frame());
}

TEST(DisplayTest, LostDeviceIsRebuiltAtPresent)
{
    GpuTestFrame frame(16, 16);
    ASSERT_TRUE(frame.ok);
    HGPU_SimulateDeviceRemoved();
    ASSERT_TRUE(End_Frame(true));
    ASSERT_TRUE(HGPU_HasDevice());
    EXPECT_TRUE(GR_D3D_DeviceReady);
    ASSERT_TRUE(Start_Frame());
    GR_D3D_Clear(0xFF00FF00u, 1.0f, 0, CLEAR_COLOUR);
    ASSERT_TRUE(End_Frame(true));
    for (uint32_t pixel : ReadBackBuffer()) ASSERT_EQ(pixel, 0xFF00FF00u);
    ASSERT_TRUE(Start_Frame());
}

// What each failure of a present costs: a lost or reset device is rebuilt, an
// invalid call rebuilds the swap chain and the frame target (only while the
// window has the focus), any other failure is reported.
TEST(DisplayTest, PresentFailuresAreHandledByKind)
{
    GpuTestFrame frame(16, 16);
    ASSERT_TRUE(frame.ok);
    const struct {
        const char* what;
        HGPU_Result result;
        bool focused;
        bool chainRebuilt;  // a new swap chain starts black
        bool reported;
    } cases[] = {
        {"device removed", HGPU_DEVICE_REMOVED, false, true, false},
        {"device reset", HGPU_DEVICE_RESET, false, true, false},
        {"invalid call, focused", HGPU_INVALID_CALL, true, true, false},
        {"invalid call, not focused", HGPU_INVALID_CALL, false, false, false},
        {"other failure", HGPU_E_OUTOFMEMORY, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GR_Window_WndProc(nullptr, c.focused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
        Host_HeadlessDialog().ResetRecord();
        const uint64_t presents = HGPU_PresentCount();
        GR_D3D_Clear(0xFF336699u, 1.0f, 0, CLEAR_COLOUR);
        HGPU_SimulatePresentFailure(c.result);
        ASSERT_TRUE(End_Frame(true));
        const bool newDevice = c.result == HGPU_DEVICE_REMOVED || c.result == HGPU_DEVICE_RESET;
        EXPECT_EQ(HGPU_PresentCount(), newDevice ? 0u : presents) << "a new device counts from 0";
        EXPECT_EQ(ReadBackBuffer()[0], c.chainRebuilt ? 0xFF000000u : 0xFF336699u);
        EXPECT_TRUE(GR_D3D_DeviceReady);
        EXPECT_EQ(Host_HeadlessDialog().ShowCount(), c.reported ? 1 : 0);
        if (c.reported) {
            EXPECT_NE(Host_HeadlessDialog().LastText().find("HRESULT: 0x8007000e"), std::string::npos)
                << Host_HeadlessDialog().LastText();
        }
        // The next frame draws and presents as usual.
        ASSERT_TRUE(Start_Frame());
        GR_D3D_Clear(0xFF0000FFu, 1.0f, 0, CLEAR_COLOUR);
        const uint64_t kept = HGPU_PresentCount();
        ASSERT_TRUE(End_Frame(true));
        EXPECT_EQ(HGPU_PresentCount(), kept + 1);
        for (uint32_t pixel : ReadBackBuffer()) ASSERT_EQ(pixel, 0xFF0000FFu);
        ASSERT_TRUE(Start_Frame());
    }
    GR_Window_WndProc(nullptr, WM_KILLFOCUS, 0, 0);
}

TEST(DisplayTest, NoPresentWhileAResetIsDue)
{
    GpuTestFrame frame(16, 16);
    ASSERT_TRUE(frame.ok);
    const uint64_t presents = HGPU_PresentCount();
    DeviceResetCountdown = 1;
    End_Frame(true);
    DeviceResetCountdown = 0;
    EXPECT_EQ(HGPU_PresentCount(), presents);
    ASSERT_TRUE(Start_Frame());
}

TEST(DisplayTest, WindowIsShownOnTheFirstFrameOnly)
{
    GpuTestFrame frame(16, 16);
    ASSERT_TRUE(frame.ok);
    GR_D3D_ResetFirstFrame();
    EXPECT_TRUE(GR_D3D_ShowWindowOnce());
    EXPECT_FALSE(GR_D3D_ShowWindowOnce());
}

TEST(DisplayTest, AntialiasNeedsSupportForColourAndDepth)
{
    GpuTestFrame frame(16, 16);
    ASSERT_TRUE(frame.ok);
    GR_D3D_MultisampleSupport = 2 | 8;  // 4 has colour levels but no depth levels
    GR_D3D_SetAntialias(4);
    EXPECT_EQ(GR_D3D_AntialiasLevel, 0);
    GR_D3D_SetAntialias(8);
    EXPECT_EQ(GR_D3D_AntialiasLevel, 8);
    GR_D3D_SetAntialias(0);
    EXPECT_EQ(GR_D3D_AntialiasLevel, 0);
}

TEST(DisplayTest, SoftwareDeviceSupportsMultisampling)
{
    GpuTestFrame frame(16, 16);
    ASSERT_TRUE(frame.ok);
    EXPECT_NE(GR_D3D_MultisampleSupport & 4, 0u);
}

}  // namespace
