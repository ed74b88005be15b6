#include "Host/Host_GPU.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

class HostGpuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(HGPU_CreateDevice(HGPU_Driver::Warp, nullptr), HGPU_OK);
        ASSERT_EQ(HGPU_CreateSwapChain(32, 16), HGPU_OK);
    }
    void TearDown() override { HGPU_DestroyDevice(); }

    static std::vector<uint32_t> ReadAll(HGPU_Texture* texture)
    {
        const int w = HGPU_TextureWidth(texture), h = HGPU_TextureHeight(texture);
        std::vector<uint32_t> pixels(static_cast<size_t>(w * h));
        EXPECT_TRUE(HGPU_ReadTexture(texture, 0, 0, w, h, pixels.data(), w * 4));
        return pixels;
    }
};

// Little-endian RGBA bytes as one word: 0xAABBGGRR.
constexpr uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return r | g << 8 | b << 16 | a << 24; }

TEST_F(HostGpuTest, SoftwareDeviceNeedsNoDisplay)
{
    const HGPU_DeviceInfo* info = HGPU_GetDeviceInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->driver, HGPU_Driver::Warp);
    EXPECT_GE(info->glMajor * 10 + info->glMinor, 33);
}

TEST_F(HostGpuTest, HardwareDeviceWithoutWindowFails)
{
    HGPU_DestroyDevice();
    EXPECT_NE(HGPU_CreateDevice(HGPU_Driver::Hardware, nullptr), HGPU_OK);
    EXPECT_FALSE(HGPU_HasDevice());
}

TEST_F(HostGpuTest, ClearReadsBackExactly)
{
    HGPU_Texture* back = HGPU_GetBackBuffer();
    const float colour[4] = {1.0f, 0.0f, 128.0f / 255.0f, 1.0f};
    HGPU_ClearRenderTarget(back, colour);
    for (uint32_t pixel : ReadAll(back)) ASSERT_EQ(pixel, Rgba(255, 0, 128, 255));
}

TEST_F(HostGpuTest, UploadedRowsReadBackTopDown)
{
    HGPU_Texture* texture = HGPU_CreateTexture(2, 2, HGPU_Format::R8G8B8A8, HGPU_BIND_SHADER_RESOURCE, 1, nullptr);
    ASSERT_NE(texture, nullptr);
    const uint32_t pixels[4] = {Rgba(1, 2, 3, 4), Rgba(5, 6, 7, 8), Rgba(9, 10, 11, 12), Rgba(13, 14, 15, 16)};
    HGPU_UpdateTexture(texture, 0, 0, 2, 2, pixels, 8);
    const std::vector<uint32_t> read = ReadAll(texture);
    EXPECT_EQ(read, std::vector<uint32_t>(pixels, pixels + 4));
    uint32_t one = 0;
    EXPECT_TRUE(HGPU_ReadTexture(texture, 1, 1, 1, 1, &one, 4));
    EXPECT_EQ(one, pixels[3]);
    EXPECT_FALSE(HGPU_ReadTexture(texture, 1, 1, 2, 1, &one, 8)) << "a rectangle past the edge is refused";
    HGPU_ReleaseTexture(texture);
}

TEST_F(HostGpuTest, PresentWithoutWindowCountsAndReportsRemoval)
{
    EXPECT_EQ(HGPU_Present(0), HGPU_OK);
    EXPECT_EQ(HGPU_PresentCount(), 1u);
    HGPU_SimulateDeviceRemoved();
    EXPECT_EQ(HGPU_Present(0), HGPU_DEVICE_REMOVED);
    EXPECT_EQ(HGPU_Present(0), HGPU_OK);
}

TEST_F(HostGpuTest, MultisampleLevelsAreReported)
{
    EXPECT_EQ(HGPU_CheckMultisampleQualityLevels(HGPU_Format::R8G8B8A8, 4), 1);
    EXPECT_EQ(HGPU_CheckMultisampleQualityLevels(HGPU_Format::R8G8B8A8, 1024), 0);
}

}  // namespace
