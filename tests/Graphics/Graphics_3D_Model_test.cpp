// Legacy 3D models: recording into per-texture batches, drawing from device
// buffers, recolouring, and pixels read back against the same commands drawn
// straight through the primitive builder.
#include "Graphics/Graphics_3D_Model.h"

#include <gtest/gtest.h>

#include <vector>

#include "Base/Matrix.h"
#include "Graphics/GraphicsRecorder.h"
#include "Graphics/Graphics_D3DPrim.h"
#include "Graphics/Graphics_Legacy3D.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"
#include "Graphics/VertexBuilderM.h"
#include "IO/LoadSave.h"
#include "support/GpuTestFrame.h"
#include "support/TempFolder.h"

namespace {

constexpr uint32_t kRed = Rgba(255, 0, 0, 255), kBlue = Rgba(0, 0, 255, 255), kBlack = Rgba(0, 0, 0, 255);

D3DVertex At(float x) { return {x, 0, 0, 0, 0, 0, 1, 0, 0}; }

std::vector<float> Xs(const RecordedList& list)
{
    std::vector<float> out;
    for (const D3DVertex& v : list.vertices) out.push_back(v.x);
    return out;
}

TEST(RecordedBatch, PrimitivesBecomeLists)
{
    struct Case {
        int kind, n;
        std::vector<float> triangles, lines, points;
    };
    const Case cases[] = {
        // Odd strip triangles are turned round to keep the winding.
        {PR_TRIANGLESTRIP, 5, {0, 1, 2, 3, 2, 1, 2, 3, 4}, {}, {}},
        {PR_TRIANGLEFAN, 5, {0, 1, 2, 0, 2, 3, 0, 3, 4}, {}, {}},
        {PR_TRIANGLELIST, 3, {0, 1, 2}, {}, {}},
        {PR_LINESTRIP, 4, {}, {0, 1, 1, 2, 2, 3}, {}},
        {PR_LINELIST, 4, {}, {0, 1, 2, 3}, {}},
        {PR_POINTLIST, 2, {}, {}, {0, 1}},
        {9, 2, {}, {}, {0, 1}},
        {PR_TRIANGLESTRIP, 2, {}, {}, {}},
        {PR_TRIANGLEFAN, 2, {}, {}, {}},
        {PR_LINESTRIP, 1, {}, {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<D3DVertex> v;
        for (int i = 0; i < c.n; ++i) v.push_back(At(static_cast<float>(i)));
        RecordedBatch batch;
        batch.AddPrimitive(c.kind, v.data(), c.n);
        EXPECT_EQ(Xs(batch.triangles), c.triangles) << c.kind << " of " << c.n;
        EXPECT_EQ(Xs(batch.lines), c.lines) << c.kind << " of " << c.n;
        EXPECT_EQ(Xs(batch.points), c.points) << c.kind << " of " << c.n;
    }
}

class ModelTest : public ::testing::Test {
protected:
    GpuTestFrame frame{64, 64};

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        // x and y in -8..8 fill the frame (y up), z 0..200 is the depth range.
        const float projection[16] = {1.0f / 8, 0, 0, 0, 0, 1.0f / 8, 0, 0, 0, 0, 1.0f / 200, 0, 0, 0, 0, 1};
        SetWorld(0, 0, 0);
        GR_D3D_SetMatrix(MATRIX_VIEW, Identity().m[0]);
        GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
        GR_SetTextureRepeat(false);
        GR_3D_SetMode(true);
        DrawColour = 0xFF0000FFu;
        Clear();
    }
    void TearDown() override
    {
        Model_FreeAll();
        GR_VertexBuilder_Flush();
        GR_3D_SetMode(false);
        GR_SetTextureRepeat(false);
        DrawColour = 0xFF000000u;
    }
    static Matrix Identity()
    {
        Matrix m;
        Matrix_Identity(&m);
        return m;
    }
    static void SetWorld(float x, float y, float z)
    {
        Matrix m = Identity();
        m.m[3][0] = x;
        m.m[3][1] = y;
        m.m[3][2] = z;
        GR_D3D_SetMatrix(MATRIX_WORLD, m.m[0]);
    }
    static void Clear() { GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH); }
    // Red pixels of the frame.
    int RedCount() const
    {
        int n = 0;
        for (uint32_t p : frame.Read()) n += Near(p, kRed, 2) ? 1 : 0;
        return n;
    }
    static int Texture(uint32_t colour)
    {
        const uint32_t texels[4] = {colour, colour, colour, colour};
        return GR_Texture_Create(2, 2, texels, sizeof texels);
    }
};

// Every kind of command, as a model and straight through the builder, at the
// same place: the pixels match.
TEST_F(ModelTest, DrawnModelMatchesTheCommandsDrawnStraight)
{
    const auto straight = [] {
        D3DPrim_Begin(PR_TRIANGLESTRIP, -1);
        D3DPrim_Vertex(-8, 4, 50);
        D3DPrim_VertexColour(-8, 8, 50, 0x00FF00, 1);
        D3DPrim_VertexTexture(-4, 4, 50, 0, 0);
        D3DPrim_VertexTextureColour(-4, 8, 50, 1, 1, 0xFF0000, 1);
        D3DPrim_VertexNormal(0, 4, 50, 0, 0, 1);
        D3DPrim_VertexNormalColour(0, 8, 50, 0, 0, 1, 0x00FFFF, 1);
        D3DPrim_VertexNormalTexture(4, 4, 50, 0, 0, 1, 0, 1);
        D3DPrim_VertexNormalTextureColour(4, 8, 50, 0, 0, 1, 1, 0, 0xFFFF00, 0.5f);
        D3DPrim_End();
        D3D_DrawBlock(-7, -7, 20, -5, -5, 30, -1, 1, 1);
        D3D_DrawCylinder(-4, -7, 20, -2, -5, 30, -1, 1, 1, true, 12);
        D3D_DrawCone(-1, -7, 20, 1, -5, 30, -1, 1, 1, false, 7);
        D3D_DrawEllipsoid(2, -7, 20, 4, -5, 30, -1, 1, 1, 10);
        D3D_DrawFloor(-7, -4, 40, 0, 0, 40, -1, 1, 1);
        D3D_DrawWall(1, -4, 0, 7, 0, 100, -1, 1, 1);
    };
    const int model = Model_Create();
    Model_PrimitiveBegin(model, PR_TRIANGLESTRIP);
    Model_Vertex(model, -8, 4, 50);
    Model_VertexColour(model, -8, 8, 50, 0x00FF00, 1);
    Model_VertexTexture(model, -4, 4, 50, 0, 0);
    Model_VertexTextureColour(model, -4, 8, 50, 1, 1, 0xFF0000, 1);
    Model_VertexNormal(model, 0, 4, 50, 0, 0, 1);
    Model_VertexNormalColour(model, 0, 8, 50, 0, 0, 1, 0x00FFFF, 1);
    Model_VertexNormalTexture(model, 4, 4, 50, 0, 0, 1, 0, 1);
    Model_VertexNormalTextureColour(model, 4, 8, 50, 0, 0, 1, 1, 0, 0xFFFF00, 0.5f);
    Model_PrimitiveEnd(model);
    Model_Block(model, -7, -7, 20, -5, -5, 30, 1, 1);
    Model_Cylinder(model, -4, -7, 20, -2, -5, 30, 1, 1, true, 12);
    Model_Cone(model, -1, -7, 20, 1, -5, 30, 1, 1, false, 7);
    Model_Ellipsoid(model, 2, -7, 20, 4, -5, 30, 1, 1, 10);
    Model_Floor(model, -7, -4, 40, 0, 0, 40, 1, 1);
    Model_Wall(model, 1, -4, 0, 7, 0, 100, 1, 1);
    int count = 0;
    ASSERT_NE(Model_Commands(model, &count), nullptr);
    EXPECT_EQ(count, 16);

    SetWorld(0.5f, 0.25f, 0);
    straight();
    GR_VertexBuilder_Flush();
    const std::vector<uint32_t> expected = frame.Read();
    Clear();
    SetWorld(0, 0, 0);
    Model_Draw(model, 0.5f, 0.25f, 0, -1);
    const std::vector<uint32_t> drawn = frame.Read();
    EXPECT_GT(RedCount(), 200) << "the shapes are there";
    int differing = 0;
    for (size_t k = 0; k < drawn.size(); ++k) differing += Near(drawn[k], expected[k], 1) ? 0 : 1;
    EXPECT_EQ(differing, 0);

    float world[16];
    GR_D3D_GetMatrix(MATRIX_WORLD, world);
    EXPECT_EQ(world[12], 0.0f) << "the world matrix is given back";
    EXPECT_FALSE(GR_GetTextureRepeat());
}

TEST_F(ModelTest, DrawsFromDeviceBuffersAndReplaysOncePerTexture)
{
    const int model = Model_Create();
    Model_Block(model, -2, -2, 10, 2, 2, 30, 1, 1);
    Model_PrimitiveBegin(model, PR_LINELIST);
    Model_Vertex(model, -8, -6, 5);
    Model_Vertex(model, 8, -6, 5);
    Model_PrimitiveEnd(model);
    Model_PrimitiveBegin(model, PR_POINTLIST);
    Model_Vertex(model, 6, 6, 5);
    Model_PrimitiveEnd(model);
    // Left open: not part of the batch.
    Model_PrimitiveBegin(model, PR_TRIANGLELIST);
    Model_Vertex(model, -8, -8, 1);
    Model_Vertex(model, 8, -8, 1);
    Model_Vertex(model, 8, 8, 1);

    const int calls = GR_D3D_DrawCallCount;
    Model_Draw(model, 0, 0, 0, -1);
    EXPECT_EQ(GR_D3D_DrawCallCount - calls, 3) << "one draw per list";
    EXPECT_EQ(Model_BatchCount(model), 1);
    EXPECT_TRUE(Near(frame.Pixel(32, 32), kRed, 2));
    EXPECT_EQ(frame.Pixel(60, 60), kBlack) << "the open primitive stays out";

    // Commands added after a draw do not reach that texture's batch.
    Model_Block(model, 4, 4, 10, 8, 8, 30, 1, 1);
    Clear();
    Model_Draw(model, 0, 0, 0, -1);
    EXPECT_EQ(Model_BatchCount(model), 1);
    EXPECT_EQ(frame.Pixel(52, 12), kBlack);
    EXPECT_TRUE(Near(frame.Pixel(32, 32), kRed, 2));

    // A clear and rebuild records afresh.
    Model_Clear(model);
    EXPECT_EQ(Model_BatchCount(model), 0);
    Model_Block(model, 4, 4, 10, 8, 8, 30, 1, 1);
    Clear();
    Model_Draw(model, 0, 0, 0, -1);
    EXPECT_TRUE(Near(frame.Pixel(52, 12), kRed, 2));
    EXPECT_EQ(frame.Pixel(32, 32), kBlack);
}

TEST_F(ModelTest, DrawColourVerticesFollowTheDrawColour)
{
    const int model = Model_Create();
    Model_PrimitiveBegin(model, PR_TRIANGLELIST);
    Model_Vertex(model, -8, 0, 10);
    Model_Vertex(model, 0, 0, 10);
    Model_Vertex(model, -8, 8, 10);
    Model_VertexColour(model, 0, 0, 10, 0x00FF00, 1);
    Model_VertexColour(model, 8, 0, 10, 0x00FF00, 1);
    Model_VertexColour(model, 0, 8, 10, 0x00FF00, 1);
    Model_PrimitiveEnd(model);
    Model_Draw(model, 0, 0, 0, -1);
    EXPECT_TRUE(Near(frame.Pixel(8, 24), kRed, 2));
    const uint32_t green = Rgba(0, 255, 0, 255);
    EXPECT_TRUE(Near(frame.Pixel(40, 24), green, 2));

    Clear();
    DrawColour = 0xFFFF0000u;
    Model_Draw(model, 0, 0, 0, -1);
    EXPECT_TRUE(Near(frame.Pixel(8, 24), kBlue, 2)) << "recoloured";
    EXPECT_TRUE(Near(frame.Pixel(40, 24), green, 2)) << "own colours stay";
    EXPECT_EQ(Model_BatchCount(model), 1);
}

TEST_F(ModelTest, EachTextureHasItsOwnBatch)
{
    DrawColour = 0xFFFFFFFFu;
    const int red = Texture(kRed), blue = Texture(kBlue);
    ASSERT_GE(red, 0);
    ASSERT_GE(blue, 0);
    const int model = Model_Create();
    Model_Block(model, -8, -8, 10, 8, 8, 30, 1, 1);
    Model_Draw(model, 0, 0, 0, red);
    EXPECT_TRUE(Near(frame.Pixel(32, 32), kRed, 2));
    Model_Draw(model, 0, 0, -1, blue);
    EXPECT_TRUE(Near(frame.Pixel(32, 32), kBlue, 2));
    EXPECT_EQ(Model_BatchCount(model), 2);
    Model_Draw(model, 0, 0, -2, red);
    EXPECT_TRUE(Near(frame.Pixel(32, 32), kRed, 2)) << "the first batch again";
    EXPECT_EQ(Model_BatchCount(model), 2);

    // The index now names another texture: that batch is recorded afresh.
    GR_Texture_Free(red);
    const int green = Texture(Rgba(0, 255, 0, 255));
    ASSERT_EQ(green, red) << "the slot is taken again";
    Model_Draw(model, 0, 0, -3, green);
    EXPECT_TRUE(Near(frame.Pixel(32, 32), Rgba(0, 255, 0, 255), 2));
    EXPECT_EQ(Model_BatchCount(model), 2);

    // A texture-page handle maps UVs into its entry; once forgotten it draws untextured.
    const std::vector<uint32_t> pixels = {kRed, kBlue, kRed, kBlue};
    const int page = GR_Texture_Create(2, 2, pixels.data(), 16);
    STexturePageEntry entry{};
    entry.x = 1;
    entry.width = entry.cropWidth = 1;
    entry.height = entry.cropHeight = 2;
    entry.texture = static_cast<int16_t>(page);
    const int handle = TPE_GetHandle(&entry);
    Model_Draw(model, 0, 0, -4, handle);
    EXPECT_TRUE(Near(frame.Pixel(32, 32), kBlue, 2)) << "the entry's column only";
    TPE_ForgetEntry(&entry);
    DrawColour = 0xFF0000FFu;
    Model_Draw(model, 0, 0, -5, handle);
    EXPECT_TRUE(Near(frame.Pixel(32, 32), kRed, 2)) << "untextured in the draw colour";
    EXPECT_EQ(Model_BatchCount(model), 3);
    for (int t : {red, blue, page}) GR_Texture_Free(t);
}

TEST_F(ModelTest, SavedAndReloadedModelDrawsIdentically)
{
    TempFolder root;
    Runner_SetSavePrefix((root / "").c_str());
    const int model = Model_Create();
    Model_Cone(model, -6, -6, 20, 0, 0, 60, 1, 1, true, 9);
    Model_Ellipsoid(model, 0, 0, 20, 7, 7, 40, 1, 1, 11);
    Model_PrimitiveBegin(model, PR_TRIANGLEFAN);
    Model_VertexNormalColour(model, 0, -8, 10, 0, 0, 1, 0x3377BB, 0.9f);
    Model_VertexColour(model, 8, -8, 10, 0x11EE55, 1);
    Model_Vertex(model, 8, 0.3f, 10);
    Model_VertexTextureColour(model, 3.1f, -1, 10, 0, 0, 0xABCDEF, 1);
    Model_PrimitiveEnd(model);
    Model_Draw(model, 0.5f, 0.25f, 0, -1);
    const std::vector<uint32_t> first = frame.Read();
    EXPECT_GT(RedCount(), 100);

    char path[1024];
    LoadSave_MakeSavePath(path, sizeof path, "models/m.d3d");
    EnsureFileDirectory(path);
    ASSERT_TRUE(Model_Save(model, path));
    const int copy = Model_Create();
    ASSERT_TRUE(Model_Load(copy, path));
    Clear();
    Model_Draw(copy, 0.5f, 0.25f, 0, -1);
    EXPECT_EQ(frame.Read(), first);
    Runner_SetSavePrefix("");
}

TEST_F(ModelTest, IdsNameLiveModelsOnly)
{
    const int a = Model_Create(), b = Model_Create();
    EXPECT_EQ(b, a + 1);
    Model_Destroy(a);
    EXPECT_FALSE(Model_Exists(a));
    Model_Block(a, 0, 0, 0, 1, 1, 1, 1, 1);
    Model_Draw(a, 0, 0, 0, -1);
    int count = -1;
    EXPECT_EQ(Model_Commands(a, &count), nullptr);
    EXPECT_EQ(count, 0);
    for (int stray : {-1, 1000, 1 << 30}) {
        Model_Vertex(stray, 0, 0, 0);
        Model_Draw(stray, 0, 0, 0, -1);
        EXPECT_FALSE(Model_Exists(stray));
    }
    EXPECT_EQ(frame.Pixel(32, 32), kBlack);
    EXPECT_EQ(Model_Create(), a) << "the first free slot";
}

}  // namespace
