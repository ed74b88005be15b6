// Surfaces on the software device: ids, drawing into a surface and drawing
// it back, the target stack with its limits, and the loss of every surface
// with the device.
#include "Graphics/Graphics_Surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_FunctionsM.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TBitmap.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Options/Runner_Options.h"
#include "support/EngineReset.h"
#include "support/GpuTestFrame.h"

namespace {

constexpr uint32_t kRed = 0xFF0000FFu;   // 0xAABBGGRR
constexpr uint32_t kBlue = 0xFFFF0000u;

class SurfaceTest : public ::testing::Test {
protected:
    GpuTestFrame frame{64, 48};
    SurfaceHooks replacedHooks{};
    bool hooksReplaced = false;

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        ShowErrorDialogs = false;
        ForgetErrors();
        GR_D3D_SetViewport(0, 0, 64, 48);
        GR_D3D_SetView(0, 0, 64, 48, 0);
    }
    void TearDown() override
    {
        while (GR_Surface_ResetTarget()) {
        }
        if (hooksReplaced) GR_Surface_SetHooks(replacedHooks);
        ForgetErrors();
        ShowErrorDialogs = true;
    }
    static std::string TakeError()
    {
        std::string text = ErrorLast_Get() ? ErrorLast_Get() : "";
        ForgetErrors();
        return text;
    }
    static uint32_t SurfacePixel(int32_t id, int x, int y)
    {
        uint32_t* p = GR_Surface_ReadPixels(id, x, y, 1, 1);
        if (!p) return 0xDEADBEEF;
        const uint32_t pixel = *p;
        MemoryManager::Free(p);
        return pixel;
    }
    // A surface filled with one colour.
    static int32_t Filled(int w, int h, uint32_t colour)
    {
        const int32_t id = GR_Surface_Create(w, h, -1);
        EXPECT_TRUE(GR_Surface_SetTarget(0, id));
        GR_Draw_Clear(colour);
        EXPECT_TRUE(GR_Surface_ResetTarget());
        return id;
    }
};

TEST_F(SurfaceTest, IdsCountUpAndAreNeverHandedOutTwice)
{
    EXPECT_EQ(GR_Surface_Create(8, 8, -1), 0);
    EXPECT_EQ(GR_Surface_Create(8, 8, -1), 1);
    EXPECT_EQ(GR_Surface_Create(16, 4, -1), 2);
    GR_Surface_Free(1, false);
    EXPECT_FALSE(GR_Surface_Exists(1));
    EXPECT_EQ(GR_Surface_Create(8, 8, -1), 3);
    EXPECT_EQ(GR_Surface_Create(8, 8, 1), -1);  // freed: no record to reuse
    EXPECT_EQ(GR_Surface_GetWidth(2), 16);
    EXPECT_EQ(GR_Surface_GetHeight(2), 4);
    EXPECT_EQ(GR_Surface_GetWidth(99), -1);
    EXPECT_EQ(GR_Surface_GetTexture(99), -1);
    // Sizes no render target can have make nothing.
    EXPECT_EQ(GR_Surface_Create(0, 8, -1), -1);
    EXPECT_EQ(GR_Surface_Create(8, -3, -1), -1);
    EXPECT_EQ(GR_Surface_Create(1 << 20, 8, -1), -1);
    EXPECT_EQ(GR_Surface_Create(8, 8, -1), 4);
}

TEST_F(SurfaceTest, WhatIsDrawnIntoASurfaceIsDrawnWithIt)
{
    const int32_t id = Filled(8, 8, kRed);
    ASSERT_GE(id, 0);
    ASSERT_TRUE(GR_Surface_SetTarget(0, id));
    GR_Draw_SetColour(0xFF0000);  // blue
    GR_Draw_SetAlpha(1);
    GR_Draw_Rectangle(4, 4, 8, 8, false);
    ASSERT_TRUE(GR_Surface_ResetTarget());
    EXPECT_EQ(SurfacePixel(id, 1, 1), kRed);
    EXPECT_EQ(SurfacePixel(id, 6, 6), kBlue);

    GR_Draw_Clear(0xFF000000u);
    EXPECT_TRUE(GR_Surface_Draw(id, 10, 20));
    EXPECT_TRUE(GR_Surface_DrawStretched(id, 40, 0, 16, 16, 0xFFFFFF, 1));
    EXPECT_TRUE(Near(frame.Pixel(11, 21), kRed, 2));
    EXPECT_TRUE(Near(frame.Pixel(16, 26), kBlue, 2));
    EXPECT_TRUE(Near(frame.Pixel(9, 19), 0xFF000000u, 2));
    EXPECT_TRUE(Near(frame.Pixel(42, 2), kRed, 2));      // stretched twice as large
    EXPECT_TRUE(Near(frame.Pixel(53, 13), kBlue, 2));
    EXPECT_FALSE(GR_Surface_Draw(77, 0, 0));
    EXPECT_FALSE(GR_Surface_DrawStretched(id, 0, 0, 0, 5, 0xFFFFFF, 1));
    EXPECT_FALSE(GR_Surface_DrawPart(77, 0, 0, 1, 1, 0, 0, 1, 1, 0xFFFFFF, 1));
    EXPECT_NE(TakeError().find("Trying to use non-existing surface."), std::string::npos);
}

TEST_F(SurfaceTest, NestedTargetsEachRestoreWhatTheyFound)
{
    const int32_t outer = GR_Surface_Create(16, 8, -1), inner = GR_Surface_Create(4, 2, -1);
    const int level = GR_D3D_GetRenderTargetLevel();
    NoSpriteCulling = true;
    GR_D3D_SetView(3, 5, 30, 20, 10);

    ASSERT_TRUE(GR_Surface_SetTarget(0, outer));
    int x, y, w, h;
    GR_D3D_GetViewport(&x, &y, &w, &h);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 8);
    NoSpriteCulling = false;
    ASSERT_TRUE(GR_Surface_SetTarget(0, inner));
    EXPECT_EQ(GR_Surface_StackDepth(), 2);
    EXPECT_EQ(GR_D3D_GetRenderTarget(0), GR_Texture_GetD3D(GR_Surface_GetTexture(inner)));
    GR_Draw_Clear(kBlue);

    ASSERT_TRUE(GR_Surface_ResetTarget());
    GR_D3D_GetViewport(&x, &y, &w, &h);
    EXPECT_EQ(w, 16);
    EXPECT_FALSE(NoSpriteCulling);
    EXPECT_EQ(GR_D3D_GetRenderTarget(0), GR_Texture_GetD3D(GR_Surface_GetTexture(outer)));
    GR_Draw_Clear(kRed);  // into the outer surface, not the inner one

    ASSERT_TRUE(GR_Surface_ResetTarget());
    GR_D3D_GetViewport(&x, &y, &w, &h);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    const RendererViewRectangle view = GR_D3D_GetView();
    EXPECT_EQ(view.x, 3);
    EXPECT_EQ(view.width, 30);
    EXPECT_EQ(view.angle, 10);
    EXPECT_TRUE(NoSpriteCulling);
    EXPECT_EQ(GR_D3D_GetRenderTargetLevel(), level);
    EXPECT_EQ(SurfacePixel(inner, 0, 0), kBlue);
    EXPECT_EQ(SurfacePixel(outer, 0, 0), kRed);

    // A reset with nothing set changes nothing, not even a level pushed by someone else.
    ASSERT_TRUE(GR_D3D_PushRenderTargets());
    EXPECT_FALSE(GR_Surface_ResetTarget());
    EXPECT_EQ(GR_D3D_GetRenderTargetLevel(), level + 1);
    GR_D3D_PopRenderTargets();
    NoSpriteCulling = false;
}

TEST_F(SurfaceTest, AFullStackRefusesTheNextTargetAndKeepsTheEarlierOnes)
{
    const int32_t id = GR_Surface_Create(4, 4, -1);
    const int level = GR_D3D_GetRenderTargetLevel();
    int set = 0;
    while (set < 20 && GR_Surface_SetTarget(0, id)) ++set;
    EXPECT_EQ(set, 8 - level);
    EXPECT_NE(TakeError().find(
                  "surface stack is full - ensure surface_reset_target() is called for each surface_set_target()."),
              std::string::npos);
    EXPECT_EQ(GR_Surface_StackDepth(), set);
    for (int i = 0; i < set; ++i) EXPECT_TRUE(GR_Surface_ResetTarget()) << i;
    EXPECT_FALSE(GR_Surface_ResetTarget());
    EXPECT_EQ(TakeError(), "");
}

TEST_F(SurfaceTest, FurtherSlotsBindWithoutSavingAnything)
{
    const int32_t a = GR_Surface_Create(4, 4, -1), b = GR_Surface_Create(4, 4, -1);
    ASSERT_TRUE(GR_Surface_SetTarget(0, a));
    EXPECT_TRUE(GR_Surface_SetTarget(2, b));
    EXPECT_EQ(GR_Surface_StackDepth(), 1);
    EXPECT_EQ(GR_D3D_GetRenderTarget(2), GR_Texture_GetD3D(GR_Surface_GetTexture(b)));
    EXPECT_FALSE(GR_Surface_SetTarget(4, b));
    EXPECT_FALSE(GR_Surface_SetTarget(-1, b));
    EXPECT_FALSE(GR_Surface_SetTarget(0, 55));
    EXPECT_EQ(GR_Surface_StackDepth(), 1);
    EXPECT_TRUE(GR_Surface_ResetTarget());
    EXPECT_EQ(GR_D3D_GetRenderTarget(2), nullptr);
}

int g_GuiBegins = 0;

TEST_F(SurfaceTest, AResetDuringTheGuiPassRestoresGuiSpace)
{
    g_GuiBegins = 0;
    replacedHooks = GR_Surface_SetHooks(SurfaceHooks{nullptr, [] { return true; }, [] { ++g_GuiBegins; }});
    hooksReplaced = true;
    const int32_t id = GR_Surface_Create(4, 4, -1);
    GR_D3D_SetView(7, 7, 20, 20, 0);
    ASSERT_TRUE(GR_Surface_SetTarget(0, id));
    ASSERT_TRUE(GR_Surface_ResetTarget());
    EXPECT_EQ(g_GuiBegins, 1);
    EXPECT_EQ(GR_D3D_GetView().x, 0);  // the surface's view was not replaced by the saved one
}

TEST_F(SurfaceTest, FreeingOrResizingABoundSurfaceUndoesItsTargetFirst)
{
    const int32_t id = Filled(8, 8, kRed);
    ASSERT_TRUE(GR_Surface_SetTarget(0, id));
    EXPECT_TRUE(GR_Surface_Resize(id, 20, 10));
    EXPECT_EQ(GR_Surface_StackDepth(), 0);
    EXPECT_EQ(GR_Surface_GetWidth(id), 20);
    EXPECT_EQ(GR_Surface_GetHeight(id), 10);
    EXPECT_FALSE(GR_Surface_Resize(id, 0, 10));
    EXPECT_TRUE(GR_Surface_Exists(id));  // the record stays, without a target
    EXPECT_FALSE(GR_Surface_SetTarget(0, id));
    EXPECT_TRUE(GR_Surface_Resize(id, 4, 4));
    ASSERT_TRUE(GR_Surface_SetTarget(0, id));
    GR_Surface_Free(id, false);
    EXPECT_FALSE(GR_Surface_Exists(id));
    EXPECT_EQ(GR_Surface_StackDepth(), 0);
    EXPECT_EQ(TakeError(), "");
    EXPECT_FALSE(GR_Surface_Resize(id, 4, 4));
}

TEST_F(SurfaceTest, TheApplicationSurfaceKeepsItsIdAndIsFreedOnlyWhenForced)
{
    ApplicationSurface = GR_Surface_Create(32, 24, -1);
    ASSERT_GE(ApplicationSurface, 0);
    const int32_t id = ApplicationSurface;
    EXPECT_TRUE(GR_Surface_Resize(id, 40, 30));
    EXPECT_EQ(ApplicationSurfaceWidth, 40);
    EXPECT_EQ(GR_Surface_GetHeight(id), 30);
    GR_Surface_Free(id, false);
    EXPECT_TRUE(GR_Surface_Exists(id));
    GR_Surface_Free(id, true);
    EXPECT_FALSE(GR_Surface_Exists(id));
    EXPECT_EQ(ApplicationSurface, APPLICATION_SURFACE_NONE);
    ApplicationSurfaceWidth = ApplicationSurfaceHeight = -1;
}

TEST_F(SurfaceTest, EverySurfaceIsLostWithTheDeviceAndNewOnesWork)
{
    const int32_t old = Filled(8, 8, kRed);
    ApplicationSurface = GR_Surface_Create(16, 16, -1);
    ASSERT_TRUE(GR_Surface_SetTarget(0, old));
    GR_D3D_RecreateDevice();
    ASSERT_TRUE(GR_D3D_DeviceExists());
    EXPECT_FALSE(GR_Surface_Exists(old));
    EXPECT_EQ(ApplicationSurface, APPLICATION_SURFACE_NONE);
    EXPECT_EQ(GR_Surface_StackDepth(), 0);
    EXPECT_FALSE(GR_Surface_Draw(old, 0, 0));
    EXPECT_FALSE(GR_Surface_SetTarget(0, old));
    EXPECT_EQ(GR_Surface_ReadPixels(old, 0, 0, 1, 1), nullptr);

    ASSERT_TRUE(Start_Frame());
    GR_D3D_SetViewport(0, 0, 64, 48);
    GR_D3D_SetView(0, 0, 64, 48, 0);
    const int32_t fresh = Filled(8, 8, kBlue);
    EXPECT_GT(fresh, old);
    EXPECT_EQ(SurfacePixel(fresh, 3, 3), kBlue);
    GR_Draw_Clear(0xFF000000u);
    EXPECT_TRUE(GR_Surface_Draw(fresh, 0, 0));
    EXPECT_TRUE(Near(frame.Pixel(2, 2), kBlue, 2));
    ApplicationSurfaceWidth = ApplicationSurfaceHeight = -1;
}

TEST_F(SurfaceTest, ARectangleOfASurfaceBecomesABitmap)
{
    const int32_t id = Filled(4, 4, kRed);
    TBitmap* bitmap = GR_Surface_ToBitmap(id, 2, 2, 4, 4);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 4);
    uint8_t* line = nullptr;
    int32_t stride = 0;
    bitmap->GetScanLine(0, &line, &stride);
    ASSERT_NE(line, nullptr);
    uint32_t first, outside;
    std::memcpy(&first, line, 4);
    std::memcpy(&outside, line + 8, 4);
    EXPECT_EQ(first, 0xFFFF0000u);  // the bytes blue, green, red, alpha
    EXPECT_EQ(outside, 0u);
    delete bitmap;
    EXPECT_EQ(GR_Surface_ToBitmap(id, 10, 10, 2, 2), nullptr);
    EXPECT_EQ(GR_Surface_ToBitmap(42, 0, 0, 2, 2), nullptr);
}

// A surface drawn, then copied from into a surface whose target is made on
// the spot, then the copy drawn: each step sees the right texture and the
// caller's viewport.
TEST_F(SurfaceTest, CopiesSeeTheirSourceAndLeaveTheViewportAlone)
{
    const int32_t a = Filled(4, 4, kRed);
    const int32_t b = GR_Surface_Create(8, 8, -1);
    EXPECT_TRUE(GR_Surface_Draw(a, 40, 0));
    GR_VertexBuilder_Flush();
    D3DTexture* target = GR_Texture_GetD3D(GR_Surface_GetTexture(b));
    GR_D3D_CopySurfacePart(target, 2, 2, GR_Texture_GetD3D(GR_Surface_GetTexture(a)), 0, 0, 4, 4);
    EXPECT_EQ(SurfacePixel(b, 3, 3), kRed);
    int x, y, w, h;
    GR_D3D_GetViewport(&x, &y, &w, &h);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    GR_Draw_Clear(0xFF000000u);
    EXPECT_TRUE(GR_Surface_Draw(b, 0, 0));
    EXPECT_TRUE(Near(frame.Pixel(3, 3), kRed, 2)) << std::hex << frame.Pixel(3, 3);
    EXPECT_TRUE(Near(frame.Pixel(1, 1), 0xFF000000u, 2)) << std::hex << frame.Pixel(1, 1);
}

}  // namespace
