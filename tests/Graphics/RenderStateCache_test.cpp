// The render-state cache: dirty marks, the state stack, the legacy setters
// and the debugger dump. No device is needed: a flush only feeds the state
// manager's shadow.
#include "Graphics/RenderStateCache.h"

#include <gtest/gtest.h>

#include <cstring>

#include "Buffer/Buffer_Main.h"
#include "Graphics/StateManagerM.h"
#include "support/GameFiles.h"

namespace {

class RenderStateCacheTest : public ::testing::Test {
protected:
    RenderStateCache& cache = g_RenderStateCache;
    // The reset cache marks everything; tests start with nothing left to send.
    void SetUp() override { cache.Flush(); }
};

float BitsToFloat(int32_t bits)
{
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

TEST_F(RenderStateCacheTest, ResetMarksEverythingAndAFlushClearsTheMarks)
{
    cache.Reset();
    EXPECT_EQ(cache.renderDirty, ~uint64_t{0});
    EXPECT_EQ(cache.samplerDirty, ~uint64_t{0});
    cache.Flush();
    EXPECT_EQ(cache.renderDirty, 0u);
    EXPECT_EQ(cache.samplerDirty, 0u);
}

TEST_F(RenderStateCacheTest, ChangingAStateAndBackBeforeAFlushLeavesNothingToSend)
{
    cache.SetRenderState(RS_SRCBLEND, 2);
    cache.SetSamplerState(3, SS_ADDRESSV, 1);
    EXPECT_EQ(cache.renderDirty, uint64_t{1} << RS_SRCBLEND);
    EXPECT_EQ(cache.samplerDirty, uint64_t{1} << (3 * 4 + SS_ADDRESSV));
    cache.SetRenderState(RS_SRCBLEND, 5);
    cache.SetSamplerState(3, SS_ADDRESSV, 0);
    EXPECT_EQ(cache.renderDirty, 0u);
    EXPECT_EQ(cache.samplerDirty, 0u);
    // Out-of-range indices are ignored and read as 0.
    cache.SetRenderState(36, 9);
    cache.SetSamplerState(8, 0, 1);
    cache.SetSamplerState(0, 4, 1);
    EXPECT_EQ(cache.renderDirty, 0u);
    EXPECT_EQ(cache.samplerDirty, 0u);
    EXPECT_EQ(cache.GetRenderState(36), 0);
    EXPECT_EQ(cache.GetSamplerState(8, 0), 0);
}

TEST_F(RenderStateCacheTest, FullStackRefusesAndThirtyTwoPopsRestoreWhatWasCurrent)
{
    cache.SetRenderState(RS_CULLMODE, 1);
    cache.SetSamplerState(7, SS_MINFILTER, 1);
    for (int i = 0; i < 32; ++i) {
        cache.PushState();
        cache.SetRenderState(RS_ALPHAREF, i + 1);
        cache.SetRenderState(RS_CULLMODE, 2);
        cache.SetSamplerState(7, SS_MINFILTER, 0);
    }
    EXPECT_EQ(cache.Depth(), 32);
    {
        testgames::CapturedLog log;
        cache.PushState();
        EXPECT_EQ(log.Text(), "GPU state stack has run out of space\n");
    }
    EXPECT_EQ(cache.Depth(), 32);
    // The refused push stored nothing: the top entry still holds 31.
    cache.PopState();
    EXPECT_EQ(cache.GetRenderState(RS_ALPHAREF), 31);
    for (int i = 1; i < 32; ++i) cache.PopState();
    EXPECT_EQ(cache.Depth(), 0);
    EXPECT_EQ(cache.GetRenderState(RS_ALPHAREF), 0);
    EXPECT_EQ(cache.GetRenderState(RS_CULLMODE), 1);
    EXPECT_EQ(cache.GetSamplerState(7, SS_MINFILTER), 1);
}

TEST_F(RenderStateCacheTest, PopAtTheBottomGivesTheDefaultsBack)
{
    // The defaults, not zeros (all-zero states would switch blending and
    // colour writes off), and not what an earlier push stored at the bottom.
    GR_SetBlendMode(1);
    cache.SetRenderState(RS_COLORWRITEENABLE, 0);
    cache.PushState();
    cache.PopState();
    cache.SetSamplerState(2, SS_MAGFILTER, 1);
    cache.Flush();
    testgames::CapturedLog log;
    cache.PopState();
    EXPECT_EQ(log.Text(), "Attempting to drop below bottom of GPU state stack\n");
    EXPECT_EQ(cache.Depth(), 0);
    EXPECT_EQ(cache.GetRenderState(RS_COLORWRITEENABLE), 15);
    EXPECT_EQ(cache.GetRenderState(RS_BLENDENABLE), 1);
    EXPECT_EQ(cache.GetRenderState(RS_DESTBLEND), 6);
    EXPECT_EQ(cache.GetRenderState(RS_STENCILREADMASK), -1);
    EXPECT_EQ(cache.GetSamplerState(2, SS_MAGFILTER), 0);
    // Popped states that differ from the applied ones are marked again.
    EXPECT_EQ(cache.renderDirty,
              uint64_t{1} << RS_COLORWRITEENABLE | uint64_t{1} << RS_DESTBLEND | uint64_t{1} << RS_DESTBLENDALPHA);
    EXPECT_EQ(cache.samplerDirty, uint64_t{1} << (2 * 4 + SS_MAGFILTER));
}

TEST_F(RenderStateCacheTest, BlendModesSetBothPairs)
{
    const struct { int mode, src, dest; } cases[] = {{0, 5, 6}, {1, 5, 2}, {2, 5, 4}, {3, 1, 4}, {7, 5, 6}, {-1, 5, 6}};
    for (const auto& c : cases) {
        GR_SetBlendMode(c.mode);
        EXPECT_EQ(cache.GetRenderState(RS_SRCBLEND), c.src) << c.mode;
        EXPECT_EQ(cache.GetRenderState(RS_DESTBLEND), c.dest) << c.mode;
        EXPECT_EQ(cache.GetRenderState(RS_SRCBLENDALPHA), c.src) << c.mode;
        EXPECT_EQ(cache.GetRenderState(RS_DESTBLENDALPHA), c.dest) << c.mode;
    }
}

TEST_F(RenderStateCacheTest, LegacySettersWriteTheirStates)
{
    GR_SetColourWriteEnable(true, false, true, false);
    EXPECT_EQ(cache.GetRenderState(RS_COLORWRITEENABLE), 5);
    GR_SetCulling(true);
    EXPECT_EQ(cache.GetRenderState(RS_CULLMODE), 2);
    GR_SetShading(false);
    EXPECT_EQ(cache.GetRenderState(RS_SHADEMODE), 1);
    GR_SetLighting(true);
    EXPECT_EQ(cache.GetRenderState(RS_LIGHTING), 1);
    GR_SetZWriteEnable(false);
    EXPECT_EQ(cache.GetRenderState(RS_ZWRITEENABLE), 0);
    GR_SetAlphaTestRef(77);
    EXPECT_EQ(GR_GetAlphaTestRef(), 77);
    // Without 3D mode hiding never switches the depth test on.
    GR_SetHidden(true);
    EXPECT_EQ(cache.GetRenderState(RS_ZTESTENABLE), 0);

    GR_SetTextureInterpolation(false);
    GR_SetTextureRepeat(true);
    for (int stage = 0; stage < 8; ++stage) {
        EXPECT_EQ(cache.GetSamplerState(stage, SS_MAGFILTER), 1);
        EXPECT_EQ(cache.GetSamplerState(stage, SS_MINFILTER), 1);
        EXPECT_EQ(cache.GetSamplerState(stage, SS_ADDRESSU), 0);
        EXPECT_EQ(cache.GetSamplerState(stage, SS_ADDRESSV), 0);
    }
    EXPECT_FALSE(GR_GetTextureInterpolation());
    EXPECT_TRUE(GR_GetTextureRepeat());
    const uint64_t dirty = cache.samplerDirty;
    GR_SetTextureInterpolationExt(8, true);
    GR_SetTextureRepeatExt(-1, false);
    EXPECT_EQ(cache.samplerDirty, dirty);
    GR_SetTextureRepeatExt(3, false);
    EXPECT_EQ(cache.GetSamplerState(3, SS_ADDRESSU), 1);
    EXPECT_EQ(cache.GetSamplerState(2, SS_ADDRESSU), 0);
}

TEST_F(RenderStateCacheTest, FogKeepsItsValuesAndOffOnlyClearsTheSwitch)
{
    GR_SetFog(true, 0x123456, 70000, 10);
    EXPECT_EQ(cache.GetRenderState(RS_FOGENABLE), 1);
    EXPECT_EQ(cache.GetRenderState(RS_FOGVERTEXMODE), 3);
    EXPECT_EQ(static_cast<uint32_t>(cache.GetRenderState(RS_FOGCOLOR)), 0xFF123456u);
    // Distances are kept whole, not cut to 16 bits.
    EXPECT_EQ(BitsToFloat(cache.GetRenderState(RS_FOGSTART)), 70000.0f);
    EXPECT_EQ(BitsToFloat(cache.GetRenderState(RS_FOGEND)), 10.0f);
    GR_SetFog(false, 0xFF, 1, 2);
    EXPECT_EQ(cache.GetRenderState(RS_FOGENABLE), 0);
    EXPECT_EQ(static_cast<uint32_t>(cache.GetRenderState(RS_FOGCOLOR)), 0xFF123456u);
    EXPECT_EQ(GR_LegacySettings.fogColour, 0xFF0000FFu);
    EXPECT_EQ(GR_LegacySettings.fogEnd, 2);
}

TEST_F(RenderStateCacheTest, DebuggerDumpWritesStatesOneToThirtyFive)
{
    cache.SetRenderState(RS_DESTBLENDALPHA, 2);
    IBuffer buffer;
    EXPECT_EQ(cache.WriteToBuffer(&buffer), 35);
    ASSERT_EQ(buffer.UsedSize(), 35u * 4);
    const int32_t expected[] = {0, 3, 2, 1, 0, 5, 6, 0, 4};
    for (size_t i = 0; i < sizeof expected / 4; ++i) {
        int32_t word;
        std::memcpy(&word, buffer.Data() + 4 * i, 4);
        EXPECT_EQ(word, expected[i]) << "state " << i + 1;
    }
    int32_t last;
    std::memcpy(&last, buffer.Data() + 34 * 4, 4);
    EXPECT_EQ(last, 2);
}

}  // namespace
