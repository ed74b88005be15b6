// The legacy 3D primitive builder: splitting long primitives, vertex colour
// words, page-entry UV mapping, and the six shapes, both as the runs they hand
// on and as pixels read back with depth, lights and textures.
#include "Graphics/Graphics_D3DPrim.h"

#include <gtest/gtest.h>

#include <vector>

#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Lights.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Graphics/VertexBuilderM.h"
#include "support/GpuTestFrame.h"

namespace {

struct PrimRun {
    int kind;
    std::vector<D3DVertex> vertices;
};

// Catches the runs the builder hands on, as a recording model would.
struct RunCatcher {
    std::vector<PrimRun> runs;
    D3DPrimRecorder recorder{this, [](void* target, int kind, const D3DVertex* v, int n) {
                                 static_cast<RunCatcher*>(target)->runs.push_back({kind, {v, v + n}});
                             }};
    RunCatcher() { D3DPrim_SetRecorder(&recorder); }
    ~RunCatcher() { D3DPrim_SetRecorder(nullptr); }
    std::vector<int> Sizes() const
    {
        std::vector<int> out;
        for (const PrimRun& r : runs) out.push_back(static_cast<int>(r.vertices.size()));
        return out;
    }
};

class D3DPrimTest : public ::testing::Test {
protected:
    GpuTestFrame frame{64, 64};

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        // x and y in -8..8 fill the frame (y up), z 0..200 is the depth range.
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        const float projection[16] = {1.0f / 8, 0, 0, 0, 0, 1.0f / 8, 0, 0, 0, 0, 1.0f / 200, 0, 0, 0, 0, 1};
        GR_D3D_SetMatrix(MATRIX_WORLD, identity);
        GR_D3D_SetMatrix(MATRIX_VIEW, identity);
        GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
        GR_SetTextureRepeat(false);
        // 3D mode with the depth test on; tests that need it off say so.
        GR_3D_SetMode(true);
        DrawColour = 0xFF0000FFu;
        Clear();
    }
    void TearDown() override
    {
        GR_VertexBuilder_Flush();
        GR_3D_SetMode(false);
        GR_Light_SetLighting(false);
        GR_SetTextureRepeat(false);
        DrawColour = 0xFF000000u;
    }
    static void Clear() { GR_D3D_Clear(Rgba(0, 0, 0, 255), 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH); }
    // Looks along y instead of z, so that walls face the viewer.
    static void LookAlongY()
    {
        const float swap[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
        GR_D3D_SetMatrix(MATRIX_VIEW, swap);
    }
};

TEST_F(D3DPrimTest, LongPrimitivesSplitWithoutBreakingStripsAndFans)
{
    struct Case {
        int kind, vertices;
        std::vector<int> runs;
    };
    const Case cases[] = {
        // The 1000th list vertex splits 333 whole triangles off; the one left makes no triangle.
        {PR_TRIANGLELIST, 1000, {999}},
        {PR_TRIANGLESTRIP, 1001, {1000, 3}},
        {PR_TRIANGLEFAN, 1500, {1000, 502}},
        {PR_LINESTRIP, 1001, {1000, 2}},
        {PR_LINELIST, 2001, {1000, 1000}},
        {PR_POINTLIST, 1000, {1000}},
    };
    for (const Case& c : cases) {
        RunCatcher catcher;
        D3DPrim_Begin(c.kind, -1);
        for (int i = 0; i < c.vertices; ++i) D3DPrim_VertexColour(static_cast<float>(i), 0, 0, 0xFFFFFF, 1);
        D3DPrim_End();
        EXPECT_EQ(catcher.Sizes(), c.runs) << c.kind;
        for (const PrimRun& r : catcher.runs) EXPECT_EQ(r.kind, c.kind);
        if (catcher.runs.size() < 2) continue;
        const std::vector<D3DVertex>& second = catcher.runs[1].vertices;
        switch (c.kind) {
        case PR_TRIANGLESTRIP:
            EXPECT_EQ(second[0].x, 998);
            EXPECT_EQ(second[1].x, 999);
            EXPECT_EQ(second[2].x, 1000);
            break;
        case PR_TRIANGLEFAN:
            EXPECT_EQ(second[0].x, 0) << "the centre again";
            EXPECT_EQ(second[1].x, 999);
            EXPECT_EQ(second[2].x, 1000);
            break;
        case PR_LINESTRIP:
            EXPECT_EQ(second[0].x, 999);
            EXPECT_EQ(second[1].x, 1000);
            break;
        default: EXPECT_EQ(second[0].x, 1000); break;
        }
    }
}

TEST_F(D3DPrimTest, EndKeepsTheVerticesUntilTheNextBegin)
{
    RunCatcher catcher;
    D3DPrim_Begin(PR_TRIANGLELIST, -1);
    for (int i = 0; i < 3; ++i) D3DPrim_Vertex(0, 0, 0);
    D3DPrim_End();
    for (int i = 0; i < 3; ++i) D3DPrim_Vertex(1, 1, 1);
    D3DPrim_End();
    EXPECT_EQ(catcher.Sizes(), (std::vector<int>{3, 6}));
    D3DPrim_Begin(PR_TRIANGLELIST, -1);
    EXPECT_EQ(D3DPrim_Count(), 0);
}

TEST_F(D3DPrimTest, KindsOutsideTheTableKeepAndHandOnNothing)
{
    RunCatcher catcher;
    for (int kind : {0, 7, -1, 1000000}) {
        D3DPrim_Begin(kind, -1);
        for (int i = 0; i < 2500; ++i) D3DPrim_Vertex(0, 0, 0);
        EXPECT_EQ(D3DPrim_Count(), 0) << kind;
        D3DPrim_End();
    }
    EXPECT_TRUE(catcher.runs.empty());
}

TEST_F(D3DPrimTest, ColourWordsMarkGivenColours)
{
    RunCatcher catcher;
    DrawColour = 0xFF0000FFu;
    D3DPrim_Begin(PR_POINTLIST, -1);
    D3DPrim_VertexColour(0, 0, 0, 0x0000FF, 0.5f);
    D3DPrim_Vertex(0, 0, 0);
    D3DPrim_VertexNormalTextureColour(0, 0, 0, 1, 2, 3, 0.25f, 0.75f, 0x123456, 7.0f);
    D3DPrim_VertexNormal(0, 0, 0, 1, 2, 3);
    D3DPrim_VertexTextureColour(0, 0, 0, 0, 0, 0x000000, -1.0f);
    D3DPrim_End();
    ASSERT_EQ(catcher.runs.size(), 1u);
    const std::vector<D3DVertex>& v = catcher.runs[0].vertices;
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(v[0].colour, 0x7F0000FFu);
    EXPECT_EQ(v[1].colour, 0xFF0000FEu);
    EXPECT_EQ(v[2].colour, 0xFF123457u) << "alpha clamped to 1";
    EXPECT_EQ(v[2].nz, 3.0f);
    EXPECT_EQ(v[2].u, 0.25f) << "no page entry: unchanged";
    EXPECT_EQ(v[2].v, 0.75f);
    EXPECT_EQ(v[3].colour, 0xFF0000FEu);
    EXPECT_EQ(v[3].ny, 2.0f);
    EXPECT_EQ(v[4].colour, 0x00000001u) << "alpha clamped to 0";
}

TEST_F(D3DPrimTest, PageEntryMapsUVsAndStrayNumbersDrawUntextured)
{
    const std::vector<uint32_t> pixels(256 * 64, 0xFFFFFFFFu);
    const int texture = GR_Texture_Create(256, 64, pixels.data(), 256 * 64 * 4);
    ASSERT_GE(texture, 0);
    STexturePageEntry entry{};
    entry.x = 64;
    entry.y = 16;
    entry.width = entry.cropWidth = 32;
    entry.height = entry.cropHeight = 16;
    entry.texture = static_cast<int16_t>(texture);
    const int handle = TPE_GetHandle(&entry);

    D3DPrim_Begin(PR_TRIANGLELIST, handle);
    D3DPrim_VertexTexture(0, 0, 0, 0.5f, 1.0f);
    D3DPrim_VertexNormalTexture(0, 0, 0, 0, 0, 1, 0, 0);
    D3DPrim_VertexColour(0, 0, 0, 0xFFFFFF, 1);
    D3DPrim_End();
    OpenVertexBatch b = GR_VertexBuilder_GetOpenBatch();
    ASSERT_EQ(b.count, 3);
    EXPECT_EQ(b.format, 36);
    EXPECT_EQ(b.texture, GR_Texture_GetD3D(texture));
    const auto* v = reinterpret_cast<const D3DVertex*>(b.vertices);
    EXPECT_FLOAT_EQ(v[0].u, 0.3125f);
    EXPECT_FLOAT_EQ(v[0].v, 0.5f);
    EXPECT_FLOAT_EQ(v[1].u, 0.25f);
    EXPECT_FLOAT_EQ(v[1].v, 0.25f);
    EXPECT_EQ(v[2].u, 0.0f) << "colour-only writers take no UV";
    GR_VertexBuilder_Flush();

    TPE_ForgetEntry(&entry);
    GR_Texture_Free(texture);
    for (int stray : {handle, texture, 5000, -2}) {
        D3DPrim_Begin(PR_TRIANGLELIST, stray);
        for (int i = 0; i < 3; ++i) D3DPrim_VertexTexture(0, 0, 0, 0.5f, 0.5f);
        D3DPrim_End();
        b = GR_VertexBuilder_GetOpenBatch();
        EXPECT_EQ(b.texture, nullptr) << stray;
        ASSERT_EQ(b.count, 3);
        EXPECT_EQ(reinterpret_cast<const D3DVertex*>(b.vertices)[0].u, 0.5f);
        GR_VertexBuilder_Flush();
    }
}

TEST_F(D3DPrimTest, RoundShapesClampTheirStepsAndBuildTheirRuns)
{
    struct Case {
        int steps;
        bool closed;
        std::vector<int> cone, cylinder;
    };
    const Case cases[] = {
        {2, true, {8, 5}, {5, 8, 5}},
        {200, false, {258}, {258}},
        {16, true, {34, 18}, {18, 34, 18}},
    };
    for (const Case& c : cases) {
        RunCatcher cone;
        D3D_DrawCone(-2, -2, 10, 2, 2, 30, -1, 1, 1, c.closed, c.steps);
        EXPECT_EQ(cone.Sizes(), c.cone) << c.steps;
        RunCatcher cylinder;
        D3D_DrawCylinder(-2, -2, 10, 2, 2, 30, -1, 1, 1, c.closed, c.steps);
        EXPECT_EQ(cylinder.Sizes(), c.cylinder) << c.steps;
    }

    RunCatcher cone;
    D3D_DrawCone(-2, -4, 10, 2, 4, 30, -1, 3, 5, true, 4);
    ASSERT_EQ(cone.runs.size(), 2u);
    const std::vector<D3DVertex>& side = cone.runs[0].vertices;
    EXPECT_EQ(side[0].z, 30.0f) << "the apex at z2";
    EXPECT_EQ(side[0].v, 5.0f);
    EXPECT_FLOAT_EQ(side[3].y, 4.0f) << "ring point 1 at the top of the ellipse";
    EXPECT_FLOAT_EQ(side[3].u, 0.75f);
    EXPECT_FLOAT_EQ(side[3].ny, 1.0f);
    const std::vector<D3DVertex>& base = cone.runs[1].vertices;
    EXPECT_EQ(cone.runs[1].kind, PR_TRIANGLEFAN);
    EXPECT_EQ(base[0].nz, -1.0f);
    EXPECT_FLOAT_EQ(base[2].y, -4.0f) << "ring points run backwards from k = steps";
}

TEST_F(D3DPrimTest, EllipsoidBandsRunFromTheTopPole)
{
    RunCatcher catcher;
    D3D_DrawEllipsoid(-2, -2, 10, 2, 2, 30, -1, 1, 2, 24);
    EXPECT_EQ(catcher.Sizes(), std::vector<int>(12, 50));
    const std::vector<D3DVertex>& first = catcher.runs[0].vertices;
    EXPECT_EQ(catcher.runs[0].kind, PR_TRIANGLESTRIP);
    EXPECT_FLOAT_EQ(first[0].z, 30.0f);
    EXPECT_FLOAT_EQ(first[0].nz, 1.0f);
    EXPECT_FLOAT_EQ(first[1].v, 2.0f / 12);
    EXPECT_NEAR(catcher.runs[11].vertices[1].z, 10.0f, 1e-4f) << "the last band ends at the bottom pole";
    EXPECT_FLOAT_EQ(catcher.runs[11].vertices[1].v, 2.0f);
}

TEST_F(D3DPrimTest, ShapesLeaveTextureRepeatAsItWas)
{
    for (bool repeat : {false, true}) {
        GR_SetTextureRepeat(repeat);
        RunCatcher catcher;
        D3D_DrawBlock(0, 0, 0, 1, 1, 1, -1, 1, 1);
        D3D_DrawWall(3, 4, 0, 3, 4, 9, -1, 1, 1);
        D3D_DrawFloor(3, 0, 4, 3, 9, 4, -1, 1, 1);
        D3D_DrawEllipsoid(0, 0, 0, 1, 1, 1, -1, 1, 1, 8);
        EXPECT_EQ(GR_GetTextureRepeat(), repeat);
        EXPECT_EQ(catcher.Sizes(), (std::vector<int>{36, 18, 18, 18, 18})) << "zero-length wall and floor draw nothing";
    }
}

// Each shape in red in front of a green cover drawn after it: the depth test
// keeps the shape, without it the cover wins.
TEST_F(D3DPrimTest, ShapesReadBackWithAndWithoutTheDepthTest)
{
    const uint32_t red = Rgba(255, 0, 0, 255), green = Rgba(0, 255, 0, 255);
    struct Case {
        const char* name;
        void (*draw)();
        void (*cover)();
        bool alongY;
    };
    const auto floorCover = [] { D3D_DrawFloor(-8, -8, 100, 8, 8, 100, -1, 1, 1); };
    const auto wallCover = [] { D3D_DrawWall(-8, 100, -8, 8, 100, 8, -1, 1, 1); };
    const Case cases[] = {
        {"block", [] { D3D_DrawBlock(-2, -2, 10, 2, 2, 30, -1, 1, 1); }, floorCover, false},
        {"cone", [] { D3D_DrawCone(-2, -2, 10, 2, 2, 30, -1, 1, 1, true, 16); }, floorCover, false},
        {"cylinder", [] { D3D_DrawCylinder(-2, -2, 10, 2, 2, 30, -1, 1, 1, true, 16); }, floorCover, false},
        {"ellipsoid", [] { D3D_DrawEllipsoid(-2, -2, 10, 2, 2, 30, -1, 1, 1, 16); }, floorCover, false},
        {"floor", [] { D3D_DrawFloor(-2, -2, 20, 2, 2, 20, -1, 1, 1); }, floorCover, false},
        {"wall", [] { D3D_DrawWall(-2, 20, -2, 2, 20, 2, -1, 1, 1); }, wallCover, true},
    };
    for (const Case& c : cases) {
        if (c.alongY) LookAlongY();
        for (bool depth : {true, false}) {
            GR_SetHidden(depth);
            Clear();
            DrawColour = 0xFF0000FFu;
            c.draw();
            DrawColour = 0xFF00FF00u;
            c.cover();
            // Red 254: the draw colour's marker bit is clear.
            EXPECT_TRUE(Near(frame.Pixel(32, 32), depth ? red : green, 1)) << c.name << " depth " << depth;
            EXPECT_EQ(frame.Pixel(2, 2), green) << c.name << " the cover around the shape";
        }
    }
}

TEST_F(D3DPrimTest, LitBlockTakesItsLightFromTheFaceNormals)
{
    for (int i = 0; i < 8; ++i) StateManagerM::SetLight(i, LightSlot{});
    DrawColour = Rgba(128, 128, 128, 255);
    GR_Light_SetLighting(true);
    GR_Light_SetAmbient(0x404040);
    GR_Light_DefineDirection(0, 0, 0, 1, 0xFFFFFF);
    GR_Light_Enable(0, true);
    D3D_DrawBlock(-4, -4, 10, 4, 4, 30, -1, 1, 1);
    EXPECT_TRUE(Near(frame.Pixel(32, 32), Rgba(192, 192, 192, 255), 1)) << "the front face faces the light";

    Clear();
    GR_Light_DefineDirection(0, 0, 0, -1, 0xFFFFFF);
    D3D_DrawBlock(-4, -4, 10, 4, 4, 30, -1, 1, 1);
    EXPECT_TRUE(Near(frame.Pixel(32, 32), Rgba(64, 64, 64, 255), 1)) << "lit from behind: ambient only";
    GR_Light_Enable(0, false);
    GR_Light_SetAmbient(0);
}

TEST_F(D3DPrimTest, TexturedBlockRepeatsItsTexture)
{
    // Left column red, right column blue.
    const uint32_t texels[4] = {Rgba(255, 0, 0, 255), Rgba(0, 0, 255, 255), Rgba(255, 0, 0, 255),
                                Rgba(0, 0, 255, 255)};
    const int texture = GR_Texture_Create(2, 2, texels, sizeof texels);
    ASSERT_GE(texture, 0);
    DrawColour = 0xFFFFFFFFu;
    // The front face fills the frame; u runs 0..2 across it.
    D3D_DrawBlock(-8, -8, 10, 8, 8, 30, texture, 2, 1);
    const uint32_t red = Rgba(255, 0, 0, 255), blue = Rgba(0, 0, 255, 255);
    EXPECT_TRUE(Near(frame.Pixel(8, 32), red, 16));
    EXPECT_TRUE(Near(frame.Pixel(24, 32), blue, 16));
    EXPECT_TRUE(Near(frame.Pixel(40, 32), red, 16)) << "the second repeat";
    EXPECT_TRUE(Near(frame.Pixel(56, 32), blue, 16));
    EXPECT_FALSE(GR_GetTextureRepeat());
    GR_Texture_Free(texture);
}

}  // namespace
