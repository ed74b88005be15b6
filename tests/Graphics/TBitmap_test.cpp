#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "Base/MemoryManager.h"
#include "Buffer/MemoryStream.h"
#include "Graphics/TBitmap.h"
#include "support/ImageFixtures.h"

using namespace ImageFixtures;

namespace {
std::unique_ptr<TBitmap> LoadBmp(const Bytes& file, bool* ok)
{
    MemoryStream stream(0);
    stream.WriteBytes(file.data(), int64_t(file.size()));
    stream.SetPosition(0);
    std::unique_ptr<TBitmap> bitmap(TBitmap::Create());
    *ok = bitmap->LoadFromStream(&stream);
    return bitmap;
}

Bytes Row(const uint8_t* row, int count)
{
    return Bytes(row, row + count);
}
}  // namespace

TEST(TBitmap, NewBitmapAllocatesZeroedBlockOnFirstScanLine)
{
    std::unique_ptr<TBitmap> bitmap(TBitmap::Create());
    EXPECT_EQ(bitmap->GetPixelFormat(), TBitmapFormat_32);
    EXPECT_EQ(bitmap->GetChangeCounter(), -1);
    bitmap->SetWidth(3);
    bitmap->SetHeight(2);
    EXPECT_EQ(bitmap->GetChangeCounter(), 1);

    uint8_t* row = nullptr;
    int32_t stride = 0;
    uint8_t* first = bitmap->GetScanLine(1, &row, &stride);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(bitmap->GetBlockSize(), 24 + 52);
    EXPECT_EQ(stride, 12);
    EXPECT_EQ(row, first + 12);
    EXPECT_EQ(Row(first, 24), Bytes(24, 0));
    // A second lock hands out the same block; a row past the end gives none.
    EXPECT_EQ(bitmap->GetScanLine(2, &row, nullptr), first);
    EXPECT_EQ(row, nullptr);
}

TEST(TBitmap, StrideFollowsFormatWithoutPadding)
{
    struct Case {
        int32_t format, width, stride;
    } cases[] = {{TBitmapFormat_1, 10, 1}, {TBitmapFormat_4, 5, 2}, {TBitmapFormat_8, 5, 5},
                 {TBitmapFormat_15, 5, 10}, {TBitmapFormat_16, 3, 6}, {TBitmapFormat_24, 5, 15},
                 {TBitmapFormat_32, 5, 20}};
    for (const Case& c : cases) {
        std::unique_ptr<TBitmap> bitmap(TBitmap::Create());
        bitmap->SetPixelFormat(c.format);
        bitmap->SetWidth(c.width);
        EXPECT_EQ(bitmap->GetStride(), c.stride) << "format " << c.format;
    }
}

TEST(TBitmap, ScanLineReallocatesWhenSizeOutgrowsBlock)
{
    std::unique_ptr<TBitmap> bitmap(TBitmap::Create());
    bitmap->SetWidth(2);
    bitmap->SetHeight(2);
    ASSERT_NE(bitmap->GetScanLine(0, nullptr, nullptr), nullptr);
    bitmap->SetWidth(64);
    bitmap->SetHeight(64);
    uint8_t* row = nullptr;
    ASSERT_NE(bitmap->GetScanLine(63, &row, nullptr), nullptr);
    EXPECT_EQ(bitmap->GetBlockSize(), 52 + 64 * 64 * 4);
    std::memset(row, 0xAB, 64 * 4);  // the last row is inside the block (ASan checks)
}

TEST(TBitmap, RefusesSizesOutsideLimits)
{
    const int32_t sizes[][2] = {{0, 5}, {5, 0}, {-3, 4}, {100000, 1}, {16384, 16384}};
    for (const auto& s : sizes) {
        std::unique_ptr<TBitmap> bitmap(TBitmap::Create());
        bitmap->SetWidth(s[0]);
        bitmap->SetHeight(s[1]);
        EXPECT_EQ(bitmap->GetScanLine(0, nullptr, nullptr), nullptr) << s[0] << "x" << s[1];
    }
}

TEST(TBitmap, CopyFromIsIndependentAndKeepsFormat)
{
    std::unique_ptr<TBitmap> source(TBitmap::Create());
    source->SetPixelFormat(TBitmapFormat_24);
    source->SetWidth(2);
    source->SetHeight(3);
    uint8_t* pixels = source->GetScanLine(0, nullptr, nullptr);
    for (int i = 0; i < 18; ++i) pixels[i] = uint8_t(i + 1);

    std::unique_ptr<TBitmap> copy(TBitmap::Create());
    const int32_t counter = copy->GetChangeCounter();
    copy->CopyFrom(source.get());
    EXPECT_GT(copy->GetChangeCounter(), counter);
    EXPECT_EQ(copy->GetWidth(), 2);
    EXPECT_EQ(copy->GetHeight(), 3);
    EXPECT_EQ(copy->GetPixelFormat(), TBitmapFormat_24);
    EXPECT_EQ(copy->GetStride(), 6);
    uint8_t* copied = copy->GetScanLine(0, nullptr, nullptr);
    ASSERT_NE(copied, pixels);
    EXPECT_EQ(Row(copied, 18), Row(pixels, 18));
    source.reset();
    EXPECT_EQ(copied[17], 18);
}

TEST(BitmapLoader, HandsOutIndependentCopiesOfFrameZeroOnly)
{
    const uint8_t pixels[2 * 2 * 4] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    std::unique_ptr<BitmapLoader> loader(BitmapLoader::Create(pixels, 2, 2));
    ASSERT_TRUE(loader);
    EXPECT_FALSE(loader->HasOwnFrames());
    EXPECT_EQ(loader->GetFrameCount(), 1);
    EXPECT_EQ(loader->CreateTBitmap(1), nullptr);
    EXPECT_EQ(loader->CreateTBitmap(-1), nullptr);

    std::unique_ptr<TBitmap> a(loader->CreateTBitmap(0));
    std::unique_ptr<TBitmap> b(loader->CreateTBitmap(0));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->GetWidth(), 2);
    EXPECT_EQ(a->GetHeight(), 2);
    EXPECT_EQ(a->GetPixelFormat(), TBitmapFormat_32);
    EXPECT_EQ(a->GetStride(), 8);
    uint8_t* pa = a->GetScanLine(0, nullptr, nullptr);
    uint8_t* pb = b->GetScanLine(0, nullptr, nullptr);
    EXPECT_NE(pa, pb);
    EXPECT_EQ(Row(pa, 16), Row(pixels, 16));
    pa[0] = 99;
    a.reset();
    EXPECT_EQ(Row(pb, 16), Row(pixels, 16));
    std::unique_ptr<TBitmap> c(loader->CreateTBitmap(0));
    EXPECT_EQ(Row(c->GetScanLine(0, nullptr, nullptr), 16), Row(pixels, 16));
}

TEST(BitmapLoader, RefusesBadSizes)
{
    const uint8_t pixel[4] = {};
    EXPECT_EQ(BitmapLoader::Create(pixel, 0, 1), nullptr);
    EXPECT_EQ(BitmapLoader::Create(pixel, 1, -1), nullptr);
    EXPECT_EQ(BitmapLoader::Create(nullptr, 1, 1), nullptr);
    EXPECT_EQ(BitmapLoader::Create(pixel, 70000, 70000), nullptr);
}

TEST(TBitmap, AdoptBufferChecksHeaderAgainstSize)
{
    auto makeBlock = [](int32_t width, int32_t height, int32_t offset, int32_t size) {
        auto* block = static_cast<uint8_t*>(QS_ALLOC(size_t(size), true));
        std::memcpy(block + TBitmap_OffPixelOffset, &offset, 4);
        std::memcpy(block + TBitmap_OffWidth, &width, 4);
        std::memcpy(block + TBitmap_OffHeight, &height, 4);
        return block;
    };
    struct Case {
        int32_t width, height, offset, size;
        bool ok;
    } cases[] = {
        {2, 2, 52, 52 + 16, true},   {2, 2, 52, 52 + 15, false}, {2, 2, 60, 52 + 16, false},
        {2, 2, 40, 52 + 16, false},  {0, 2, 52, 52 + 16, false}, {-1, 2, 52, 52 + 16, false},
        {2, 2, 52, 30, false},       {1 << 20, 1 << 20, 52, 100, false},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TBitmap> bitmap(TBitmap::Create());
        EXPECT_EQ(bitmap->AdoptBuffer(makeBlock(c.width, c.height, c.offset, c.size), c.size), c.ok)
            << c.width << "x" << c.height << " offset " << c.offset << " size " << c.size;
        EXPECT_EQ(bitmap->GetScanLine(0, nullptr, nullptr) != nullptr, c.ok);
    }
}

TEST(TBitmapStream, PalettedFileBecomes32BitThroughPalette)
{
    BmpParams params;
    params.width = 3;  // rows of 3 bytes are padded to 4 in the file
    params.height = 2;
    params.bitsPerPixel = 8;
    params.palette.assign(6, 0);
    params.palette[5] = 0x302010;  // red 0x30, green 0x20, blue 0x10
    params.palette[1] = 0xFFFFFF;
    params.rows = {5, 1, 0, 0, 5, 200};  // index 200 lies past the palette
    bool ok = false;
    auto bitmap = LoadBmp(MakeBmp(params), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(bitmap->GetPixelFormat(), TBitmapFormat_32);
    EXPECT_EQ(bitmap->GetWidth(), 3);
    EXPECT_EQ(bitmap->GetHeight(), 2);
    const uint32_t* px = reinterpret_cast<const uint32_t*>(bitmap->GetScanLine(0, nullptr, nullptr));
    EXPECT_EQ(px[0], 0xFF302010u);
    EXPECT_EQ(px[1], 0xFFFFFFFFu);
    EXPECT_EQ(px[2], 0xFF000000u);
    EXPECT_EQ(px[4], 0xFF302010u);
    EXPECT_EQ(px[5], 0xFF000000u);
}

TEST(TBitmapStream, RowsComeOutTopDownAndUnpadded)
{
    for (bool topDown : {false, true}) {
        BmpParams params;
        params.width = 3;
        params.height = 3;
        params.bitsPerPixel = 24;
        params.topDown = topDown;
        for (int i = 0; i < 27; ++i) params.rows.push_back(uint8_t(i));
        bool ok = false;
        auto bitmap = LoadBmp(MakeBmp(params), &ok);
        ASSERT_TRUE(ok) << topDown;
        EXPECT_EQ(bitmap->GetPixelFormat(), TBitmapFormat_24);
        EXPECT_EQ(bitmap->GetHeight(), 3);
        int32_t stride = 0;
        uint8_t* pixels = bitmap->GetScanLine(0, nullptr, &stride);
        EXPECT_EQ(stride, 9);
        EXPECT_EQ(Row(pixels, 27), params.rows) << topDown;
    }
}

TEST(TBitmapStream, PaletteFollowsALargerInfoHeader)
{
    BmpParams params;
    params.width = 1;
    params.height = 1;
    params.bitsPerPixel = 8;
    params.infoSize = 124;
    params.palette = {0x000000, 0x0A0B0C};
    params.rows = {1};
    bool ok = false;
    auto bitmap = LoadBmp(MakeBmp(params), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(*reinterpret_cast<const uint32_t*>(bitmap->GetScanLine(0, nullptr, nullptr)), 0xFF0A0B0Cu);
}

TEST(TBitmapStream, CorruptFilesLeaveNoPixels)
{
    BmpParams params;
    params.width = 4;
    params.height = 4;
    params.bitsPerPixel = 32;
    params.rows.assign(64, 7);
    const Bytes good = MakeBmp(params);
    auto patched = [&](size_t at, uint32_t value) {
        Bytes b = good;
        for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(value >> (8 * i));
        return b;
    };
    struct Case {
        const char* name;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"not BM", Bytes{'B', 'X', 0, 0}},
        {"signature only", Bytes{'B', 'M'}},
        {"truncated in header", Bytes(good.begin(), good.begin() + 30)},
        {"truncated in pixels", Bytes(good.begin(), good.end() - 1)},
        {"pixel offset past end", patched(10, 0x7FFFFFF0)},
        {"pixel offset inside header", patched(10, 20)},
        {"huge width", patched(18, 0x10000000)},
        {"huge negative height", patched(22, 0x80000000)},
        {"zero width", patched(18, 0)},
        {"info size too small", patched(14, 12)},
        {"info size past end", patched(14, 0x7FFFFFFF)},
        {"run-length compression", patched(30, 1)},
        {"odd bit count", patched(28, 7)},
    };
    for (const Case& c : cases) {
        bool ok = true;
        auto bitmap = LoadBmp(c.file, &ok);
        EXPECT_FALSE(ok) << c.name;
        EXPECT_EQ(bitmap->GetBlockSize(), 0) << c.name;
    }
    bool ok = false;
    LoadBmp(good, &ok);
    EXPECT_TRUE(ok);
}

TEST(TBitmapStream, StreamAtItsEndLoadsNothing)
{
    MemoryStream stream(0);
    const uint8_t bm[2] = {'B', 'M'};
    stream.WriteBytes(bm, 2);
    std::unique_ptr<TBitmap> bitmap(TBitmap::Create());
    EXPECT_FALSE(bitmap->LoadFromStream(&stream));
    EXPECT_FALSE(bitmap->LoadFromStream(nullptr));
}
