#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/TBitmap.h"

namespace {
// A 32-bit TBitmap of the given 0xAARRGGBB words, rows from the top.
std::unique_ptr<TBitmap> MakeTBitmap(int32_t width, int32_t height, const std::vector<uint32_t>& words)
{
    std::unique_ptr<TBitmap> bitmap(TBitmap::Create());
    bitmap->SetWidth(width);
    bitmap->SetHeight(height);
    auto* rows = reinterpret_cast<uint32_t*>(bitmap->GetScanLine(0, nullptr, nullptr));
    for (size_t i = 0; i < words.size(); ++i) rows[i] = words[i];
    return bitmap;
}

std::vector<uint32_t> Pixels(const CBitmap32& b)
{
    return std::vector<uint32_t>(b.GetPixels(), b.GetPixels() + b.GetWidth() * b.GetHeight());
}
}  // namespace

TEST(Bitmap32, ColourImageIsOpaqueAndAtLeastOnePixel)
{
    CBitmap32 tiny(0, 0, 0x0000FF);
    ASSERT_TRUE(tiny.IsValid());
    EXPECT_EQ(tiny.GetWidth(), 1);
    EXPECT_EQ(tiny.GetHeight(), 1);
    EXPECT_EQ(tiny.GetPixels()[0], 0xFFFF0000u);  // red of a colour word in the pixel's red byte
    CBitmap32 block(3, 2, 0x123456);
    EXPECT_EQ(block.GetByteSize(), 24);
    EXPECT_EQ(Pixels(block), std::vector<uint32_t>(6, 0xFF563412u));
}

TEST(Bitmap32, GradientsMixPerKind)
{
    CBitmap32 horizontal(4, 1, 0x000000, 0xFFFFFF, 0);
    EXPECT_EQ(Pixels(horizontal), (std::vector<uint32_t>{0xFF000000u, 0xFF404040u, 0xFF808080u, 0xFFBFBFBFu}));
    CBitmap32 vertical(1, 2, 0x0000FF, 0xFF0000, 1);
    EXPECT_EQ(Pixels(vertical), (std::vector<uint32_t>{0xFFFF0000u, 0xFF800080u}));
    // Double horizontal: both edges c1, the middle nearest c2.
    CBitmap32 twice(5, 1, 0x000000, 0x0000FF, 4);
    const std::vector<uint32_t> p = Pixels(twice);
    EXPECT_EQ(p[0], 0xFF000000u);
    EXPECT_EQ(p[4], 0xFF000000u);
    EXPECT_EQ(p[2], 0xFFCC0000u);  // t = 2 / 2.5
    // Ellipse: corners keep c1; the centre takes ring 3 of 4.5 (ring 4 misses every pixel centre).
    CBitmap32 ellipse(9, 9, 0x000000, 0x0000FF, 3);
    EXPECT_EQ(ellipse.GetPixels()[0], 0xFF000000u);
    EXPECT_EQ(ellipse.GetPixels()[4 * 9 + 4], 0xFFAA0000u);
    CBitmap32 unknown(2, 2, 0xFFFFFF, 0xFFFFFF, 9);
    EXPECT_EQ(unknown.GetPixels()[3], 0xFF000000u);
}

TEST(Bitmap32, RemoveBackgroundKeysOnTheBottomLeftAndBleedsOnePixel)
{
    const uint32_t M = 0xFFFF00FFu, G = 0xFF00FF00u;
    auto source = MakeTBitmap(4, 2, {M, G, M, M, M, M, M, M});
    CBitmap32 keyed(source.get(), true, false);
    ASSERT_TRUE(keyed.IsValid());
    // Every magenta pixel is transparent; its colour comes from an opaque neighbour when it has one.
    EXPECT_EQ(Pixels(keyed), (std::vector<uint32_t>{0x0000FF00u, G, 0x0000FF00u, 0x00FF00FFu, 0x00FF00FFu,
                                                    0x0000FF00u, 0x00FF00FFu, 0x00FF00FFu}));
    // Without remove-back the opaque conversion drops the source alpha.
    auto translucent = MakeTBitmap(1, 1, {0x10203040u});
    EXPECT_EQ(CBitmap32(translucent.get(), false, false).GetPixels()[0], 0xFF203040u);
    EXPECT_EQ(CBitmap32(translucent.get(), false, false, true).GetPixels()[0], 0x10203040u);
}

TEST(Bitmap32, SmoothEdgesTakesAlphaFromNeighboursOfTransparentPixels)
{
    auto source = MakeTBitmap(3, 1, {0x00000000u, 0xFF0000FFu, 0xFF0000FFu});
    CBitmap32 smooth(source.get(), false, false, true);
    smooth.SmoothEdges();
    EXPECT_EQ(Pixels(smooth), (std::vector<uint32_t>{0x00000000u, 0xDF0000FFu, 0xFF0000FFu}));
    auto faint = MakeTBitmap(2, 1, {0x00000000u, 0x200000FFu});
    CBitmap32 gone(faint.get(), false, false, true);
    gone.SmoothEdges();  // alpha 32 goes to 0, and the pixel then counts as transparent itself
    EXPECT_EQ(gone.GetPixels()[1], 0x000000FFu);
}

TEST(Bitmap32, UnsupportedSourcesAndRectanglesOutsideGiveInvalidBitmaps)
{
    std::unique_ptr<TBitmap> eight(TBitmap::Create());
    eight->SetPixelFormat(TBitmapFormat_16);
    eight->SetWidth(2);
    eight->SetHeight(2);
    EXPECT_FALSE(CBitmap32(eight.get(), false, false).IsValid());
    auto rgb = MakeTBitmap(2, 2, {1, 2, 3, 4});
    EXPECT_FALSE(CBitmap32(nullptr, false, false).IsValid());

    CBitmap32 whole(rgb.get(), false, false, true);
    EXPECT_FALSE(CBitmap32(whole, 1, 0, 2, 2).IsValid());  // one pixel past the right edge
    CBitmap32 part(whole, 1, 1, 1, 1);
    ASSERT_TRUE(part.IsValid());
    EXPECT_EQ(part.GetPixels()[0], 4u);
    // Operations on an invalid bitmap do nothing.
    CBitmap32 invalid(whole, 5, 5, 1, 1);
    invalid.Resize(4, 4);
    invalid.RemoveBackground();
    EXPECT_EQ(invalid.ToTBitmap(), nullptr);
    int32_t bounds[4] = {9, 9, 9, 9};
    invalid.GetOpaqueBounds(bounds);
    EXPECT_EQ(std::vector<int32_t>(bounds, bounds + 4), (std::vector<int32_t>{0, 0, 0, 0}));
}

TEST(Bitmap32, OpaqueBoundsAlphaTransferResizeAndRoundTrip)
{
    auto clear = MakeTBitmap(10, 8, std::vector<uint32_t>(80, 0x00FFFFFFu));
    CBitmap32 empty(clear.get(), false, false, true);
    int32_t bounds[4];
    empty.GetOpaqueBounds(bounds);
    EXPECT_EQ(std::vector<int32_t>(bounds, bounds + 4), (std::vector<int32_t>{9, 7, 0, 0}));
    empty.GetPixels()[2 * 10 + 3] = 0x01000000u;
    empty.GetPixels()[5 * 10 + 6] = 0xFF000000u;
    empty.GetOpaqueBounds(bounds);
    EXPECT_EQ(std::vector<int32_t>(bounds, bounds + 4), (std::vector<int32_t>{3, 2, 6, 5}));

    CBitmap32 target(2, 1, 0xFFFFFF);
    auto greys = MakeTBitmap(1, 1, {0xFF306090u});  // (0x30 + 0x60 + 0x90) / 3 = 0x60
    CBitmap32 mask(greys.get(), false, false);
    target.SetAlphaFrom(&mask);
    EXPECT_EQ(Pixels(target), (std::vector<uint32_t>{0x60FFFFFFu, 0xFFFFFFFFu}));

    auto four = MakeTBitmap(2, 2, {1, 2, 3, 4});
    CBitmap32 grown(four.get(), false, false, true);
    grown.Resize(4, 1);
    EXPECT_EQ(Pixels(grown), (std::vector<uint32_t>{1, 1, 2, 2}));

    std::unique_ptr<TBitmap> back(grown.ToTBitmap());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetPixelFormat(), TBitmapFormat_32);
    CBitmap32 again(back.get(), false, false, true);
    EXPECT_EQ(Pixels(again), Pixels(grown));
    CBitmap32 copy(1, 1, 0);
    copy.Assign(grown);
    EXPECT_EQ(Pixels(copy), Pixels(grown));
}
