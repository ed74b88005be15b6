// The legacy 3D mode, depth, projection set-ups, world transforms and the
// world-matrix stack.
#include "Graphics/Graphics_Legacy3D.h"

#include <gtest/gtest.h>

#include <cmath>

#include "Base/Matrix.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/VertexBuilderM.h"
#include "support/GpuTestFrame.h"

namespace {

class Legacy3DTest : public ::testing::Test {
protected:
    GpuTestFrame frame{64, 64};
    bool layerMode = LayerMode;

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        GR_3D_TransformStackClear();
        GR_3D_TransformSetIdentity();
        DrawColour = 0xFF0000FFu;
        DrawAlpha = 255;
    }
    void TearDown() override
    {
        GR_3D_SetMode(false);
        GR_3D_TransformStackClear();
        GR_3D_TransformSetIdentity();
        LayerMode = layerMode;
        DrawDepth = 0;
        DrawColour = 0xFF000000u;
    }
    static Matrix World()
    {
        Matrix m;
        GR_D3D_GetMatrix(MATRIX_WORLD, &m.m[0][0]);
        return m;
    }
    static void ExpectMatrixNear(const Matrix& a, const Matrix& b)
    {
        for (int i = 0; i < 16; ++i) EXPECT_NEAR((&a.m[0][0])[i], (&b.m[0][0])[i], 1e-5f) << i;
    }
};

TEST_F(Legacy3DTest, ModeSwitchForcesDepthTestAndFlushesOnlyOnChange)
{
    GR_SetHidden(false);
    GR_SetPerspective(false);
    GR_VertexBuilder_Flush();
    GR_Draw_Point(1, 1);
    GR_3D_SetMode(true);
    EXPECT_EQ(GR_VertexBuilder_GetOpenBatch().kind, -1) << "the switch flushed";
    EXPECT_TRUE(Legacy3DMode);
    EXPECT_EQ(g_RenderStateCache.GetRenderState(RS_ZTESTENABLE), 1);
    EXPECT_EQ(GR_LegacySettings.perspective, 1);
    GR_Draw_Point(1, 1);
    GR_3D_SetMode(true);
    EXPECT_EQ(GR_VertexBuilder_GetOpenBatch().kind, 1) << "no change, no flush";
    GR_3D_SetMode(false);
    EXPECT_EQ(g_RenderStateCache.GetRenderState(RS_ZTESTENABLE), 0);
    EXPECT_EQ(GR_LegacySettings.perspective, 0);
}

TEST_F(Legacy3DTest, DepthCountsOnlyIn3DModeOrNewFormatGames)
{
    struct Case {
        bool newFormat, mode;
        float depth, expected;
    };
    const Case cases[] = {
        {false, false, 500, 0}, {false, true, 500, 500}, {false, true, 20000, 16000},
        {false, true, -20000, -16000}, {true, false, 500, 500},
    };
    for (const Case& c : cases) {
        LayerMode = c.newFormat;
        GR_3D_SetMode(c.mode);
        GR_3D_SetDepth(c.depth);
        EXPECT_EQ(DrawDepth, c.expected) << c.depth << " mode " << c.mode;
    }
}

TEST_F(Legacy3DTest, TransformStackHolds51WorldsAndRefusesBeyond)
{
    EXPECT_TRUE(GR_3D_TransformStackEmpty());
    EXPECT_FALSE(GR_3D_TransformStackPop());
    EXPECT_FALSE(GR_3D_TransformStackTop());
    EXPECT_FALSE(GR_3D_TransformStackDiscard());
    GR_3D_TransformSetTranslation(7, 0, 0);
    for (int i = 0; i < 51; ++i) ASSERT_TRUE(GR_3D_TransformStackPush()) << i;
    EXPECT_FALSE(GR_3D_TransformStackPush());
    GR_3D_TransformSetIdentity();
    EXPECT_TRUE(GR_3D_TransformStackTop());
    EXPECT_EQ(World().m[3][0], 7.0f);
    GR_3D_TransformSetIdentity();
    EXPECT_TRUE(GR_3D_TransformStackDiscard());
    EXPECT_EQ(World().m[3][0], 0.0f) << "discard leaves the world";
    EXPECT_TRUE(GR_3D_TransformStackPop());
    EXPECT_EQ(World().m[3][0], 7.0f);
    GR_3D_TransformStackClear();
    GR_3D_TransformSetScaling(2, 2, 2);
    EXPECT_FALSE(GR_3D_TransformStackPop());
    EXPECT_EQ(World().m[0][0], 2.0f) << "a refused pop leaves the world unchanged";
}

TEST_F(Legacy3DTest, SetAndAddOperationsBuildTheWorld)
{
    GR_3D_TransformSetRotationAxis(1, 0, 0, 30);
    const Matrix axis = World();
    GR_3D_TransformSetRotationX(30);
    ExpectMatrixNear(axis, World());

    GR_3D_TransformSetRotationZ(90);
    GR_3D_TransformAddTranslation(10, 0, 0);
    float p[3];
    GR_3D_TransformVertex(1, 0, 0, p);
    // Rotated first ((1, 0) turns to (0, -1) or (0, 1) by the convention), then moved by +10 in x.
    EXPECT_NEAR(p[0], 10.0f, 1e-5f);
    EXPECT_NEAR(std::fabs(p[1]), 1.0f, 1e-5f);
    GR_3D_TransformSetScaling(2, 3, 4);
    GR_3D_TransformAddScaling(0.5f, 1, 1);
    GR_3D_TransformVertex(1, 1, 1, p);
    EXPECT_FLOAT_EQ(p[0], 1.0f);
    EXPECT_FLOAT_EQ(p[1], 3.0f);
    EXPECT_FLOAT_EQ(p[2], 4.0f);
    GR_UpdateCullRect();
    GR_3D_TransformStackPush();
    GR_3D_TransformSetIdentity();
    GR_UpdateCullRect();
    GR_3D_TransformStackTop();
    EXPECT_TRUE(GR_CullRect.stale) << "every world change marks the culling rectangle";
}

TEST_F(Legacy3DTest, OrthoProjectionMapsTheRoomOntoThePort)
{
    GR_3D_SetProjectionOrtho(0, 0, 64, 64, 0);
    EXPECT_TRUE(NoSpriteCulling);
    GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
    GR_Draw_Rectangle(-1, -1, 3, 3, false);  // room 0..4 at the top-left
    GR_Draw_Rectangle(58, 58, 62, 62, false);  // room 58..64 at the bottom-right
    EXPECT_EQ(frame.Pixel(1, 1), Rgba(255, 0, 0, 255));
    EXPECT_EQ(frame.Pixel(62, 62), Rgba(255, 0, 0, 255));
    EXPECT_EQ(frame.Pixel(30, 30), Rgba(0, 0, 0, 255));
    GR_3D_SetProjectionPerspective(0, 0, 64, 64, 0);
    EXPECT_FALSE(NoSpriteCulling);
    GR_3D_SetProjectionPerspective(0, 0, 0, 64, 0);  // a zero width gives no division by zero
    GR_3D_SetProjectionExt(0, 0, -10, 0, 0, 0, 0, 1, 0, 0, 1, 1, 100);
    float projection[16];
    GR_D3D_GetMatrix(MATRIX_PROJECTION, projection);
    EXPECT_EQ(projection[0], 1.0f) << "a zero angle gives the identity projection";
}

}  // namespace
