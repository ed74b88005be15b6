// Render states set through the cache reach the device through the state
// manager: blending, depth, stencil, culling and texture filtering, checked
// by drawing on the software device and reading the pixels back.
#include "Graphics/StateManagerM.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "GameData/GameHeader.h"
#include "support/GpuTestFrame.h"

namespace {

struct V16 { float x, y, z; uint32_t colour; };
struct V24 { float u, v; uint32_t colour; float x, y, z; };

constexpr int kSize = 32;

class StatePipelineTest : public ::testing::Test {
protected:
    GpuTestFrame frame{kSize, kSize};
    RenderStateCache& cache = g_RenderStateCache;

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        PixelView();
        GR_D3D_Clear(Rgba(100, 100, 100, 255), 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
    }

    // x and y in pixels (y down), z as given in 0..1.
    static void PixelView()
    {
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        const float s = 2.0f / kSize;
        const float projection[16] = {s, 0, 0, 0, 0, -s, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
        GR_D3D_SetMatrix(MATRIX_WORLD, identity);
        GR_D3D_SetMatrix(MATRIX_VIEW, identity);
        GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
    }

    static void Rect(float x0, float y0, float x1, float y1, float z, uint32_t colour)
    {
        auto* v = static_cast<V16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 16, 6));
        ASSERT_NE(v, nullptr);
        v[0] = {x0, y0, z, colour};
        v[1] = {x1, y0, z, colour};
        v[2] = {x0, y1, z, colour};
        v[3] = {x1, y0, z, colour};
        v[4] = {x1, y1, z, colour};
        v[5] = {x0, y1, z, colour};
    }

    void FullRect(float z, uint32_t colour) { Rect(0, 0, kSize, kSize, z, colour); }
};

TEST_F(StatePipelineTest, BlendModes)
{
    const uint32_t source = Rgba(200, 50, 0, 128);
    const struct { int mode; uint32_t expected; } cases[] = {
        {0, Rgba(150, 75, 50, 255)},    // normal: src·a + dst·(1 − a)
        {1, Rgba(200, 125, 100, 255)},  // add: src·a + dst
        {3, Rgba(22, 80, 100, 255)},    // subtract: dst·(1 − src)
        {2, Rgba(122, 105, 100, 255)},  // max: src·a + dst·(1 − src)
    };
    for (const auto& c : cases) {
        GR_SetBlendMode(c.mode);
        GR_SetColourWriteEnable(true, true, true, false);
        FullRect(0.5f, source);
        EXPECT_TRUE(Near(frame.Pixel(kSize / 2, kSize / 2), c.expected, 2))
            << "mode " << c.mode << std::hex << " got " << frame.Pixel(kSize / 2, kSize / 2);
        GR_SetColourWriteEnable(true, true, true, true);
        GR_SetBlendMode(0);
        GR_D3D_Clear(Rgba(100, 100, 100, 255), 1.0f, 0, CLEAR_COLOUR);
    }
    // Blending off writes the source as it is.
    cache.SetRenderState(RS_BLENDENABLE, 0);
    FullRect(0.5f, source);
    EXPECT_EQ(frame.Pixel(3, 3), source);
}

TEST_F(StatePipelineTest, DepthTestFunctionAndWrite)
{
    cache.SetRenderState(RS_ZTESTENABLE, 1);
    Rect(0, 0, kSize, kSize, 0.25f, Rgba(255, 0, 0, 255));
    Rect(0, 0, kSize, kSize, 0.75f, Rgba(0, 255, 0, 255));  // behind: less-or-equal fails
    EXPECT_EQ(frame.Pixel(5, 5), Rgba(255, 0, 0, 255));
    cache.SetRenderState(RS_ZFUNC, 5);  // greater
    Rect(0, 0, kSize / 2, kSize, 0.75f, Rgba(0, 0, 255, 255));
    EXPECT_EQ(frame.Pixel(5, 5), Rgba(0, 0, 255, 255));
    // Depth written at 0.75 on the left: a 0.5 quad now fails "greater" there only.
    Rect(0, 0, kSize, kSize, 0.5f, Rgba(255, 255, 0, 255));
    EXPECT_EQ(frame.Pixel(5, 5), Rgba(0, 0, 255, 255));
    EXPECT_EQ(frame.Pixel(kSize - 5, 5), Rgba(255, 255, 0, 255));
}

TEST_F(StatePipelineTest, DepthTestSwitchesDepthWritesOnlyInOlderGames)
{
    for (const bool layerMode : {false, true}) {
        LayerMode = layerMode;
        GR_D3D_Clear(Rgba(0, 0, 0, 255), 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
        cache.SetRenderState(RS_ZWRITEENABLE, 0);
        cache.SetRenderState(RS_ZTESTENABLE, 0);
        GR_VertexBuilder_Flush();
        cache.SetRenderState(RS_ZTESTENABLE, 1);  // alone in its flush
        Rect(0, 0, kSize, kSize, 0.25f, Rgba(255, 0, 0, 255));
        Rect(0, 0, kSize, kSize, 0.75f, Rgba(0, 255, 0, 255));
        // Older games wrote depth with the test, so the far quad is hidden.
        EXPECT_EQ(frame.Pixel(5, 5), layerMode ? Rgba(0, 255, 0, 255) : Rgba(255, 0, 0, 255)) << layerMode;
        cache.SetRenderState(RS_ZTESTENABLE, 0);
        cache.SetRenderState(RS_ZWRITEENABLE, 1);
        GR_VertexBuilder_Flush();
    }
}

TEST_F(StatePipelineTest, StencilMarksAndMasks)
{
    cache.SetRenderState(RS_STENCILENABLE, 1);
    cache.SetRenderState(RS_STENCILFUNC, 8);  // always
    cache.SetRenderState(RS_STENCILPASS, 3);  // replace
    cache.SetRenderState(RS_STENCILREF, 1);
    cache.SetRenderState(RS_COLORWRITEENABLE, 0);
    Rect(0, 0, kSize / 2, kSize, 0.5f, Rgba(255, 255, 255, 255));
    cache.SetRenderState(RS_COLORWRITEENABLE, 15);
    cache.SetRenderState(RS_STENCILFUNC, 3);  // equal
    cache.SetRenderState(RS_STENCILPASS, 1);  // keep
    FullRect(0.5f, Rgba(0, 0, 255, 255));
    EXPECT_EQ(frame.Pixel(4, 4), Rgba(0, 0, 255, 255));
    EXPECT_EQ(frame.Pixel(kSize - 4, 4), Rgba(100, 100, 100, 255));
    // Not equal draws the other half.
    cache.SetRenderState(RS_STENCILFUNC, 6);
    FullRect(0.5f, Rgba(0, 255, 0, 255));
    EXPECT_EQ(frame.Pixel(4, 4), Rgba(0, 0, 255, 255));
    EXPECT_EQ(frame.Pixel(kSize - 4, 4), Rgba(0, 255, 0, 255));
}

TEST_F(StatePipelineTest, CullingRemovesCounterClockwiseTriangles)
{
    // On screen (y down): the left triangle turns clockwise, the right one counter-clockwise.
    auto triangles = [] {
        auto* v = static_cast<V16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 16, 6));
        const uint32_t white = Rgba(255, 255, 255, 255);
        v[0] = {0, 0, 0.5f, white};
        v[1] = {16, 0, 0.5f, white};
        v[2] = {0, 16, 0.5f, white};
        v[3] = {16, 0, 0.5f, white};
        v[4] = {16, 16, 0.5f, white};
        v[5] = {32, 0, 0.5f, white};
    };
    const struct { int mode; bool left, right; } cases[] = {{0, true, true}, {2, true, false}, {1, false, true}};
    for (const auto& c : cases) {
        GR_D3D_Clear(Rgba(0, 0, 0, 255), 1.0f, 0, CLEAR_COLOUR);
        cache.SetRenderState(RS_CULLMODE, c.mode);
        triangles();
        EXPECT_EQ(frame.Pixel(3, 3) == Rgba(255, 255, 255, 255), c.left) << c.mode;
        EXPECT_EQ(frame.Pixel(20, 3) == Rgba(255, 255, 255, 255), c.right) << c.mode;
    }
}

TEST_F(StatePipelineTest, FilteringAndAddressingThroughTheCache)
{
    // Two texels, black and white, stretched over the target.
    const uint32_t texels[2] = {Rgba(0, 0, 0, 255), Rgba(255, 255, 255, 255)};
    D3DTexture* texture = GR_D3D_CreateTexture(2, 1, 0, 0, TEXTURE_FORMAT_RGBA8);
    GR_D3D_UpdateTexture(texture, 0, 2, 1, texels);
    cache.SetRenderState(RS_BLENDENABLE, 0);
    auto quad = [&](float u1) {
        auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, texture, 24, 4));
        const uint32_t white = Rgba(255, 255, 255, 255);
        v[0] = {0, 0, white, 0, 0, 0.5f};
        v[1] = {u1, 0, white, kSize, 0, 0.5f};
        v[2] = {0, 1, white, 0, kSize, 0.5f};
        v[3] = {u1, 1, white, kSize, kSize, 0.5f};
    };
    GR_SetTextureInterpolation(false);
    GR_SetTextureRepeat(false);
    quad(1.0f);
    EXPECT_EQ(frame.Pixel(kSize / 2 - 1, 4), Rgba(0, 0, 0, 255));
    EXPECT_EQ(frame.Pixel(kSize / 2, 4), Rgba(255, 255, 255, 255));
    GR_SetTextureInterpolation(true);
    quad(1.0f);
    const uint32_t middle = frame.Pixel(kSize / 2, 4) & 0xFF;
    EXPECT_GT(middle, 60u);
    EXPECT_LT(middle, 200u);
    // Wrapping repeats the pair across 0..2; clamping holds the last texel.
    GR_SetTextureInterpolation(false);
    GR_SetTextureRepeat(true);
    quad(2.0f);
    EXPECT_EQ(frame.Pixel(kSize * 5 / 8, 4), Rgba(0, 0, 0, 255));
    GR_SetTextureRepeat(false);
    quad(2.0f);
    EXPECT_EQ(frame.Pixel(kSize * 5 / 8, 4), Rgba(255, 255, 255, 255));
    GR_VertexBuilder_Flush();
    GR_D3D_FreeTexture(texture);
}

TEST_F(StatePipelineTest, SamplerBitsChooseFilterAndEachAxisApart)
{
    // Magnification point, U clamped, V wrapped (sampler object 5).
    const uint32_t texels[4] = {Rgba(255, 0, 0, 255), Rgba(0, 255, 0, 255), Rgba(0, 0, 255, 255),
                                Rgba(255, 255, 255, 255)};
    D3DTexture* texture = GR_D3D_CreateTextureFromPixels(texels, 2, 2, nullptr);
    cache.SetRenderState(RS_BLENDENABLE, 0);
    cache.SetSamplerState(0, SS_MAGFILTER, 1);
    cache.SetSamplerState(0, SS_MINFILTER, 0);
    cache.SetSamplerState(0, SS_ADDRESSU, 1);
    cache.SetSamplerState(0, SS_ADDRESSV, 0);
    auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, texture, 24, 4));
    const uint32_t white = Rgba(255, 255, 255, 255);
    v[0] = {0, 0, white, 0, 0, 0.5f};
    v[1] = {2, 0, white, kSize, 0, 0.5f};
    v[2] = {0, 2, white, 0, kSize, 0.5f};
    v[3] = {2, 2, white, kSize, kSize, 0.5f};
    GR_VertexBuilder_Flush();
    EXPECT_EQ(frame.Pixel(4, 4), Rgba(255, 0, 0, 255));
    EXPECT_EQ(frame.Pixel(12, 4), Rgba(0, 255, 0, 255));
    EXPECT_EQ(frame.Pixel(20, 4), Rgba(0, 255, 0, 255));  // u 1.25 clamped to the last column
    EXPECT_EQ(frame.Pixel(4, 20), Rgba(255, 0, 0, 255));  // v 1.25 wrapped to the first row
    EXPECT_EQ(frame.Pixel(28, 28), Rgba(255, 255, 255, 255));
    GR_D3D_FreeTexture(texture);
}

TEST_F(StatePipelineTest, PoppedStatesDrawAsBeforeThePush)
{
    cache.PushState();
    GR_SetBlendMode(1);
    cache.SetRenderState(RS_COLORWRITEENABLE, 1);  // red only
    cache.PopState();
    FullRect(0.5f, Rgba(200, 50, 0, 128));
    EXPECT_TRUE(Near(frame.Pixel(4, 4), Rgba(150, 75, 50, 191), 2)) << std::hex << frame.Pixel(4, 4);
}

TEST_F(StatePipelineTest, StatesAreSentAgainToARecreatedDevice)
{
    GR_SetBlendMode(1);
    GR_SetColourWriteEnable(true, false, false, true);
    GR_SetTextureRepeat(true);
    GR_VertexBuilder_Flush();
    HGPU_SimulateDeviceRemoved();
    ASSERT_TRUE(End_Frame(true));
    ASSERT_TRUE(HGPU_HasDevice());
    ASSERT_TRUE(Start_Frame());
    GR_D3D_RestoreStates();
    // Everything the cache holds reached the new device; restoring re-applies
    // the game's own settings without dropping the cached ones.
    EXPECT_EQ(cache.renderDirty, 0u);
    EXPECT_EQ(cache.samplerDirty, 0u);
    EXPECT_TRUE(GR_GetTextureRepeat());
    EXPECT_EQ(cache.GetSamplerState(5, SS_ADDRESSU), 0);
    PixelView();
    GR_D3D_Clear(Rgba(100, 100, 100, 255), 1.0f, 0, CLEAR_COLOUR);
    FullRect(0.5f, Rgba(200, 50, 0, 128));
    // Add with red and alpha writes only: green and blue stay.
    EXPECT_TRUE(Near(frame.Pixel(4, 4), Rgba(200, 100, 100, 255), 2)) << std::hex << frame.Pixel(4, 4);
}

// Every kind of kept setting comes back from a device restore as it was set,
// also the fog distances at the ends of the 32-bit range.
TEST_F(StatePipelineTest, RestoreBringsBackEveryKeptSettingExactly)
{
    const bool interpolate = GR_D3D_InterpolatePixels;
    Legacy3DMode = true;
    GR_D3D_InterpolatePixels = true;
    GR_SetHidden(true);
    GR_SetFog(true, 0x123456, INT32_MAX, INT32_MIN);
    GR_SetTextureRepeat(true);
    GR_SetTextureInterpolation(false);
    GR_VertexBuilder_Flush();
    HGPU_SimulateDeviceRemoved();
    ASSERT_TRUE(End_Frame(true));
    ASSERT_TRUE(Start_Frame());
    for (int round = 0; round < 2; ++round) {  // a second restore starts from what the first kept
        GR_D3D_RestoreStates();
        EXPECT_EQ(GR_LegacySettings.fogStart, INT32_MAX);
        EXPECT_EQ(GR_LegacySettings.fogEnd, INT32_MIN);
        float start, end;
        const int32_t startBits = cache.GetRenderState(RS_FOGSTART), endBits = cache.GetRenderState(RS_FOGEND);
        std::memcpy(&start, &startBits, 4);
        std::memcpy(&end, &endBits, 4);
        EXPECT_EQ(start, static_cast<float>(INT32_MAX)) << "round " << round;
        EXPECT_EQ(end, static_cast<float>(INT32_MIN)) << "round " << round;
        EXPECT_EQ(cache.GetRenderState(RS_FOGENABLE), 1);
        EXPECT_EQ(static_cast<uint32_t>(cache.GetRenderState(RS_FOGCOLOR)), 0xFF123456u);
        EXPECT_EQ(cache.GetRenderState(RS_ZTESTENABLE), 1);
        EXPECT_EQ(cache.GetRenderState(RS_BLENDENABLE), 1);
        for (int stage = 0; stage < 8; ++stage) {
            EXPECT_EQ(cache.GetSamplerState(stage, SS_MAGFILTER), 0) << "the game's interpolation option wins";
            EXPECT_EQ(cache.GetSamplerState(stage, SS_ADDRESSU), 0);
            EXPECT_EQ(cache.GetSamplerState(stage, SS_ADDRESSV), 0);
        }
        EXPECT_EQ(cache.renderDirty, 0u);
    }
    Legacy3DMode = false;
    GR_D3D_InterpolatePixels = interpolate;
}

}  // namespace
