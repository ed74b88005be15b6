// Texture objects: sizes, CPU copies, image sources, render targets with
// multisampling, the sampler stages and the target stack, drawn on the
// software device and read back.
#include "Graphics/TexturesM.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Base/ErrorLast.h"
#include "Base/MemoryManager.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "Options/Runner_Options.h"
#include "support/GameFiles.h"
#include "support/GpuTestFrame.h"
#include "support/ImageFixtures.h"

namespace {

struct V16 { float x, y, z; uint32_t colour; };
struct V24 { float u, v; uint32_t colour; float x, y, z; };

constexpr int kSize = 16;
const uint32_t kRed = Rgba(255, 0, 0, 255), kGreen = Rgba(0, 255, 0, 255), kBlue = Rgba(0, 0, 255, 255),
               kWhite = Rgba(255, 255, 255, 255), kBlack = Rgba(0, 0, 0, 255);

// A memory-manager copy, as texture sources must be.
uint8_t* Owned(const std::vector<uint8_t>& bytes)
{
    auto* copy = static_cast<uint8_t*>(QS_ALLOC(bytes.size(), false));
    std::memcpy(copy, bytes.data(), bytes.size());
    return copy;
}

std::vector<uint8_t> RawBlock(uint32_t width, uint32_t height, uint32_t kind, const void* pixels, size_t bytes)
{
    std::vector<uint8_t> block(16 + bytes);
    std::memcpy(block.data(), "RAW ", 4);
    std::memcpy(block.data() + 4, &width, 4);
    std::memcpy(block.data() + 8, &height, 4);
    std::memcpy(block.data() + 12, &kind, 4);
    std::memcpy(block.data() + 16, pixels, bytes);
    return block;
}

std::vector<uint32_t> ReadTexture(D3DTexture* texture)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(texture->width) * texture->height);
    EXPECT_TRUE(HGPU_ReadTexture(GR_D3D_GetTextureView(texture), 0, 0, texture->width, texture->height,
                                 pixels.data(), texture->width * 4));
    return pixels;
}

TEST(TextureRecordTest, SizesAndCopies)
{
    D3DTexture* pow2 = GR_D3D_CreateTexture(100, 60, 1, 0, TEXTURE_FORMAT_RGBA8);
    EXPECT_EQ(pow2->width, 128);
    EXPECT_EQ(pow2->height, 64);
    EXPECT_EQ(pow2->creationFlag, 1);
    EXPECT_NE(pow2->pixels, nullptr);
    D3DTexture* target = GR_D3D_CreateTexture(100, 60, 1, TEXTURE_OPTION_RENDER_TARGET, TEXTURE_FORMAT_RGBA8);
    EXPECT_EQ(target->width, 100);
    EXPECT_EQ(target->height, 60);
    EXPECT_EQ(target->creationFlag, 0);
    EXPECT_EQ(target->pixels, nullptr);
    D3DTexture* empty = GR_D3D_CreateTexture(0, 60, 1, 0, TEXTURE_FORMAT_RGBA8);
    EXPECT_EQ(empty->width, 0);
    EXPECT_EQ(empty->pixels, nullptr);
    EXPECT_EQ(GR_D3D_FirstTexture(), empty);  // newest first
    EXPECT_EQ(empty->next, target);
    for (D3DTexture* t : {pow2, target, empty}) EXPECT_TRUE(GR_D3D_FreeTexture(t));

    const struct { int n, pow2; } cases[] = {{-5, 1}, {0, 1}, {1, 1}, {2, 2}, {3, 4}, {1024, 1024}, {1025, 2048},
                                             {3000, 2048}};
    for (const auto& c : cases) EXPECT_EQ(GR_D3D_NextPow2(c.n), c.pow2) << c.n;
    EXPECT_EQ(GR_D3D_GetMaxTextureSize(), 2048);
    EXPECT_EQ(GR_D3D_BytesPerPixel(TEXTURE_FORMAT_B5G6R5), 2);
    EXPECT_EQ(GR_D3D_BytesPerPixel(TEXTURE_FORMAT_R32F), 4);
}

TEST(TextureRecordTest, SmallerImagesRepeatTheirLastColumnAndRow)
{
    // 3 × 3 pixels on a 4 × 4 texture: column 3 and row 3 repeat the edge.
    uint32_t pixels[9];
    for (uint32_t i = 0; i < 9; ++i) pixels[i] = i + 1;
    D3DTexture* texture = GR_D3D_CreateTexture(3, 3, 0, 0, TEXTURE_FORMAT_RGBA8);
    ASSERT_EQ(texture->width, 4);
    std::memset(texture->pixels, 0xEE, 16 * 4);
    EXPECT_TRUE(GR_D3D_UpdateTexture(texture, 0, 3, 3, pixels));
    const uint32_t expected[16] = {1, 2, 3, 3, 4, 5, 6, 6, 7, 8, 9, 9, 7, 8, 9, 9};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(texture->pixels[i], expected[i]) << i;
    // Larger images are cut to the texture; zero sizes change nothing.
    uint32_t big[25];
    for (uint32_t i = 0; i < 25; ++i) big[i] = 100 + i;
    EXPECT_TRUE(GR_D3D_UpdateTexture(texture, 0, 5, 5, big));
    EXPECT_EQ(texture->pixels[4], 105u);
    EXPECT_EQ(texture->pixels[15], 118u);
    EXPECT_TRUE(GR_D3D_UpdateTexture(texture, 0, 0, 5, big));
    EXPECT_EQ(texture->pixels[0], 100u);
    // A rectangle upload needs a CPU copy; without device objects there is nothing to do.
    EXPECT_TRUE(GR_D3D_UpdateTextureRect(texture, -2, -2, 4, 4));
    D3DTexture* target = GR_D3D_CreateTexture(4, 4, 0, TEXTURE_OPTION_RENDER_TARGET, TEXTURE_FORMAT_RGBA8);
    EXPECT_FALSE(GR_D3D_UpdateTextureRect(target, 0, 0, 1, 1));
    GR_D3D_FreeTexture(texture);
    GR_D3D_FreeTexture(target);
}

TEST(TextureRecordTest, ImageSourcesAreRecognisedAndChecked)
{
    const uint32_t pixel = kRed;
    TextureInfo info{};
    D3DTexture* raw = GR_D3D_CreateTextureFromImage(Owned(RawBlock(1, 1, 0, &pixel, 4)), 20, &info);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(info.width, 1);
    EXPECT_EQ(info.bitsPerPixel, 32);
    EXPECT_EQ(raw->format, TEXTURE_FORMAT_RGBA8);
    EXPECT_EQ(raw->pixels, nullptr);
    GR_D3D_FreeTexture(raw);  // frees the source with it

    const uint16_t texels[2] = {0xF800, 0x001F};
    D3DTexture* raw16 = GR_D3D_CreateTextureFromImage(Owned(RawBlock(2, 1, 1, texels, 4)), 20, &info);
    ASSERT_NE(raw16, nullptr);
    EXPECT_EQ(raw16->format, TEXTURE_FORMAT_B5G6R5);
    EXPECT_EQ(info.bitsPerPixel, 16);
    GR_D3D_FreeTexture(raw16);

    // A block whose pixels run past its size, and data of no known kind.
    testgames::CapturedLog log;
    const std::vector<uint8_t> shortBlock = RawBlock(4, 4, 0, &pixel, 4);
    EXPECT_EQ(GR_D3D_CreateTextureFromImage(shortBlock.data(), static_cast<uint32_t>(shortBlock.size()), &info),
              nullptr);
    const std::vector<uint8_t> huge = RawBlock(0x7FFFFFFF, 0x7FFFFFFF, 0, &pixel, 4);
    EXPECT_EQ(GR_D3D_CreateTextureFromImage(huge.data(), static_cast<uint32_t>(huge.size()), &info), nullptr);
    const uint8_t junk[20] = {1, 2, 3};
    EXPECT_EQ(GR_D3D_CreateTextureFromImage(junk, sizeof junk, &info), nullptr);
    // A PNG whose header cannot be read keeps the size 1 × 1.
    std::vector<uint8_t> png = ImageFixtures::EncodeRgbaPng(2, 2, std::vector<uint8_t>(16, 0xFF));
    png[12] = 'X';
    D3DTexture* broken = GR_D3D_CreateTextureFromImage(Owned(png), static_cast<uint32_t>(png.size()), &info);
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(broken->width, 1);
    EXPECT_NE(log.Text().find("an error occured"), std::string::npos);
    GR_D3D_FreeTexture(broken);
}

class TextureDrawTest : public ::testing::Test {
protected:
    GpuTestFrame frame{kSize, kSize};

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        const float s = 2.0f / kSize;
        const float projection[16] = {s, 0, 0, 0, 0, -s, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
        GR_D3D_SetMatrix(MATRIX_WORLD, identity);
        GR_D3D_SetMatrix(MATRIX_VIEW, identity);
        GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
        GR_SetTextureInterpolation(false);
        g_RenderStateCache.SetRenderState(RS_BLENDENABLE, 0);
        GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
    }

    // The texture's UV 0..u1 × 0..v1 over the whole target.
    static void Quad(D3DTexture* texture, float u1 = 1, float v1 = 1, float size = kSize)
    {
        auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, texture, 24, 4));
        v[0] = {0, 0, kWhite, 0, 0, 0.5f};
        v[1] = {u1, 0, kWhite, size, 0, 0.5f};
        v[2] = {0, v1, kWhite, 0, size, 0.5f};
        v[3] = {u1, v1, kWhite, size, size, 0.5f};
        GR_VertexBuilder_Flush();
    }

    static void Rect(float x0, float y0, float x1, float y1, uint32_t colour)
    {
        auto* v = static_cast<V16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, nullptr, 16, 4));
        v[0] = {x0, y0, 0.5f, colour};
        v[1] = {x1, y0, 0.5f, colour};
        v[2] = {x0, y1, 0.5f, colour};
        v[3] = {x1, y1, 0.5f, colour};
        GR_VertexBuilder_Flush();
    }

    // Quadrant colours of the frame: top-left, top-right, bottom-left, bottom-right.
    std::vector<uint32_t> Quadrants() const
    {
        const std::vector<uint32_t> p = frame.Read();
        const int q = kSize / 4, r = kSize * 3 / 4;
        return {p[q * kSize + q], p[q * kSize + r], p[r * kSize + q], p[r * kSize + r]};
    }
};

TEST_F(TextureDrawTest, PixelsRawBlocksAndPngsSampleTheSameImage)
{
    const uint32_t image[4] = {kRed, kGreen, kBlue, kWhite};
    const std::vector<uint32_t> expected(image, image + 4);
    D3DTexture* fromPixels = GR_D3D_CreateTextureFromPixels(image, 2, 2, nullptr);
    Quad(fromPixels);
    EXPECT_EQ(Quadrants(), expected);

    D3DTexture* raw = GR_D3D_CreateTextureFromImage(Owned(RawBlock(2, 2, 0, image, 16)), 32, nullptr);
    Quad(raw);
    EXPECT_EQ(Quadrants(), expected);

    std::vector<uint8_t> rgba(16);
    std::memcpy(rgba.data(), image, 16);
    const std::vector<uint8_t> png = ImageFixtures::EncodeRgbaPng(2, 2, rgba);
    D3DTexture* fromPng = GR_D3D_CreateTextureFromImage(Owned(png), static_cast<uint32_t>(png.size()), nullptr);
    Quad(fromPng);
    EXPECT_EQ(Quadrants(), expected);

    // 16-bit pixels with an odd width: rows are two bytes per pixel apart.
    const uint16_t texels[6] = {0xF800, 0x07E0, 0x0000, 0x001F, 0xFFFF, 0x0000};
    D3DTexture* raw16 = GR_D3D_CreateTextureFromImage(Owned(RawBlock(3, 2, 1, texels, 12)), 28, nullptr);
    Quad(raw16, 2.0f / 3.0f, 1.0f);
    EXPECT_EQ(Quadrants(), expected);
    for (D3DTexture* t : {fromPixels, raw, fromPng, raw16}) GR_D3D_FreeTexture(t);
}

TEST_F(TextureDrawTest, BlockCompressedTextureSamples)
{
    // One BC1 block: colour 0 red, colour 1 blue, every index 1 (blue).
    uint32_t block[16] = {};
    const uint8_t bytes[8] = {0x00, 0xF8, 0x1F, 0x00, 0x55, 0x55, 0x55, 0x55};
    std::memcpy(block, bytes, 8);
    D3DTexture* texture = GR_D3D_CreateTexture(4, 4, 0, 0, 1);
    GR_D3D_UpdateTexture(texture, 0, 4, 4, block);
    if (!GR_D3D_GetTextureView(texture)) {
        GR_D3D_FreeTexture(texture);
        GTEST_SKIP() << "no block-compressed formats on this driver";
    }
    Quad(texture);
    EXPECT_EQ(frame.Pixel(3, 3), kBlue);
    GR_D3D_FreeTexture(texture);
}

TEST_F(TextureDrawTest, RenderTargetIsDrawnIntoAndSampled)
{
    D3DTexture* target = GR_D3D_CreateTexture(kSize, kSize, 0, TEXTURE_OPTION_RENDER_TARGET, TEXTURE_FORMAT_RGBA8);
    ASSERT_TRUE(GR_D3D_PushRenderTargets());
    ASSERT_TRUE(GR_D3D_SetRenderTarget(0, target));
    GR_D3D_Clear(kRed, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
    Rect(0, 0, kSize / 2, kSize / 2, kGreen);
    GR_D3D_PopRenderTargets();
    const std::vector<uint32_t> read = ReadTexture(target);
    EXPECT_EQ(read[0], kGreen);
    EXPECT_EQ(read[kSize * kSize - 1], kRed);
    Quad(target);
    EXPECT_EQ(Quadrants(), (std::vector<uint32_t>{kGreen, kRed, kRed, kRed}));
    EXPECT_TRUE(GR_D3D_FreeTexture(target));
}

// A lost device takes every texture and target with it: they come back from
// their kept pixels and sizes and draw as before, with the game's states.
TEST_F(TextureDrawTest, LostDeviceRebuildsTexturesAndTargets)
{
    const uint32_t image[4] = {kRed, kGreen, kBlue, kWhite};
    const std::vector<uint32_t> expected(image, image + 4);
    D3DTexture* texture = GR_D3D_CreateTextureFromPixels(image, 2, 2, nullptr);
    D3DTexture* target = GR_D3D_CreateTexture(kSize, kSize, 0, TEXTURE_OPTION_RENDER_TARGET, TEXTURE_FORMAT_RGBA8);
    Quad(texture);
    ASSERT_EQ(Quadrants(), expected);
    ASSERT_TRUE(GR_D3D_PushRenderTargets());
    ASSERT_TRUE(GR_D3D_SetRenderTarget(0, target));
    GR_D3D_Clear(kRed, 1.0f, 0, CLEAR_COLOUR);
    GR_D3D_PopRenderTargets();

    HGPU_SimulateDeviceRemoved();
    ASSERT_TRUE(End_Frame(true));
    ASSERT_TRUE(Start_Frame());
    GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR);
    Quad(texture);  // blending stays off: the texels arrive unchanged
    EXPECT_EQ(Quadrants(), expected);
    ASSERT_TRUE(GR_D3D_PushRenderTargets());
    ASSERT_TRUE(GR_D3D_SetRenderTarget(0, target));
    GR_D3D_Clear(kBlue, 1.0f, 0, CLEAR_COLOUR);
    Rect(0, 0, kSize / 2, kSize / 2, kGreen);
    GR_D3D_PopRenderTargets();
    Quad(target);
    EXPECT_EQ(Quadrants(), (std::vector<uint32_t>{kGreen, kBlue, kBlue, kBlue}));
    GR_D3D_FreeTexture(texture);
    EXPECT_TRUE(GR_D3D_FreeTexture(target));
}

TEST_F(TextureDrawTest, FloatTargetsHoldOneChannel)
{
    for (const int format : {TEXTURE_FORMAT_TARGET_R16F, TEXTURE_FORMAT_TARGET_R32F}) {
        D3DTexture* target = GR_D3D_CreateTexture(4, 4, 0, TEXTURE_OPTION_RENDER_TARGET, format);
        GR_D3D_PushRenderTargets();
        GR_D3D_SetRenderTarget(0, target);
        GR_D3D_Clear(Rgba(255, 128, 255, 255), 1.0f, 0, CLEAR_COLOUR);
        GR_D3D_PopRenderTargets();
        ASSERT_NE(GR_D3D_GetTextureView(target), nullptr) << format;
        EXPECT_EQ(ReadTexture(target)[5], Rgba(255, 0, 0, 255)) << format;
        GR_D3D_FreeTexture(target);
    }
}

TEST_F(TextureDrawTest, MultisampledTargetResolvesWhenSampled)
{
    if (!(GR_D3D_MultisampleSupport & 4)) GTEST_SKIP() << "no 4× multisampling";
    GR_D3D_SetAntialias(4);
    D3DTexture* target = GR_D3D_CreateTexture(kSize, kSize, 0, TEXTURE_OPTION_RENDER_TARGET, TEXTURE_FORMAT_RGBA8);
    GR_D3D_PushRenderTargets();
    GR_D3D_SetRenderTarget(0, target);
    ASSERT_NE(target->gpu, nullptr);
    EXPECT_NE(target->gpu->flags & TEXTURE_GPU_MULTISAMPLED, 0u);
    GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
    // A diagonal edge: its pixels are partly covered.
    auto* v = static_cast<V16*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 16, 3));
    v[0] = {0, 0, 0.5f, kWhite};
    v[1] = {kSize, 0, 0.5f, kWhite};
    v[2] = {0, kSize, 0.5f, kWhite};
    GR_D3D_PopRenderTargets();
    EXPECT_NE(target->gpu->flags & TEXTURE_GPU_RESOLVE_PENDING, 0u);
    const std::vector<uint32_t> read = ReadTexture(target);
    EXPECT_EQ(target->gpu->flags & TEXTURE_GPU_RESOLVE_PENDING, 0u);
    EXPECT_EQ(read[1 * kSize + 1], kWhite);
    bool partial = false;
    for (int x = 0; x < kSize; ++x) {
        const uint32_t red = read[static_cast<size_t>(kSize - 1 - x) * kSize + x] & 0xFF;
        partial = partial || (red > 0 && red < 255);
    }
    EXPECT_TRUE(partial);
    // Read while still bound, drawn into again, read again: the second read
    // sees the new drawing.
    GR_D3D_PushRenderTargets();
    GR_D3D_SetRenderTarget(0, target);
    GR_D3D_Clear(kBlack, 1.0f, 0, CLEAR_COLOUR);
    EXPECT_EQ(ReadTexture(target)[1 * kSize + 1], kBlack);
    Rect(0, 0, kSize, kSize, kGreen);
    EXPECT_EQ(ReadTexture(target)[1 * kSize + 1], kGreen);
    GR_D3D_PopRenderTargets();
    GR_D3D_FreeTexture(target);
}

TEST_F(TextureDrawTest, TargetStackDepthAndBindingRules)
{
    const int level = GR_D3D_GetRenderTargetLevel();
    int pushes = 0;
    while (GR_D3D_PushRenderTargets()) ++pushes;
    EXPECT_EQ(level + pushes, 8);  // a ninth level is refused
    for (int i = 0; i < pushes; ++i) GR_D3D_PopRenderTargets();
    EXPECT_EQ(GR_D3D_GetRenderTargetLevel(), level);
    EXPECT_FALSE(GR_D3D_SetRenderTarget(4, nullptr));

    // A texture that is a target of the current level above 0 is not bound.
    D3DTexture* target = GR_D3D_CreateTexture(kSize, kSize, 0, TEXTURE_OPTION_RENDER_TARGET, TEXTURE_FORMAT_RGBA8);
    GR_D3D_PushRenderTargets();
    GR_D3D_SetRenderTarget(1, target);
    const int32_t switches = GR_D3D_TextureSwitchCount;
    GR_D3D_SetTexture(2, target);
    EXPECT_EQ(GR_D3D_TextureSwitchCount, switches);
    GR_D3D_SetRenderTarget(1, nullptr);
    GR_D3D_PopRenderTargets();
    GR_D3D_SetTexture(2, target);
    EXPECT_EQ(GR_D3D_TextureSwitchCount, switches + 1);
    GR_D3D_SetTexture(2, target);  // already bound
    EXPECT_EQ(GR_D3D_TextureSwitchCount, switches + 1);
    // Becoming a target unbinds it from the stage, and freeing it leaves white there.
    GR_D3D_PushRenderTargets();
    GR_D3D_SetRenderTarget(0, target);
    GR_D3D_PopRenderTargets();
    GR_D3D_SetTexture(2, target);
    EXPECT_EQ(GR_D3D_TextureSwitchCount, switches + 2);
    EXPECT_TRUE(GR_D3D_FreeTexture(target));
}

TEST_F(TextureDrawTest, TargetInUseIsNotFreedButTheFrameTargetIs)
{
    ShowErrorDialogs = false;
    D3DTexture* target = GR_D3D_CreateTexture(kSize, kSize, 0, TEXTURE_OPTION_RENDER_TARGET, TEXTURE_FORMAT_RGBA8);
    GR_D3D_PushRenderTargets();
    GR_D3D_SetRenderTarget(0, target);
    EXPECT_FALSE(GR_D3D_FreeTexture(target));
    EXPECT_NE(std::string(ErrorLast_Get()).find("Cannot free this surface - call surface_reset_target before "
                                                "calling surface_free"),
              std::string::npos);
    EXPECT_EQ(GR_D3D_GetRenderTarget(0), target);
    GR_D3D_PopRenderTargets();
    EXPECT_TRUE(GR_D3D_FreeTexture(target));

    // The frame's own target may go while it is target 0.
    ASSERT_EQ(GR_D3D_GetRenderTarget(0), GR_D3D_GetBackBufferTarget());
    GR_D3D_RecreateBackBufferTarget();
    EXPECT_EQ(GR_D3D_GetRenderTarget(0), nullptr);
    GR_D3D_SetRenderTarget(0, GR_D3D_GetBackBufferTarget());
    Rect(0, 0, kSize, kSize, kGreen);
    EXPECT_EQ(frame.Pixel(2, 2), kGreen);
}

TEST_F(TextureDrawTest, BuiltinImagesComeFromTheProgramTable)
{
    const uint32_t pixel = kGreen;
    const std::vector<uint8_t> raw = RawBlock(1, 1, 0, &pixel, 4);
    const std::vector<uint8_t> png = ImageFixtures::EncodeRgbaPng(1, 1, {255, 0, 0, 255});
    std::vector<uint8_t> table(4 + 16);
    auto put = [&](size_t at, int32_t v) { std::memcpy(table.data() + at, &v, 4); };
    put(0, 2);
    put(4, static_cast<int32_t>(raw.size()));
    put(8, 20);
    put(12, static_cast<int32_t>(png.size()));
    put(16, static_cast<int32_t>(20 + raw.size()));
    table.insert(table.end(), raw.begin(), raw.end());
    table.insert(table.end(), png.begin(), png.end());
    ASSERT_TRUE(GR_D3D_SetBuiltinTextures(table.data(), static_cast<uint32_t>(table.size())));
    EXPECT_EQ(GR_D3D_BuiltinTextureCount(), 2);
    D3DTexture* first = GR_D3D_CreateBuiltinTexture(0);
    D3DTexture* second = GR_D3D_CreateBuiltinTexture(1);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(GR_D3D_CreateBuiltinTexture(2), nullptr);
    EXPECT_TRUE(GR_D3D_IsBuiltinTextureData(second->source));
    Quad(first);
    EXPECT_EQ(frame.Pixel(1, 1), kGreen);
    Quad(second);
    EXPECT_EQ(frame.Pixel(1, 1), kRed);
    // Freeing keeps the program's data (the table is not the memory manager's).
    GR_D3D_FreeTexture(first);
    GR_D3D_FreeTexture(second);
    // An entry outside the table refuses the whole table.
    put(16, static_cast<int32_t>(table.size()));
    EXPECT_FALSE(GR_D3D_SetBuiltinTextures(table.data(), static_cast<uint32_t>(table.size())));
    EXPECT_EQ(GR_D3D_BuiltinTextureCount(), 0);
    EXPECT_FALSE(GR_D3D_IsBuiltinTextureData(table.data()));
}

}  // namespace
