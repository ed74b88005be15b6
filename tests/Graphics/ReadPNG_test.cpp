#include <gtest/gtest.h>

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "IO/LoadSave.h"
#include "Graphics/ReadPNG.h"
#include "Graphics/WritePNG.h"
#include "support/ImageFixtures.h"

using namespace ImageFixtures;

namespace {
struct Decoded {
    bool ok;
    int width, height;
    Bytes pixels;
};

Decoded Decode(const Bytes& png, bool scaled = false)
{
    Decoded d{};
    const uint8_t* p = ReadPNG_GetPixels(png.data(), int(png.size()), &d.width, &d.height, scaled);
    d.ok = p != nullptr;
    if (p) d.pixels.assign(p, p + size_t(d.width) * size_t(d.height) * 4);
    ReadPNG_Free();
    return d;
}

Bytes Gradient(int width, int height)
{
    Bytes rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rgba.insert(rgba.end(), {uint8_t(x * 7), uint8_t(y * 13), uint8_t(x + y), uint8_t(255 - x)});
    return rgba;
}

using PngTest = ::testing::Test;
}  // namespace

TEST_F(PngTest, WrittenFileReadsBackEqual)
{
    const std::string folder = ::testing::TempDir() + "qs_png_save/";
    Runner_SetSavePrefix(folder.c_str());
    const Bytes rgba = Gradient(7, 5);
    ASSERT_TRUE(write_png_file("sub/dir/out.png", rgba.data(), 7, 5));

    std::ifstream f(folder + "sub/dir/out.png", std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const Decoded d = Decode(file);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 7);
    EXPECT_EQ(d.height, 5);
    EXPECT_EQ(d.pixels, rgba);
    int w = 0, h = 0;
    EXPECT_TRUE(ReadPNG_GetSize(file.data(), int(file.size()), &w, &h, false));
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 5);
}

TEST_F(PngTest, WriterRefusesWhatItCannotWrite)
{
    Runner_SetSavePrefix((::testing::TempDir() + "qs_png_save2/").c_str());
    const uint8_t pixel[4] = {};
    EXPECT_FALSE(write_png_file("x.png", nullptr, 1, 1));
    EXPECT_FALSE(write_png_file("x.png", pixel, 0, 1));
    EXPECT_FALSE(write_png_file("/outside/the/save/area.png", pixel, 1, 1));
    EXPECT_FALSE(write_png_file(nullptr, pixel, 1, 1));
}

// Every colour type and depth arrives as 8-bit RGBA.
TEST_F(PngTest, EveryColourTypeBecomesRgba8)
{
    struct Case {
        const char* name;
        PngParams params;
        Bytes expected;
    };
    PngParams grey8{2, 1, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, {0x80, 0x10}};
    PngParams grey1{3, 1, PNG_COLOR_TYPE_GRAY, 1, false, {}, {}, {0xA0}};  // 1 0 1
    PngParams greyAlpha{1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {}, {}, {0x40, 0x7F}};
    PngParams rgb16{1, 1, PNG_COLOR_TYPE_RGB, 16, false, {}, {}, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}};
    PngParams rgba16{1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 16, false, {}, {}, {1, 0, 2, 0, 3, 0, 4, 0}};
    PngParams palette{2, 1, PNG_COLOR_TYPE_PALETTE, 8, false, {{0x10, 0x20, 0x30}, {1, 2, 3}}, {}, {0, 1}};
    PngParams paletteTrns = palette;
    paletteTrns.paletteAlpha = {0x00, 0x80};
    PngParams palette4{2, 1, PNG_COLOR_TYPE_PALETTE, 4, false, {{9, 8, 7}, {6, 5, 4}}, {}, {0x10}};
    const Case cases[] = {
        {"grey 8", grey8, {0x80, 0x80, 0x80, 0xFF, 0x10, 0x10, 0x10, 0xFF}},
        {"grey 1", grey1, {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}},
        {"grey alpha", greyAlpha, {0x40, 0x40, 0x40, 0x7F}},
        {"rgb 16", rgb16, {0x12, 0x56, 0x9A, 0xFF}},
        {"rgba 16", rgba16, {1, 2, 3, 4}},
        {"palette", palette, {0x10, 0x20, 0x30, 0xFF, 1, 2, 3, 0xFF}},
        {"palette tRNS", paletteTrns, {0x10, 0x20, 0x30, 0x00, 1, 2, 3, 0x80}},
        {"palette 4 bit", palette4, {6, 5, 4, 0xFF, 9, 8, 7, 0xFF}},
    };
    for (const Case& c : cases) {
        const Decoded d = Decode(EncodePng(c.params));
        ASSERT_TRUE(d.ok) << c.name;
        EXPECT_EQ(d.width, c.params.width) << c.name;
        EXPECT_EQ(d.pixels, c.expected) << c.name;
    }
}

TEST_F(PngTest, InterlacedImageDecodes)
{
    PngParams params;
    params.width = 9;
    params.height = 10;
    params.interlaced = true;
    params.rows = Gradient(9, 10);
    const Decoded d = Decode(EncodePng(params));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, params.rows);
}

TEST_F(PngTest, TextureScaleHalvesWhileBothSidesAllowIt)
{
    struct Case {
        int scale, width, height, outWidth, outHeight;
    } cases[] = {{4, 100, 60, 25, 15}, {2, 1, 40, 1, 40}, {4, 3, 40, 1, 20}, {8, 5, 5, 1, 1}, {1, 6, 6, 6, 6}};
    for (const Case& c : cases) {
        TextureGlobalScale = c.scale;
        const Bytes png = EncodeRgbaPng(c.width, c.height, Gradient(c.width, c.height));
        const Decoded scaled = Decode(png, true);
        ASSERT_TRUE(scaled.ok);
        EXPECT_EQ(scaled.width, c.outWidth) << c.scale << " " << c.width << "x" << c.height;
        EXPECT_EQ(scaled.height, c.outHeight);
        int w = 0, h = 0;
        ASSERT_TRUE(ReadPNG_GetSize(png.data(), int(png.size()), &w, &h, true));
        EXPECT_EQ(w, c.outWidth) << "header size must match the pixels";
        EXPECT_EQ(h, c.outHeight);
        const Decoded unscaled = Decode(png, false);
        EXPECT_EQ(unscaled.width, c.width);
    }
}

TEST_F(PngTest, BoxFilterAveragesTwoByTwoRoundingDown)
{
    // 4 x 2: the left block averages to 2.5 -> 2 in every byte; the right block
    // holds 200, 201, 202, 203 -> 201.
    const Bytes rgba = {
        1, 1, 1, 1, 2, 2, 2, 2, 200, 200, 200, 200, 201, 201, 201, 201,
        3, 3, 3, 3, 4, 4, 4, 4, 202, 202, 202, 202, 203, 203, 203, 203,
    };
    TextureGlobalScale = 2;
    const Decoded d = Decode(EncodeRgbaPng(4, 2, rgba), true);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 2);
    EXPECT_EQ(d.height, 1);
    EXPECT_EQ(d.pixels, (Bytes{2, 2, 2, 2, 201, 201, 201, 201}));
}

TEST_F(PngTest, EachDecodeReturnsItsOwnImage)
{
    const Bytes first = EncodeRgbaPng(1, 1, {1, 2, 3, 4});
    const Bytes second = EncodeRgbaPng(2, 1, {5, 6, 7, 8, 9, 10, 11, 12});
    int w = 0, h = 0;
    const uint8_t* p = ReadPNG_GetPixels(first.data(), int(first.size()), &w, &h, false);
    ASSERT_TRUE(p);
    // A size query in between leaves the kept pixels alone.
    ASSERT_TRUE(ReadPNG_GetSize(second.data(), int(second.size()), &w, &h, false));
    EXPECT_EQ(Bytes(p, p + 4), (Bytes{1, 2, 3, 4}));
    // A caller that forgot to free does not get the old image again.
    p = ReadPNG_GetPixels(second.data(), int(second.size()), &w, &h, false);
    ASSERT_TRUE(p);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(Bytes(p, p + 8), (Bytes{5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST_F(PngTest, CorruptFilesGiveAnError)
{
    const Bytes good = EncodeRgbaPng(16, 16, Gradient(16, 16));
    ASSERT_TRUE(Decode(good).ok);
    const size_t ihdr = 8;  // the IHDR chunk's length field
    auto withIhdr = [&](size_t field, uint32_t value) {
        Bytes b = good;
        PutBE32(b, ihdr + 8 + field, value);
        FixPngChunkCrc(b, ihdr);
        return b;
    };
    Bytes badCrc = good;
    badCrc[ihdr + 8] ^= 1;
    Bytes badSignature = good;
    badSignature[1] = 'Q';
    Bytes badDepth = good;
    badDepth[ihdr + 16] = 7;
    FixPngChunkCrc(badDepth, ihdr);
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"signature only", Bytes(good.begin(), good.begin() + 8)},
        {"truncated in IHDR", Bytes(good.begin(), good.begin() + 20)},
        {"truncated after IHDR", Bytes(good.begin(), good.begin() + 33)},
        {"truncated in IDAT", Bytes(good.begin(), good.begin() + good.size() / 2)},
        {"bad signature", badSignature},
        {"bad IHDR CRC", badCrc},
        {"bad bit depth", badDepth},
        {"huge width", withIhdr(0, 1000000)},
        {"huge both", withIhdr(0, 0x7FFFFFFF)},
        {"too many pixels", [&] { Bytes b = withIhdr(0, 16000); PutBE32(b, ihdr + 12, 16000); FixPngChunkCrc(b, ihdr); return b; }()},
        {"zero height", withIhdr(4, 0)},
    };
    for (const Case& c : cases) {
        int w = 0, h = 0;
        EXPECT_EQ(ReadPNG_GetPixels(c.file.data(), int(c.file.size()), &w, &h, false), nullptr) << c.name;
        EXPECT_EQ(w, -1) << c.name;
        EXPECT_EQ(h, -1) << c.name;
        ReadPNG_Free();
    }
    for (int i : {8, 10, 11}) {  // the header-only read catches header faults too
        const Bytes& file = cases[i].file;
        int w = 0, h = 0;
        EXPECT_FALSE(ReadPNG_GetSize(file.data(), int(file.size()), &w, &h, false)) << cases[i].name;
        EXPECT_EQ(w, -1);
    }
}

TEST_F(PngTest, NonPngLogsBothMessages)
{
    const Bytes junk = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
    ::testing::internal::CaptureStdout();
    int w = 0, h = 0;
    EXPECT_EQ(ReadPNG_GetPixels(junk.data(), int(junk.size()), &w, &h, false), nullptr);
    std::fflush(stdout);
    const std::string out = ::testing::internal::GetCapturedStdout();
    // The two texts exactly as they are: no line breaks of their own.
    EXPECT_EQ(out, "Not a PNG\nReadPNG :: a PNG error occured\n");
}

// A file that takes no bytes (a link to /dev/full) fails while the pixel rows are written.
TEST_F(PngTest, WriterFailingOnTheRowsLogsThatStageExactly)
{
    const std::string folder = ::testing::TempDir() + "qs_png_full/";
    std::filesystem::create_directories(folder);
    std::filesystem::remove(folder + "full.png");
    std::filesystem::create_symlink("/dev/full", folder + "full.png");
    Runner_SetSavePrefix(folder.c_str());
    Bytes noise(size_t(128) * 128 * 4);
    uint32_t seed = 12345;
    for (uint8_t& b : noise) b = uint8_t((seed = seed * 1103515245u + 12345u) >> 24);  // does not compress
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(write_png_file("full.png", noise.data(), 128, 128));
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "[write_png_file] Error during writing bytes\n");
    Runner_SetSavePrefix("");
    std::filesystem::remove_all(folder);
}
