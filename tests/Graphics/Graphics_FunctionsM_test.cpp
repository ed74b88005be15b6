// Read-back, upload and copies of texture pixels on the software device.
#include "Graphics/Graphics_FunctionsM.h"

#include <gtest/gtest.h>

#include <vector>

#include "Base/MemoryManager.h"
#include "Graphics/TexturesM.h"
#include "support/GpuTestFrame.h"

namespace {

class PixelTransferTest : public ::testing::Test {
protected:
    GpuTestFrame frame{32, 32};
    D3DTexture* texture = nullptr;

    // 16 × 16, each pixel numbered by its position.
    static uint32_t At(int x, int y) { return 0xFF000000u | static_cast<uint32_t>(y * 16 + x + 1); }

    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        std::vector<uint32_t> pixels(256);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) pixels[static_cast<size_t>(y) * 16 + x] = At(x, y);
        texture = GR_D3D_CreateTextureFromPixels(pixels.data(), 16, 16, nullptr);
        ASSERT_NE(texture, nullptr);
    }
    void TearDown() override { GR_D3D_FreeTexture(texture); }

    std::vector<uint32_t> Read(int x, int y, int w, int h)
    {
        uint32_t* p = GR_D3D_ReadTexturePixels(texture, x, y, w, h);
        if (!p) return {};
        std::vector<uint32_t> out(p, p + static_cast<size_t>(w) * h);
        MemoryManager::Free(p);
        return out;
    }
};

TEST_F(PixelTransferTest, ReadBackClipsToTheTextureAndLeavesTheRestZero)
{
    const std::vector<uint32_t> r = Read(-2, -2, 4, 4);
    ASSERT_EQ(r.size(), 16u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(r[static_cast<size_t>(i)], 0u);
        EXPECT_EQ(r[static_cast<size_t>(i) * 4], 0u);
    }
    EXPECT_EQ(r[10], At(0, 0));
    EXPECT_EQ(r[15], At(1, 1));
    EXPECT_TRUE(Read(20, 0, 4, 4).empty());
    EXPECT_TRUE(Read(0, 0, 0, 4).empty());
    const std::vector<uint32_t> edge = Read(14, 15, 4, 2);
    ASSERT_EQ(edge.size(), 8u);
    EXPECT_EQ(edge[0], At(14, 15));
    EXPECT_EQ(edge[1], At(15, 15));
    EXPECT_EQ(edge[2], 0u);
    EXPECT_EQ(edge[4], 0u);
}

TEST_F(PixelTransferTest, WritesChangeExactlyThePartOnTheTexture)
{
    const std::vector<uint32_t> block(16, 0xFF00FF00u);
    GR_D3D_WriteTexturePixels(block.data(), texture, 3, 5, 4, 4);
    std::vector<uint32_t> all = Read(0, 0, 16, 16);
    ASSERT_EQ(all.size(), 256u);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 3 && x <= 6 && y >= 5 && y <= 8;
            ASSERT_EQ(all[static_cast<size_t>(y) * 16 + x], inside ? 0xFF00FF00u : At(x, y)) << x << "," << y;
        }
    std::vector<uint32_t> numbered(16);
    for (int i = 0; i < 16; ++i) numbered[static_cast<size_t>(i)] = 0xFF000000u | static_cast<uint32_t>(1000 + i);
    GR_D3D_WriteTexturePixels(numbered.data(), texture, 14, 0, 4, 4);
    all = Read(0, 0, 16, 16);
    EXPECT_EQ(all[14], numbered[0]);
    EXPECT_EQ(all[15], numbered[1]);
    EXPECT_EQ(all[16 * 3 + 15], numbered[13]);
    EXPECT_EQ(all[16 * 4 + 15], At(15, 4)) << "rows below the block stay";
    // The CPU copy follows, so a rebuilt texture keeps the writes.
    EXPECT_EQ(texture->pixels[14], numbered[0]);
}

TEST_F(PixelTransferTest, CopyPartDrawsIntoTheDestinationAndScreenReadsAreCut)
{
    D3DTexture* target = GR_D3D_CreateTexture(16, 16, 0, TEXTURE_OPTION_RENDER_TARGET, 6);
    ASSERT_NE(target, nullptr);
    GR_D3D_CopySurfacePart(target, 2, 3, texture, 4, 5, 6, 7);
    uint32_t* p = GR_D3D_ReadTexturePixels(target, 0, 0, 16, 16);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[3 * 16 + 2], At(4, 5));
    EXPECT_EQ(p[9 * 16 + 7], At(9, 11));
    EXPECT_NE(p[10 * 16 + 8], At(10, 12)) << "outside the copied part";
    MemoryManager::Free(p);
    GR_D3D_FreeTexture(target);

    int w = 0, h = 0;
    uint32_t* screen = GR_D3D_ReadScreenPixels(32, 32, 30, 0, 8, 8, &w, &h);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(w, 2) << "the array is exactly the cut size";
    EXPECT_EQ(h, 8);
    MemoryManager::Free(screen);
}

}  // namespace
