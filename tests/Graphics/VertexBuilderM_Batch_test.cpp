// The vertex batcher: which reservations share a draw call, fans, the buffer
// ring and the draw path, counted and drawn on the software device.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Host/Host_Dialog.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/TexturesM.h"
#include "Graphics/VertexBuilderM.h"
#include "Graphics/VertexFormat.h"
#include "Host/Host_GPU.h"
#include "IO/IO_Dialog.h"
#include "support/GameFiles.h"
#include "support/GpuTestFrame.h"

namespace {

struct V16 { float x, y, z; uint32_t colour; };
struct V24 { float u, v; uint32_t colour; float x, y, z; };
struct V36 { float x, y, z, nx, ny, nz; uint32_t colour; float u, v; };

constexpr int kSize = 32;
const uint32_t kRed = Rgba(255, 0, 0, 255), kGreen = Rgba(0, 255, 0, 255), kBlue = Rgba(0, 0, 255, 255),
               kWhite = Rgba(255, 255, 255, 255), kBlack = Rgba(0, 0, 0, 255);

class BatchTest : public ::testing::Test {
protected:
    GpuTestFrame frame{kSize, kSize};
    D3DTexture* texture = nullptr;
    D3DTexture* other = nullptr;

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        const float s = 2.0f / kSize;
        const float projection[16] = {s, 0, 0, 0, 0, -s, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
        GR_D3D_SetMatrix(MATRIX_WORLD, identity);
        GR_D3D_SetMatrix(MATRIX_VIEW, identity);
        GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
        g_RenderStateCache.SetRenderState(RS_BLENDENABLE, 0);
        GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
        const uint32_t white[4] = {kWhite, kWhite, kWhite, kWhite};
        texture = GR_D3D_CreateTextureFromPixels(white, 2, 2, nullptr);
        other = GR_D3D_CreateTextureFromPixels(white, 2, 2, nullptr);
    }
    void TearDown() override
    {
        GR_VertexBuilder_Flush();
        GR_D3D_FreeTexture(texture);
        GR_D3D_FreeTexture(other);
    }

    // Draw calls made by the work, counting the flush that ends it.
    template <typename Work>
    static int DrawCalls(Work work)
    {
        GR_VertexBuilder_Flush();
        const int before = GR_D3D_DrawCallCount;
        work();
        GR_VertexBuilder_Flush();
        return GR_D3D_DrawCallCount - before;
    }

    // A sprite: two triangles of the 24-byte format.
    static void Sprite(D3DTexture* t, float x, float y, float size, uint32_t colour)
    {
        auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, t, 24, 6));
        v[0] = {0, 0, colour, x, y, 0.5f};
        v[1] = {1, 0, colour, x + size, y, 0.5f};
        v[2] = {0, 1, colour, x, y + size, 0.5f};
        v[3] = {1, 0, colour, x + size, y, 0.5f};
        v[4] = {1, 1, colour, x + size, y + size, 0.5f};
        v[5] = {0, 1, colour, x, y + size, 0.5f};
    }

    static void Strip(float x, uint32_t colour)
    {
        auto* v = static_cast<V16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, nullptr, 16, 4));
        v[0] = {x, 0, 0.5f, colour};
        v[1] = {x + 8, 0, 0.5f, colour};
        v[2] = {x, 8, 0.5f, colour};
        v[3] = {x + 8, 8, 0.5f, colour};
    }
};

TEST_F(BatchTest, SpritesOfOneTextureShareADrawCallUntilAStateChanges)
{
    EXPECT_EQ(DrawCalls([&] {
                  Sprite(texture, 0, 0, 8, kRed);
                  Sprite(texture, 16, 16, 8, kGreen);
              }),
              1);
    EXPECT_EQ(frame.Pixel(4, 4), kRed);
    EXPECT_EQ(frame.Pixel(20, 20), kGreen);
    EXPECT_EQ(DrawCalls([&] {
                  Sprite(texture, 0, 0, 8, kRed);
                  GR_SetBlendMode(1);
                  Sprite(texture, 16, 16, 8, kGreen);
              }),
              2);
    // A change undone before the next reservation leaves nothing pending.
    EXPECT_EQ(DrawCalls([&] {
                  Sprite(texture, 0, 0, 8, kRed);
                  GR_SetBlendMode(0);
                  GR_SetBlendMode(1);
                  Sprite(texture, 16, 16, 8, kGreen);
              }),
              1);
    // Another texture, format or kind starts a new batch.
    EXPECT_EQ(DrawCalls([&] {
                  Sprite(texture, 0, 0, 8, kRed);
                  Sprite(other, 8, 0, 8, kRed);
                  Sprite(texture, 16, 0, 8, kRed);
                  GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, texture, 36, 3);
                  GR_VertexBuilder_AllocVerts(PR_LINELIST, texture, 36, 2);
              }),
              5);
}

TEST_F(BatchTest, StripsAndFansAreNeverJoined)
{
    EXPECT_EQ(DrawCalls([&] {
                  Strip(0, kRed);
                  Strip(16, kGreen);
              }),
              2);
    EXPECT_EQ(frame.Pixel(4, 4), kRed);
    EXPECT_EQ(frame.Pixel(20, 4), kGreen);
    EXPECT_EQ(DrawCalls([&] {
                  GR_VertexBuilder_AllocVerts(PR_TRIANGLEFAN, nullptr, 16, 3);
                  GR_VertexBuilder_AllocVerts(PR_TRIANGLEFAN, nullptr, 16, 3);
                  GR_VertexBuilder_AllocVerts(PR_LINESTRIP, nullptr, 16, 2);
                  GR_VertexBuilder_AllocVerts(PR_LINESTRIP, nullptr, 16, 2);
              }),
              4);
}

TEST_F(BatchTest, BatchesEndAtTheVertexLimitAndOversizedReservationsAreRefused)
{
    EXPECT_EQ(GR_VertexBuilder_GetMaxVerts(), 16384);
    EXPECT_EQ(GR_VertexBuilder_GetMaxBytes(), 589824);
    EXPECT_EQ(DrawCalls([&] {
                  GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 36, 16200);
                  GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 36, 180);
                  GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 36, 6);  // 16,386: a new batch
              }),
              2);
    testgames::CapturedLog log;
    EXPECT_EQ(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 36, 16385), nullptr);
    EXPECT_NE(GR_VertexBuilder_AllocVerts(PR_POINTLIST, nullptr, 36, 16384), nullptr);
    GR_VertexBuilder_Reset();
}

TEST_F(BatchTest, FanOfFiveIsDrawnAsThreeTriangles)
{
    auto* v = static_cast<V16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLEFAN, nullptr, 16, 5));
    v[0] = {16, 16, 0.5f, kWhite};
    v[1] = {0, 0, 0.5f, kWhite};
    v[2] = {32, 0, 0.5f, kWhite};
    v[3] = {32, 32, 0.5f, kWhite};
    v[4] = {0, 32, 0.5f, kWhite};
    GR_VertexBuilder_Flush();
    // (0,1,2) top, (0,2,3) right, (0,3,4) bottom; nothing closes the left side.
    EXPECT_EQ(frame.Pixel(16, 3), kWhite);
    EXPECT_EQ(frame.Pixel(28, 16), kWhite);
    EXPECT_EQ(frame.Pixel(16, 28), kWhite);
    EXPECT_EQ(frame.Pixel(3, 16), kBlack);
    // A fan of fewer than three vertices draws nothing.
    GR_VertexBuilder_AllocVerts(PR_TRIANGLEFAN, nullptr, 16, 2);
    GR_VertexBuilder_Flush();
}

TEST_F(BatchTest, ReturnedVerticesAreNotDrawn)
{
    auto* v = static_cast<V16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 16, 6));
    v[0] = {0, 0, 0.5f, kRed};
    v[1] = {16, 0, 0.5f, kRed};
    v[2] = {0, 16, 0.5f, kRed};
    GR_VertexBuilder_ReturnVerts(3);
    GR_VertexBuilder_Flush();
    EXPECT_EQ(frame.Pixel(2, 2), kRed);
    EXPECT_EQ(frame.Pixel(30, 30), kBlack);
    // The end of a frame forgets an open batch without drawing it.
    Strip(16, kGreen);
    GR_VertexBuilder_Reset();
    GR_VertexBuilder_Flush();
    EXPECT_EQ(frame.Pixel(20, 4), kBlack);
}

TEST_F(BatchTest, BatchesOfDifferentVertexSizesFollowEachOtherInTheRing)
{
    // One 24-byte point leaves the ring at byte 24; the 36-byte batch must start at 36.
    auto* point = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_POINTLIST, nullptr, 24, 1));
    *point = {0, 0, kBlue, 30.5f, 30.5f, 0.5f};
    GR_VertexBuilder_Flush();
    auto* v = static_cast<V36*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 36, 3));
    v[0] = {0, 0, 0.5f, 0, 0, -1, kGreen, 0, 0};
    v[1] = {16, 0, 0.5f, 0, 0, -1, kGreen, 0, 0};
    v[2] = {0, 16, 0.5f, 0, 0, -1, kGreen, 0, 0};
    GR_VertexBuilder_Flush();
    EXPECT_EQ(frame.Pixel(3, 3), kGreen);
    EXPECT_EQ(frame.Pixel(30, 30), kBlue);
}

TEST_F(BatchTest, TheRingWrapsAndKeepsDrawing)
{
    // Batches of 16,000 36-byte vertices: three fill the first buffer, the
    // small ones cannot take them, so the ring comes back to the first.
    const uint32_t colours[4] = {kRed, kGreen, kBlue, kWhite};
    for (int round = 0; round < 8; ++round) {
        auto* v = static_cast<V36*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 36, 16000));
        ASSERT_NE(v, nullptr);
        std::memset(v, 0, sizeof(V36) * 16000);  // degenerate triangles
        const uint32_t c = colours[round % 4];
        v[0] = {0, 0, 0.5f, 0, 0, -1, c, 0, 0};
        v[1] = {64, 0, 0.5f, 0, 0, -1, c, 0, 0};
        v[2] = {0, 64, 0.5f, 0, 0, -1, c, 0, 0};
        GR_VertexBuilder_Flush();
        EXPECT_EQ(frame.Pixel(4, 4), c) << round;
    }
    // A small batch after the wrap still lands where it belongs.
    Strip(0, kRed);
    GR_VertexBuilder_Flush();
    EXPECT_EQ(frame.Pixel(4, 4), kRed);
}

TEST_F(BatchTest, DrawPathTakesPointsForUnknownKindsAndRefusesUnknownFormats)
{
    const V16 vertex = {10.5f, 10.5f, 0.5f, kGreen};
    HGPU_Buffer* buffer = HGPU_CreateBuffer(HGPU_BufferKind::Vertex, sizeof vertex, false, &vertex);
    GR_D3D_DrawPrimitive(7, 1, 0, 16, buffer);
    EXPECT_EQ(frame.Pixel(10, 10), kGreen);
    HGPU_ReleaseBuffer(buffer);

    testgames::CapturedLog log;
    GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, VERTEX_FORMAT_USER | 5, 3);
    GR_VertexBuilder_Flush();
    EXPECT_NE(log.Text().find("Invalid vertex format: 0x1000005\n"), std::string::npos);
    EXPECT_NE(log.Text().find("Draw failed due to invalid input layout\n"), std::string::npos);
}

TEST_F(BatchTest, UserFormatBatchesStopAtTheStagingSize)
{
    // 48-byte vertices: position, colour, then padding the programs never read.
    struct V48 { float x, y, z; uint32_t colour; float pad[8]; };
    ASSERT_TRUE(VertexFormat_Begin());
    VertexFormat_Add(VERTEX_TYPE_FLOAT3, VERTEX_USE_POSITION);
    VertexFormat_Add(VERTEX_TYPE_COLOUR, VERTEX_USE_COLOUR);
    VertexFormat_Add(VERTEX_TYPE_FLOAT4, VERTEX_USE_BLENDWEIGHT);
    VertexFormat_Add(VERTEX_TYPE_FLOAT4, VERTEX_USE_BLENDWEIGHT);
    const int id = VertexFormat_End();
    ASSERT_EQ(VertexFormat_Get(id)->size, 48);
    // 10,000 + 3,000 vertices stay under the vertex limit but not under the
    // 589,824 staging bytes: the second reservation starts a new batch.
    EXPECT_EQ(DrawCalls([&] {
                  auto* a = static_cast<V48*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, id, 10000));
                  std::memset(a, 0, sizeof(V48) * 10000);
                  a[0] = {0, 0, 0.5f, kGreen, {}};
                  a[1] = {16, 0, 0.5f, kGreen, {}};
                  a[2] = {0, 16, 0.5f, kGreen, {}};
                  auto* b = static_cast<V48*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, id, 3000));
                  std::memset(b, 0, sizeof(V48) * 3000);
                  b[0] = {32, 32, 0.5f, kRed, {}};
                  b[1] = {16, 32, 0.5f, kRed, {}};
                  b[2] = {32, 16, 0.5f, kRed, {}};
              }),
              2);
    EXPECT_EQ(frame.Pixel(3, 3), kGreen);
    EXPECT_EQ(frame.Pixel(29, 29), kRed);
    EXPECT_EQ(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, id, 12289), nullptr);
    // A format without elements has nothing to draw (and nothing to divide by).
    ASSERT_TRUE(VertexFormat_Begin());
    const int empty = VertexFormat_End();
    EXPECT_EQ(DrawCalls([&] { EXPECT_NE(GR_VertexBuilder_AllocVerts(PR_TRIANGLEFAN, nullptr, empty, 5), nullptr); }), 0);
    VertexFormat_Delete(id);
    VertexFormat_Delete(empty);
}

TEST_F(BatchTest, FrozenBufferDrawsWithOneCallAfterTheOpenBatch)
{
    FrozenVertexBuffer frozen{};
    ASSERT_TRUE(GR_D3D_CreateVertexBuffer(&frozen, 16, 4, 0));
    EXPECT_EQ(frozen.vertexSize, 16);
    EXPECT_EQ(frozen.capacity, 4);
    // Six vertices offered, four kept: the strip covers the left half.
    const V16 strip[6] = {{0, 0, 0.5f, kBlue}, {16, 0, 0.5f, kBlue}, {0, 32, 0.5f, kBlue},
                          {16, 32, 0.5f, kBlue}, {32, 0, 0.5f, kBlue}, {32, 32, 0.5f, kBlue}};
    GR_D3D_UploadVertexBuffer(&frozen, strip, 6);
    EXPECT_EQ(DrawCalls([&] {
                  Strip(20, kRed);  // drawn first, under nothing
                  GR_D3D_DrawVertexBuffer(PR_TRIANGLESTRIP, 4, 0, 16, nullptr, &frozen);
              }),
              2);
    EXPECT_EQ(frame.Pixel(4, 20), kBlue);
    EXPECT_EQ(frame.Pixel(24, 4), kRed);
    EXPECT_EQ(frame.Pixel(24, 20), kBlack);
    GR_D3D_ReleaseVertexBuffer(&frozen);
    EXPECT_EQ(frozen.buffer, nullptr);
    EXPECT_FALSE(GR_D3D_CanFreezePrimitive(PR_TRIANGLEFAN));
    EXPECT_TRUE(GR_D3D_CanFreezePrimitive(PR_TRIANGLESTRIP));
}

TEST(CheckHResultTest, FailuresShowTheCallAndTheFileName)
{
    ShowMessageBox("before");
    EXPECT_TRUE(GR_D3D_CheckHResult(HGPU_OK, "GR_D3D_Device->CreateBuffer", 10, "/src/VertexBuilderM.cpp"));
    EXPECT_STREQ(Host_HeadlessDialog().LastText().c_str(), "before");
    EXPECT_FALSE(GR_D3D_CheckHResult(HGPU_E_FAIL, "GR_D3D_Device->CreateBuffer", 42, "/a/b/VertexBuilderM.cpp"));
    EXPECT_STREQ(Host_HeadlessDialog().LastText().c_str(),
                 "Win32 function failed: HRESULT: 0x80004005\n\nCall: GR_D3D_Device->CreateBuffer at line 42 in file "
                 "/VertexBuilderM.cpp");
}

}  // namespace
