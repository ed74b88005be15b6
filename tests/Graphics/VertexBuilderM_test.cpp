// The built-in programs, matrix slots and clear, checked by drawing on the
// software device and reading the pixels back.
#include "Graphics/VertexBuilderM.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"
#include "Host/Host_GPU.h"
#include "support/GpuTestFrame.h"

namespace {

struct V16 { float x, y, z; uint32_t colour; };
struct V24 { float u, v; uint32_t colour; float x, y, z; };
struct V36 { float x, y, z, nx, ny, nz; uint32_t colour; float u, v; };

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

uint32_t FloatBits(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

// Run with the driver's clip control and with the vertex-stage fallback.
class BuiltinProgramTest : public ::testing::TestWithParam<bool> {
protected:
    std::unique_ptr<GpuTestFrame> frame;

    void SetUp() override
    {
        HGPU_IgnoreClipControl(!GetParam());
        frame = std::make_unique<GpuTestFrame>(64, 64);
        HGPU_IgnoreClipControl(false);
        ASSERT_TRUE(frame->ok);
        ASSERT_EQ(HGPU_GetDeviceInfo()->clipControl, GetParam());
        StateManagerM::SetRenderState(RS_BLENDENABLE, 0);
        GR_D3D_Clear(Rgba(0, 0, 0, 255), 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
    }

    // World and view identity; the projection keeps x and y and brings z
    // into 0..1 by scale, so a vertex's view depth is its z.
    static void DepthView(float xyScale, float zScale)
    {
        const float projection[16] = {xyScale, 0, 0, 0, 0, xyScale, 0, 0, 0, 0, zScale, 0, 0, 0, 0, 1};
        GR_D3D_SetMatrix(MATRIX_WORLD, kIdentity);
        GR_D3D_SetMatrix(MATRIX_VIEW, kIdentity);
        GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
    }

    // A triangle strip over the whole target in clip space, at one depth.
    static void FullScreen16(uint32_t colour, float z)
    {
        auto* v = static_cast<V16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, nullptr, 16, 4));
        ASSERT_NE(v, nullptr);
        v[0] = {-1, -1, z, colour};
        v[1] = {-1, 1, z, colour};
        v[2] = {1, -1, z, colour};
        v[3] = {1, 1, z, colour};
        GR_VertexBuilder_Flush();
    }
};

TEST_P(BuiltinProgramTest, MatrixSlotsKeepTheProducts)
{
    const float world[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 0, 0, 1};
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 5, 0, 1};
    const float projection[16] = {3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1};
    GR_D3D_SetMatrix(MATRIX_WORLD, world);
    GR_D3D_SetMatrix(MATRIX_VIEW, view);
    GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
    float m[16];
    GR_D3D_GetMatrix(MATRIX_WORLD_VIEW, m);
    // world applied first: scale 2, move x by 1, then move y by 5.
    EXPECT_FLOAT_EQ(m[0], 2);
    EXPECT_FLOAT_EQ(m[12], 1);
    EXPECT_FLOAT_EQ(m[13], 5);
    GR_D3D_GetMatrix(MATRIX_WORLD_VIEW_PROJECTION, m);
    EXPECT_FLOAT_EQ(m[0], 6);
    EXPECT_FLOAT_EQ(m[12], 3);
    EXPECT_FLOAT_EQ(m[13], 15);
    GR_D3D_SetMatrix(3, kIdentity);  // derived slots are not settable
    GR_D3D_GetMatrix(MATRIX_WORLD_VIEW_PROJECTION, m);
    EXPECT_FLOAT_EQ(m[0], 6);
}

TEST_P(BuiltinProgramTest, ClearDirectAndByQuadGiveTheSameColour)
{
    // Red in the low byte, alpha in the top byte, both ways of clearing.
    const uint32_t colours[] = {0x000000FFu, 0xFF00FF00u, 0x80FF0000u, 0xFFFFFFFFu};
    for (uint32_t colour : colours) {
        GR_D3D_SetViewport(0, 0, 64, 64);
        GR_D3D_Clear(colour, 1.0f, 0, CLEAR_COLOUR);
        EXPECT_EQ(frame->Pixel(0, 0), colour);
        EXPECT_EQ(frame->Pixel(63, 63), colour);
        GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR);
        GR_D3D_SetViewport(16, 8, 32, 16);
        GR_D3D_Clear(colour, 0.5f, 0, CLEAR_COLOUR);
        EXPECT_EQ(frame->Pixel(16, 8), colour) << std::hex << colour;
        EXPECT_EQ(frame->Pixel(47, 23), colour);
        EXPECT_EQ(frame->Pixel(15, 8), 0xFF000000u) << "outside the viewport stays";
        EXPECT_EQ(frame->Pixel(16, 24), 0xFF000000u);
    }
}

TEST_P(BuiltinProgramTest, ClearWithoutFlagsDoesNothing)
{
    GR_D3D_Clear(0xFF0000FFu, 1.0f, 0, 0);
    EXPECT_EQ(frame->Pixel(5, 5), 0xFF000000u);
}

TEST_P(BuiltinProgramTest, QuadClearWritesTheGivenDepthAndDirectClearWritesOne)
{
    // Depth test on with less-equal: a quad at 0.5 passes only where depth >= 0.5.
    DepthView(1, 1);
    GR_D3D_SetViewport(0, 0, 32, 64);
    GR_D3D_Clear(0xFF000000u, 0.25f, 0, CLEAR_COLOUR | CLEAR_DEPTH);  // left half: depth 0.25
    GR_D3D_SetViewport(0, 0, 64, 64);
    StateManagerM::SetRenderState(RS_ZTESTENABLE, 1);
    StateManagerM::SetRenderState(RS_ZFUNC, 4);
    FullScreen16(Rgba(0, 255, 0, 255), 0.5f);
    EXPECT_EQ(frame->Pixel(10, 10), Rgba(0, 0, 0, 255)) << "behind the quad clear's depth";
    EXPECT_EQ(frame->Pixel(50, 10), Rgba(0, 255, 0, 255));
    GR_D3D_Clear(0xFF000000u, 0.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);  // direct: depth 1.0 whatever is passed
    FullScreen16(Rgba(0, 0, 255, 255), 0.9f);
    EXPECT_EQ(frame->Pixel(10, 10), Rgba(0, 0, 255, 255));
}

TEST_P(BuiltinProgramTest, ReadBackHasTheTopLeftOrigin)
{
    GR_D3D_SetView(0, 0, 64, 64, 0);
    // Room pixels (0..16, 0..8): the top-left corner of the target.
    auto* v = static_cast<V16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 16, 6));
    ASSERT_NE(v, nullptr);
    const uint32_t red = Rgba(255, 0, 0, 255);
    v[0] = {0, 0, 0, red}; v[1] = {16, 0, 0, red}; v[2] = {0, 8, 0, red};
    v[3] = {16, 0, 0, red}; v[4] = {16, 8, 0, red}; v[5] = {0, 8, 0, red};
    const std::vector<uint32_t> pixels = frame->Read();
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * 64 + x]; };
    EXPECT_EQ(at(0, 0), red);
    EXPECT_EQ(at(15, 7), red);
    EXPECT_EQ(at(16, 0), Rgba(0, 0, 0, 255));
    EXPECT_EQ(at(0, 8), Rgba(0, 0, 0, 255));
    EXPECT_EQ(at(0, 63), Rgba(0, 0, 0, 255));
}

TEST_P(BuiltinProgramTest, ColourProgramDrawsTheVertexColour)
{
    DepthView(1, 1);
    FullScreen16(Rgba(10, 200, 30, 255), 0.0f);
    for (uint32_t pixel : frame->Read()) ASSERT_EQ(pixel, Rgba(10, 200, 30, 255));
}

TEST_P(BuiltinProgramTest, TexturedProgramModulatesTheTexture)
{
    DepthView(1, 1);
    D3DTexture* texture = GR_D3D_CreateTexture(2, 2, 0, 0, 6);
    const uint32_t texels[4] = {Rgba(255, 0, 0, 255), Rgba(0, 255, 0, 255), Rgba(0, 0, 255, 255),
                                Rgba(255, 255, 255, 255)};
    GR_D3D_UpdateTexture(texture, 0, 2, 2, texels);
    for (int type = 0; type < 2; ++type) StateManagerM::SetSamplerState(0, type, 1);  // point
    auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, texture, 24, 4));
    ASSERT_NE(v, nullptr);
    const uint32_t half = Rgba(255, 128, 255, 255);  // halves green
    v[0] = {0, 1, half, -1, -1, 0};
    v[1] = {0, 0, half, -1, 1, 0};
    v[2] = {1, 1, half, 1, -1, 0};
    v[3] = {1, 0, half, 1, 1, 0};
    const std::vector<uint32_t> pixels = frame->Read();
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * 64 + x]; };
    EXPECT_EQ(at(5, 5), Rgba(255, 0, 0, 255)) << "texel (0, 0) lands top-left";
    EXPECT_TRUE(Near(at(60, 5), Rgba(0, 128, 0, 255), 1));
    EXPECT_EQ(at(5, 60), Rgba(0, 0, 255, 255));
    EXPECT_TRUE(Near(at(60, 60), Rgba(255, 128, 255, 255), 1));
    GR_D3D_FreeTexture(texture);
}

struct FogCase {
    float depth;
    uint32_t expected;
};

TEST_P(BuiltinProgramTest, FogBlendsTowardsTheFogColourByViewDepth)
{
    DepthView(1, 1.0f / 200.0f);
    StateManagerM::SetRenderState(RS_FOGENABLE, 1);
    StateManagerM::SetRenderState(RS_FOGCOLOR, 0xFF0000);  // blue
    StateManagerM::SetRenderState(RS_FOGSTART, FloatBits(0.0f));
    StateManagerM::SetRenderState(RS_FOGEND, FloatBits(100.0f));
    const FogCase cases[] = {
        {0.0f, Rgba(255, 0, 0, 255)},
        {50.0f, Rgba(128, 0, 128, 255)},   // factor 0.5
        {150.0f, Rgba(0, 0, 255, 255)},    // factor 1.5, saturated in the pixel stage
    };
    for (const FogCase& c : cases) {
        FullScreen16(Rgba(255, 0, 0, 255), c.depth);
        EXPECT_TRUE(Near(frame->Pixel(32, 32), c.expected, 1)) << c.depth << " " << std::hex << frame->Pixel(32, 32);
    }
    // Textured programs fog the same way.
    auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, nullptr, 24, 4));
    ASSERT_NE(v, nullptr);
    const uint32_t red = Rgba(255, 0, 0, 255);
    v[0] = {0, 1, red, -1, -1, 50};
    v[1] = {0, 0, red, -1, 1, 50};
    v[2] = {1, 1, red, 1, -1, 50};
    v[3] = {1, 0, red, 1, 1, 50};
    EXPECT_TRUE(Near(frame->Pixel(32, 32), Rgba(128, 0, 128, 255), 1));
}

TEST_P(BuiltinProgramTest, AlphaTestPassesOnlyAboveTheReference)
{
    DepthView(1, 1);
    StateManagerM::SetRenderState(RS_ALPHATESTENABLE, 1);
    StateManagerM::SetRenderState(RS_ALPHAREF, 128);
    FullScreen16(Rgba(0, 255, 0, 128), 0.0f);
    EXPECT_EQ(frame->Pixel(32, 32), Rgba(0, 0, 0, 255)) << "alpha equal to the reference is discarded";
    FullScreen16(Rgba(0, 255, 0, 129), 0.0f);
    EXPECT_EQ(frame->Pixel(32, 32), Rgba(0, 255, 0, 129));
    StateManagerM::SetRenderState(RS_ALPHATESTENABLE, 0);
    FullScreen16(Rgba(0, 0, 255, 1), 0.0f);
    EXPECT_EQ(frame->Pixel(32, 32), Rgba(0, 0, 255, 1));
}

struct TestFogCase {
    bool alphaTest, fog;
    uint32_t colour, expected;
};

// Each pair of alpha test and fog draws with its own program; switching
// either between draws must change what the next draw does.
TEST_P(BuiltinProgramTest, AlphaTestAndFogApplyInEveryCombination)
{
    DepthView(1, 1.0f / 200.0f);
    StateManagerM::SetRenderState(RS_ALPHAREF, 128);
    StateManagerM::SetRenderState(RS_FOGCOLOR, 0xFF0000);  // blue
    StateManagerM::SetRenderState(RS_FOGSTART, FloatBits(0.0f));
    StateManagerM::SetRenderState(RS_FOGEND, FloatBits(100.0f));
    const uint32_t kept = Rgba(9, 9, 9, 255);
    const TestFogCase cases[] = {
        {false, false, Rgba(255, 0, 0, 100), Rgba(255, 0, 0, 100)},
        {false, true, Rgba(255, 0, 0, 100), Rgba(128, 0, 128, 100)},
        {true, false, Rgba(255, 0, 0, 100), kept},
        {true, false, Rgba(255, 0, 0, 129), Rgba(255, 0, 0, 129)},
        {true, true, Rgba(255, 0, 0, 100), kept},
        {true, true, Rgba(255, 0, 0, 129), Rgba(128, 0, 128, 129)},
        {false, false, Rgba(0, 255, 0, 100), Rgba(0, 255, 0, 100)},
    };
    for (const TestFogCase& c : cases) {
        FullScreen16(kept, 0.0f);
        StateManagerM::SetRenderState(RS_ALPHATESTENABLE, c.alphaTest ? 1 : 0);
        StateManagerM::SetRenderState(RS_FOGENABLE, c.fog ? 1 : 0);
        for (int textured = 0; textured < 2; ++textured) {
            if (textured) {
                auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, nullptr, 24, 4));
                ASSERT_NE(v, nullptr);
                v[0] = {0, 1, c.colour, -1, -1, 50};
                v[1] = {0, 0, c.colour, -1, 1, 50};
                v[2] = {1, 1, c.colour, 1, -1, 50};
                v[3] = {1, 0, c.colour, 1, 1, 50};
            } else {
                FullScreen16(c.colour, 50.0f);
            }
            EXPECT_TRUE(Near(frame->Pixel(32, 32), c.expected, 1))
                << "test " << c.alphaTest << " fog " << c.fog << " textured " << textured << " " << std::hex
                << frame->Pixel(32, 32);
        }
        StateManagerM::SetRenderState(RS_ALPHATESTENABLE, 0);
        StateManagerM::SetRenderState(RS_FOGENABLE, 0);
    }
}

class LitProgramTest : public BuiltinProgramTest {
protected:
    void SetUp() override
    {
        BuiltinProgramTest::SetUp();
        DepthView(1.0f / 8.0f, 1.0f / 200.0f);
        StateManagerM::SetRenderState(RS_LIGHTING, 1);
        const float ambient[4] = {0.25f, 0.25f, 0.25f, 1.0f};
        StateManagerM::SetAmbient(ambient);
        for (int i = 0; i < 8; ++i) StateManagerM::SetLight(i, LightSlot{});
    }

    // Three vertices 6 units from the origin, facing -z; the read pixel lies inside.
    uint32_t DrawAndRead(uint32_t colour)
    {
        auto* v = static_cast<V36*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 36, 3));
        if (!v) return 0;
        v[0] = {6, 0, 0, 0, 0, -1, colour, 0, 0};
        v[1] = {-6, 0, 0, 0, 0, -1, colour, 0, 0};
        v[2] = {0, 6, 0, 0, 0, -1, colour, 0, 0};
        return frame->Pixel(32, 22);
    }

    static LightSlot Light(int kind, float x, float y, float z, float range)
    {
        return LightSlot{kind, true, {x, y, z}, range, {1, 1, 1, 1}};
    }
};

TEST_P(LitProgramTest, DirectionalLightFollowsTheCosine)
{
    StateManagerM::SetLight(0, Light(0, 0, 0, 1, 0));
    EXPECT_TRUE(Near(DrawAndRead(Rgba(128, 128, 128, 200)), Rgba(191, 191, 191, 200), 1))
        << "full light on grey plus ambient; alpha kept";
    const float s = std::sqrt(0.75f);
    StateManagerM::SetLight(0, Light(0, 0, s, 0.5f, 0));  // 60 degrees off the normal
    EXPECT_TRUE(Near(DrawAndRead(Rgba(255, 255, 255, 255)), Rgba(191, 191, 191, 255), 1));
    StateManagerM::SetLight(0, Light(0, 0, 0, -1, 0));  // from behind
    EXPECT_TRUE(Near(DrawAndRead(Rgba(255, 255, 255, 255)), Rgba(64, 64, 64, 255), 1));
}

TEST_P(LitProgramTest, PointLightReachesOnlyInsideItsRange)
{
    // Vertices at (±6, 0) and (0, 6); a light at z = -8 is exactly 10 away.
    const float inside = -std::sqrt(9.9f * 9.9f - 36.0f);
    StateManagerM::SetLight(3, Light(1, 0, 0, inside, 10));
    const float lit = 0.25f + std::sqrt(9.9f * 9.9f - 36.0f) / 9.9f;  // ambient + cosine
    const uint32_t expected = static_cast<uint32_t>(std::lround(std::fmin(lit, 1.0f) * 255));
    EXPECT_TRUE(Near(DrawAndRead(Rgba(255, 255, 255, 255)), Rgba(expected, expected, expected, 255), 1));
    StateManagerM::SetLight(3, Light(1, 0, 0, -8, 10));
    EXPECT_TRUE(Near(DrawAndRead(Rgba(255, 255, 255, 255)), Rgba(64, 64, 64, 255), 1)) << "at the range: unlit";
}

TEST_P(LitProgramTest, LightingOffDrawsTheVertexColour)
{
    StateManagerM::SetRenderState(RS_LIGHTING, 0);
    StateManagerM::SetLight(0, Light(0, 0, 0, 1, 0));
    EXPECT_EQ(DrawAndRead(Rgba(100, 50, 25, 255)), Rgba(100, 50, 25, 255));
}

const auto kClipName = [](const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "DriverClipControl" : "ShaderFallback";
};
INSTANTIATE_TEST_SUITE_P(ClipControl, BuiltinProgramTest, ::testing::Values(true, false), kClipName);
INSTANTIATE_TEST_SUITE_P(ClipControl, LitProgramTest, ::testing::Values(true, false), kClipName);

}  // namespace
