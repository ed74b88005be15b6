#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "Base/MemoryManager.h"
#include "Graphics/JPEG_Main.h"
#include "support/ImageFixtures.h"

using namespace ImageFixtures;

namespace {
struct Decoded {
    bool ok;
    int width, height;
    Bytes pixels;
};

using Decoder = uint8_t* (*)(const uint8_t*, int, int*, int*);

Decoded Decode(Decoder decoder, const Bytes& data)
{
    Decoded d{};
    uint8_t* p = decoder(data.data(), int(data.size()), &d.width, &d.height);
    d.ok = p != nullptr;
    if (p) d.pixels.assign(p, p + size_t(d.width) * size_t(d.height) * 4);
    QS_FREE(p);
    return d;
}

// Four flat 8 x 8 blocks: red, green, blue, grey (JPEG keeps flat blocks
// within rounding).
JpegParams FourColourJpeg()
{
    JpegParams params;
    params.width = 16;
    params.height = 16;
    const uint8_t colours[4][3] = {{250, 10, 10}, {10, 250, 10}, {10, 10, 250}, {128, 128, 128}};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint8_t* c = colours[(y / 8) * 2 + x / 8];
            params.samples.insert(params.samples.end(), c, c + 3);
        }
    return params;
}

void ExpectNear(const Decoded& d, int x, int y, int r, int g, int b, const char* name)
{
    const uint8_t* p = d.pixels.data() + (size_t(y) * size_t(d.width) + size_t(x)) * 4;
    EXPECT_NEAR(p[0], r, 3) << name << " at " << x << "," << y;
    EXPECT_NEAR(p[1], g, 3) << name << " at " << x << "," << y;
    EXPECT_NEAR(p[2], b, 3) << name << " at " << x << "," << y;
    EXPECT_EQ(p[3], 0xFF) << name;
}

GifParams SmallGif()
{
    GifParams params;
    params.screenWidth = params.width = 3;
    params.screenHeight = params.height = 2;
    params.globalMap = {{0x10, 0x20, 0x30}, {0xFF, 0, 0}, {0, 0, 0xFF}};
    params.indices = {0, 1, 2, 2, 1, 0};
    return params;
}
}  // namespace

TEST(ReadJPEG, GreyPixelBecomesOpaqueGreyWord)
{
    JpegParams params;
    params.components = 1;
    params.samples.assign(64, 0x80);
    const Decoded d = Decode(ReadJPEG, EncodeJpeg(params));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 8);
    EXPECT_EQ(d.height, 8);
    uint32_t word;
    std::memcpy(&word, d.pixels.data() + 4 * 27, 4);
    EXPECT_EQ(word, 0xFF808080u);
}

TEST(ReadJPEG, ColoursComeOutRedGreenBlueInEveryEncoding)
{
    JpegParams baseline = FourColourJpeg();
    JpegParams progressive = baseline;
    progressive.progressive = true;
    JpegParams tables = baseline;
    tables.tablesFirst = true;
    const std::pair<const char*, JpegParams> cases[] = {{"baseline", baseline}, {"progressive", progressive}, {"tables first", tables}};
    for (const auto& [name, params] : cases) {
        const Decoded d = Decode(ReadJPEG, EncodeJpeg(params));
        ASSERT_TRUE(d.ok) << name;
        EXPECT_EQ(d.width, 16);
        ExpectNear(d, 3, 3, 250, 10, 10, name);
        ExpectNear(d, 12, 3, 10, 250, 10, name);
        ExpectNear(d, 3, 12, 10, 10, 250, name);
        ExpectNear(d, 12, 12, 128, 128, 128, name);
    }
}

TEST(ReadJPEG, AdobeCmykBecomesRgb)
{
    // Inks stored inverted, as Adobe files do: (255 - c, 255 - m, 255 - y, 255 - k).
    // Cyan 0, magenta 255, yellow 255, black 0 -> red.
    JpegParams params;
    params.components = 4;
    for (int i = 0; i < 64; ++i) params.samples.insert(params.samples.end(), {255, 0, 0, 255});
    const Decoded d = Decode(ReadJPEG, EncodeJpeg(params));
    ASSERT_TRUE(d.ok);
    ExpectNear(d, 4, 4, 255, 0, 0, "cmyk");
}

TEST(ReadJPEG, CorruptOrTruncatedDataGivesNull)
{
    const Bytes good = EncodeJpeg(FourColourJpeg());
    ASSERT_TRUE(Decode(ReadJPEG, good).ok);
    auto findMarker = [&](uint8_t marker) {
        for (size_t i = 0; i + 1 < good.size(); ++i)
            if (good[i] == 0xFF && good[i + 1] == marker) return i;
        return size_t(0);
    };
    const size_t sof = findMarker(0xC0);
    ASSERT_NE(sof, 0u);
    Bytes huge = good;  // SOF0: FF C0, length (2), precision, height (2), width (2)
    huge[sof + 5] = huge[sof + 6] = huge[sof + 7] = huge[sof + 8] = 0xFF;
    Bytes zero = good;
    zero[sof + 5] = zero[sof + 6] = 0;
    Bytes badPrecision = good;
    badPrecision[sof + 4] = 3;
    Bytes garbage = good;
    for (size_t i = findMarker(0xC4); i < findMarker(0xDA); ++i) garbage[i] = uint8_t(i * 37);
    struct Case {
        const char* name;
        Bytes data;
    } cases[] = {
        {"empty", {}},
        {"not a JPEG", Bytes{'G', 'I', 'F', '8', '9', 'a'}},
        {"start marker only", Bytes{0xFF, 0xD8}},
        {"truncated in tables", Bytes(good.begin(), good.begin() + 40)},
        {"truncated after frame header", Bytes(good.begin(), good.begin() + long(sof) + 12)},
        {"truncated in scan", Bytes(good.begin(), good.begin() + long(good.size()) * 3 / 4)},
        {"huge dimensions", huge},
        {"zero height", zero},
        {"bad precision", badPrecision},
        {"garbage huffman tables", garbage},
    };
    for (const Case& c : cases) {
        int w = -5, h = -5;
        uint8_t* p = ReadJPEG(c.data.data(), int(c.data.size()), &w, &h);
        EXPECT_EQ(p, nullptr) << c.name;
        QS_FREE(p);
    }
}

namespace {
void Segment(Bytes& out, uint8_t marker, const Bytes& payload)
{
    const size_t length = payload.size() + 2;
    out.insert(out.end(), {0xFF, marker, uint8_t(length >> 8), uint8_t(length)});
    out.insert(out.end(), payload.begin(), payload.end());
}

// A progressive colour image of width x height whose scans hold no data: the
// decoder would fill every block of every scan with zeros.
Bytes EmptyProgressiveJpeg(int width, int height, int scans)
{
    Bytes out = {0xFF, 0xD8};
    Bytes quantisation(65, 1);
    quantisation[0] = 0;  // table 0, 8-bit entries
    Segment(out, 0xDB, quantisation);
    Segment(out, 0xC2, {8, uint8_t(height >> 8), uint8_t(height), uint8_t(width >> 8), uint8_t(width), 3, 1, 0x11, 0,
                        2, 0x11, 0, 3, 0x11, 0});
    Bytes oneCode(17, 0);
    oneCode[1] = 1;  // one code of one bit, for symbol 0
    Bytes dc = {0x00};
    dc.insert(dc.end(), oneCode.begin() + 1, oneCode.end());
    dc.push_back(0);
    Bytes ac = dc;
    ac[0] = 0x10;
    Segment(out, 0xC4, dc);
    Segment(out, 0xC4, ac);
    Segment(out, 0xDA, {3, 1, 0, 2, 0, 3, 0, 0, 0, 0});
    for (int i = 0; i < scans; ++i) Segment(out, 0xDA, {1, uint8_t(1 + i % 3), 0, 1, 63, 0});
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}
}  // namespace

TEST(ReadJPEG, ImagesLargerThanTheirDataCouldHoldAreRefusedAndFlatOnesDecode)
{
    // A few hundred bytes declaring 64M pixels in 50 scans: minutes of work for nothing.
    EXPECT_FALSE(Decode(ReadJPEG, EmptyProgressiveJpeg(16384, 4096, 50)).ok);
    // A small image, but so many empty scans that they outweigh the file.
    EXPECT_FALSE(Decode(ReadJPEG, EmptyProgressiveJpeg(1024, 1024, 400)).ok);
    // The same form within what a file of its size may ask for decodes (to grey).
    const Decoded small = Decode(ReadJPEG, EmptyProgressiveJpeg(64, 64, 20));
    EXPECT_TRUE(small.ok);
    EXPECT_EQ(small.width, 64);

    // A flat colour compresses best of all real images, progressive or not.
    for (bool progressive : {false, true}) {
        JpegParams flat;
        flat.width = flat.height = 1024;
        flat.components = 1;
        flat.progressive = progressive;
        flat.samples.assign(size_t(1024) * 1024, 90);
        const Decoded d = Decode(ReadJPEG, EncodeJpeg(flat));
        ASSERT_TRUE(d.ok) << "progressive " << progressive;
        ExpectNear(d, 1000, 1000, 90, 90, 90, progressive ? "progressive" : "baseline");
    }
}

TEST(ReadGIF, ColoursComeOutRedGreenBlue)
{
    const Decoded d = Decode(ReadGIF, EncodeGif(SmallGif()));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 3);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(Bytes(d.pixels.begin(), d.pixels.begin() + 12),
              (Bytes{0x10, 0x20, 0x30, 0xFF, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0xFF}));
}

TEST(ReadGIF, GraphicsControlBlockSetsTransparentIndexOnlyWithFlag)
{
    GifParams params = SmallGif();
    params.controlFlags = 1;
    params.transparentIndex = 1;
    const Decoded withFlag = Decode(ReadGIF, EncodeGif(params));
    ASSERT_TRUE(withFlag.ok);
    EXPECT_EQ(withFlag.pixels[3], 0xFF);
    EXPECT_EQ(withFlag.pixels[7], 0x00);   // index 1
    EXPECT_EQ(withFlag.pixels[4], 0xFF);   // colour kept under alpha 0
    EXPECT_EQ(withFlag.pixels[19], 0x00);  // index 1 again

    params.controlFlags = 0;
    const Decoded withoutFlag = Decode(ReadGIF, EncodeGif(params));
    ASSERT_TRUE(withoutFlag.ok);
    for (size_t i = 3; i < withoutFlag.pixels.size(); i += 4) EXPECT_EQ(withoutFlag.pixels[i], 0xFF);
}

TEST(ReadGIF, SmallerImageSitsOnTransparentScreenWithItsLocalMap)
{
    GifParams params;
    params.screenWidth = 4;
    params.screenHeight = 3;
    params.left = 2;
    params.top = 1;
    params.width = 2;
    params.height = 2;
    params.localMap = {{1, 2, 3}, {4, 5, 6}};
    params.indices = {0, 1, 1, 0};
    params.extraFrames = 2;  // later frames are not read
    const Decoded d = Decode(ReadGIF, EncodeGif(params));
    ASSERT_TRUE(d.ok);
    ASSERT_EQ(d.width, 4);
    ASSERT_EQ(d.height, 3);
    auto at = [&](int x, int y) { return Bytes(d.pixels.begin() + (y * 4 + x) * 4, d.pixels.begin() + (y * 4 + x) * 4 + 4); };
    EXPECT_EQ(at(0, 0), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(at(1, 2), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(at(2, 1), (Bytes{1, 2, 3, 0xFF}));
    EXPECT_EQ(at(3, 1), (Bytes{4, 5, 6, 0xFF}));
    EXPECT_EQ(at(2, 2), (Bytes{4, 5, 6, 0xFF}));
}

TEST(ReadGIF, InterlacedRowsLandInPlace)
{
    GifParams params;
    params.screenWidth = params.width = 1;
    params.screenHeight = params.height = 11;
    params.globalMap.clear();
    for (int i = 0; i < 11; ++i) {
        params.globalMap.push_back({uint8_t(i * 10), 0, 0});
        params.indices.push_back(uint8_t(i));
    }
    params.interlaced = true;
    const Decoded d = Decode(ReadGIF, EncodeGif(params));
    ASSERT_TRUE(d.ok);
    for (int y = 0; y < 11; ++y) EXPECT_EQ(d.pixels[size_t(y) * 4], y * 10) << "row " << y;
}

TEST(ReadGIF, CorruptOrTruncatedDataGivesNull)
{
    GifParams big = SmallGif();
    big.width = big.screenWidth = 40;
    big.height = big.screenHeight = 40;
    big.indices.assign(1600, 1);
    for (size_t i = 0; i < big.indices.size(); i += 3) big.indices[i] = uint8_t(i % 3);
    const Bytes good = EncodeGif(big);
    ASSERT_TRUE(Decode(ReadGIF, good).ok);
    Bytes hugeScreen = good;
    hugeScreen[6] = hugeScreen[7] = hugeScreen[8] = hugeScreen[9] = 0xFF;
    GifParams noMap = SmallGif();
    noMap.globalMap.clear();
    // A 40 x 40 image on a screen of 919 x 16384, far larger than anything it shows.
    Bytes vastScreen = good;
    vastScreen[6] = 0x97, vastScreen[7] = 0x03, vastScreen[8] = 0x00, vastScreen[9] = 0x40;
    Bytes trailerOnly(good.begin(), good.begin() + 13 + 3 * 4);  // header, screen, global map of 4
    trailerOnly.push_back(0x3B);
    struct Case {
        const char* name;
        Bytes data;
    } cases[] = {
        {"empty", {}},
        {"bad signature", Bytes{'G', 'I', 'F', '0', '0', '0', 1, 0, 1, 0, 0, 0, 0}},
        {"header only", Bytes(good.begin(), good.begin() + 6)},
        {"truncated in colour map", Bytes(good.begin(), good.begin() + 16)},
        {"truncated in image descriptor", Bytes(good.begin(), good.begin() + 30)},
        {"truncated in image data", Bytes(good.begin(), good.begin() + long(good.size()) / 2)},
        {"huge screen", hugeScreen},
        {"screen far larger than its image", vastScreen},
        {"no colour map", EncodeGif(noMap)},
        {"no image", trailerOnly},
    };
    for (const Case& c : cases) {
        int w = 0, h = 0;
        uint8_t* p = ReadGIF(c.data.data(), int(c.data.size()), &w, &h);
        EXPECT_EQ(p, nullptr) << c.name;
        QS_FREE(p);
    }
    // A screen of 2048 x 2048 may hold an image of any size.
    Bytes largeScreen = good;
    largeScreen[6] = 0x00, largeScreen[7] = 0x08, largeScreen[8] = 0x00, largeScreen[9] = 0x08;
    const Decoded d = Decode(ReadGIF, largeScreen);
    EXPECT_TRUE(d.ok);
    EXPECT_EQ(d.width, 2048);
}
