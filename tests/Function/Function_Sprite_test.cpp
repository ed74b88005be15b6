// The sprite built-ins as game code calls them: queries of live, missing and
// deleted sprites, argument checks, the vector and skeleton refusals, copies,
// saving as PNG read back pixel for pixel, prefetch and flush, and the
// instance refresh after a change of origin or box.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

#include "Function/Function_Sprite.h"
#include "Function/ResourceFunctionFixture.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/ReadPNG.h"
#include "Graphics/VertexBuilderM.h"
#include "Sprite/Sprite_Main.h"
#include "World/Instance.h"
#include "support/GpuTestFrame.h"
#include "support/ImageFixtures.h"
#include "support/TestSprites.h"

namespace {

struct SpriteFunctions : ResourceFunctions {
    void SetUp() override
    {
        LayerMode = true;
        SetUpWith({InitSpriteFunctions});
    }
    void TearDown() override
    {
        Sprite_Init();
        ResourceFunctions::TearDown();
    }

    // A run-time sprite of frames w x h cut from pixels (0xAARRGGBB, a strip frames x w wide).
    static int32_t PixelSprite(const std::vector<uint32_t>& strip, int32_t w, int32_t h, int32_t frames)
    {
        const int32_t index = Sprite_AddEmpty();
        EXPECT_TRUE(Sprite_Get(index)->LoadFromPixels(strip.data(), w * frames, h, frames, false, false, false, 0, 0,
                                                      true));
        return index;
    }
    // The RGBA bytes of a PNG in the save area; empty when it is missing or does not decode.
    std::vector<uint8_t> ReadSavedPng(const char* name, int* width, int* height)
    {
        std::ifstream f(save + name, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        *width = *height = -1;
        if (bytes.empty()) return {};
        const uint8_t* px = ReadPNG_GetPixels(bytes.data(), static_cast<int>(bytes.size()), width, height, false);
        std::vector<uint8_t> out;
        if (px) out.assign(px, px + size_t(*width) * size_t(*height) * 4);
        ReadPNG_Free();
        return out;
    }
    void WritePng(const std::string& name, int width, int height, uint8_t red)
    {
        ImageFixtures::Bytes rgba;
        for (int k = 0; k < width * height; ++k) rgba.insert(rgba.end(), {red, 10, 20, 255});
        const ImageFixtures::Bytes png = ImageFixtures::EncodeRgbaPng(width, height, rgba);
        std::ofstream(save + name, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), long(png.size()));
    }
};

TEST_F(SpriteFunctions, QueriesOfLiveMissingAndDeletedSprites)
{
    TestSpriteFields fields{3, 16, 8};
    fields.xorigin = 4;
    fields.yorigin = 2;
    const int32_t live = TestSprite_Add(fields);
    const int32_t gone = TestSprite_Add({1, 2, 2});
    EXPECT_EQ(Num("sprite_delete", {R(gone)}), 1);
    EXPECT_EQ(Num("sprite_delete", {R(gone)}), -1) << "a deleted handle names nothing";

    const struct {
        const char* name;
        double live;
    } cases[] = {
        {"sprite_get_number", 3},      {"sprite_get_width", 16},       {"sprite_get_height", 8},
        {"sprite_get_xoffset", 4},     {"sprite_get_yoffset", 2},      {"sprite_get_transparent", 1},
        {"sprite_get_smooth", 0},      {"sprite_get_preload", 1},      {"sprite_get_precise", 1},
        {"sprite_get_bbox_mode", 0},   {"sprite_get_bbox_left", 0},    {"sprite_get_bbox_right", 15},
        {"sprite_get_bbox_top", 0},    {"sprite_get_bbox_bottom", 7},  {"sprite_get_speed", 1},
        {"sprite_get_speed_type", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Num(c.name, {R(live)}), c.live);
        EXPECT_EQ(Num(c.name, {R(gone)}), -1) << "missing getters give -1, booleans too";
        EXPECT_EQ(Num(c.name, {R(-5)}), -1);
        EXPECT_EQ(Num(c.name, {R(1000)}), -1);
    }
    EXPECT_EQ(Num("sprite_exists", {R(live)}), 1);
    EXPECT_EQ(Num("sprite_exists", {R(gone)}), 0);
    EXPECT_EQ(Str("sprite_get_name", {R(live)}), "__newsprite0");
    EXPECT_EQ(Str("sprite_name", {R(gone)}), "<undefined>");
    EXPECT_EQ(TakeLog(), "Sprite id 1 not found\nSprite id -5 not found\nSprite id 1000 not found\n"
                         "Sprite id 1 not found\nSprite id -5 not found\nSprite id 1000 not found\n");

    // Too few arguments: a report naming the built-in, and no result.
    EXPECT_TRUE(NoResult("sprite_get_width", {}));
    EXPECT_EQ(TakeError(), "sprite_get_width: 0 arguments given, 1 needed");
    EXPECT_TRUE(NoResult("sprite_set_offset", {R(live), R(1)}));
    EXPECT_EQ(TakeError(), "sprite_set_offset: 2 arguments given, 3 needed");
    EXPECT_EQ(Sprite_Get(live)->xorigin, 4);
    // An argument of the wrong kind is reported with its position.
    Num("sprite_get_width", {Array({})});
    EXPECT_NE(TakeError().find("sprite_get_width argument 1 incorrect type"), std::string::npos);
}

TEST_F(SpriteFunctions, NewSpritesKeepTheirHandlesWhenOthersGo)
{
    WritePng("a.png", 4, 2, 200);
    const double a = Num("sprite_add", {S("a.png"), R(1), R(0), R(0), R(1), R(1)});
    const double b = Num("sprite_add", {S("a.png"), R(2), R(1), R(1), R(0), R(1), R(0), R(0)});
    ASSERT_EQ(a, 0);
    ASSERT_EQ(b, 1);
    EXPECT_EQ(Num("sprite_get_xoffset", {R(a)}), 1);
    EXPECT_EQ(Num("sprite_get_precise", {R(a)}), 0) << "the short form is never precise";
    EXPECT_EQ(Num("sprite_get_number", {R(b)}), 2);
    EXPECT_EQ(Num("sprite_get_width", {R(b)}), 2);
    EXPECT_EQ(Num("sprite_add", {S("missing.png"), R(1), R(0), R(0), R(0), R(0)}), -1);
    EXPECT_EQ(Num("sprite_add", {S("a.png"), R(1), R(0)}), -1);
    EXPECT_EQ(TakeError(), "sprite_add: 3 arguments given, 8 needed");

    const double copy = Num("sprite_duplicate", {R(a)});
    EXPECT_EQ(copy, 2);
    EXPECT_EQ(Num("sprite_delete", {R(a)}), 1);
    EXPECT_EQ(Num("sprite_get_width", {R(b)}), 2) << "the others keep their handles";
    EXPECT_EQ(Num("sprite_get_width", {R(copy)}), 4);
    EXPECT_EQ(Num("sprite_duplicate", {R(a)}), -1);
    EXPECT_EQ(Num("sprite_add", {S("a.png"), R(1), R(0), R(0), R(0), R(0)}), 3) << "a deleted slot is not reused";

    // sprite_replace: 1 or 0 for a live sprite with 7 or 9 arguments, -1 otherwise.
    EXPECT_EQ(Num("sprite_replace", {R(b), S("a.png"), R(1), R(0), R(0), R(2), R(3)}), 1);
    EXPECT_EQ(Num("sprite_get_xoffset", {R(b)}), 2);
    EXPECT_EQ(Num("sprite_replace", {R(b), S("missing.png"), R(1), R(0), R(0), R(0), R(0), R(0), R(0)}), 0);
    EXPECT_EQ(Num("sprite_replace", {R(a), S("a.png"), R(1), R(0), R(0), R(0), R(0)}), -1);
    EXPECT_EQ(Num("sprite_replace", {R(b), S("a.png"), R(1)}), -1);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(SpriteFunctions, SavedFramesReadBackPixelForPixel)
{
    // Two 3 x 2 frames of distinct colours, one pixel half transparent.
    const std::vector<uint32_t> strip = {
        0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80102030, 0xFF112233, 0xFFFFFFFF,  // row 0: frame 0 | frame 1
        0xFF000000, 0x40ABCDEF, 0xFF123456, 0xFF654321, 0xFF00FFFF, 0xFFFF00FF,  // row 1
    };
    const int32_t s = PixelSprite(strip, 3, 2, 2);
    auto rgba = [](uint32_t argb) {
        return std::vector<uint8_t>{uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24)};
    };

    EXPECT_TRUE(NoResult("sprite_save", {R(s), R(1), S("frame1.png")}));
    int w = 0, h = 0;
    std::vector<uint8_t> got = ReadSavedPng("frame1.png", &w, &h);
    ASSERT_EQ(w, 3);
    ASSERT_EQ(h, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::vector<uint8_t> want = rgba(strip[size_t(y) * 6 + 3 + x]);
            EXPECT_EQ(std::vector<uint8_t>(got.begin() + (y * 3 + x) * 4, got.begin() + (y * 3 + x) * 4 + 4), want)
                << x << "," << y;
        }

    Call("sprite_save_strip", {R(s), S("strip.png")});
    got = ReadSavedPng("strip.png", &w, &h);
    ASSERT_EQ(w, 6);
    ASSERT_EQ(h, 2);
    for (size_t k = 0; k < strip.size(); ++k)
        EXPECT_EQ(std::vector<uint8_t>(got.begin() + k * 4, got.begin() + k * 4 + 4), rgba(strip[k])) << k;

    // Frames outside the sprite, and sprites without pixels, write nothing.
    Call("sprite_save", {R(s), R(2), S("none.png")});
    const int32_t noPixels = TestSprite_Add({2, 4, 4});
    Call("sprite_save", {R(noPixels), R(0), S("none.png")});
    Call("sprite_save_strip", {R(noPixels), S("none.png")});
    EXPECT_EQ(TakeLog(), "sprite_save() failed - no bitmap data available\n"
                         "sprite_save() failed - no bitmap data available\n"
                         "sprite_save_strip() failed - Missing bitmap data\n");
    EXPECT_FALSE(std::filesystem::exists(save + "none.png"));
    Call("sprite_save", {R(99), R(0), S("none.png")});
    // A strip too wide for a bitmap is refused before any frame is looked at.
    const int32_t huge = TestSprite_Add({70000, 40000, 1});
    Call("sprite_save_strip", {R(huge), S("none.png")});
    EXPECT_EQ(TakeLog(), "");
    EXPECT_FALSE(std::filesystem::exists(save + "none.png"));
}

TEST_F(SpriteFunctions, VectorAndSkeletonSpritesAreRefusedWithTheirMessages)
{
    const int32_t plain = TestSprite_Add({1, 4, 4});
    TestSpriteFields vectorFields{1, 4, 4};
    vectorFields.kind = SPRITE_KIND_VECTOR;
    const int32_t vec = TestSprite_Add(vectorFields);
    TestSpriteFields skeletonFields{1, 4, 4};
    skeletonFields.kind = SPRITE_KIND_SKELETON;
    const int32_t skel = TestSprite_Add(skeletonFields);

    const struct {
        const char* name;
        std::vector<double> args;
        const char* error;
    } cases[] = {
        {"sprite_assign", {double(plain), 77}, "Cannot assign to or from non-existing sprite"},
        {"sprite_merge", {77, double(plain)}, "Cannot merge to or from non-existing sprite"},
        {"sprite_assign", {double(vec), double(skel)},
         "sprite_assign: not supported for vector sprites - destination sprite is a vector sprite"},
        {"sprite_merge", {double(skel), double(vec)},
         "sprite_merge: not supported for vector sprites - source sprite is a vector sprite"},
        {"sprite_assign", {double(skel), double(plain)},
         "sprite_assign: not supported for skeleton based sprites - destination sprite is a skeleton sprite"},
        {"sprite_merge", {double(plain), double(skel)},
         "sprite_merge: not supported for skeleton based sprites - source sprite is a skeleton sprite"},
        {"sprite_duplicate", {double(vec)}, "sprite_duplicate: not supported for vector sprites"},
        {"sprite_duplicate", {double(skel)}, "sprite_duplicate: not supported for skeleton based sprites"},
        {"sprite_save", {double(vec), 0}, "sprite_save: not supported for vector sprites"},
        {"sprite_collision_mask", {double(skel), 0, 0, 0, 0, 0, 0, 0, 0},
         "sprite_collision_mask: not supported for vector sprites"},
        {"sprite_add_from_screen", {double(vec), 0, 0, 4, 4, 0, 0},
         "sprite_add_from_screen: not supported with vector sprites"},
        {"sprite_set_alpha_from_sprite", {double(vec), double(plain)},
         "sprite_set_alpha_from_sprite: not supported with vector sprites - sprite to change is a vector sprite"},
        {"sprite_set_alpha_from_sprite", {double(plain), double(skel)},
         "sprite_set_alpha_from_sprite: not supported with vector sprites - sprite to derive transparency from is "
         "a vector sprite"},
        {"sprite_set_precise", {double(vec), 1},
         "sprite_set_precise: can't set precise collision on vector sprite with no collision masks generated"},
        {"sprite_set_precise", {double(vec), 0}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ScriptValue> args;
        for (double v : c.args) args.push_back(R(v));
        if (std::string(c.name) == "sprite_save") args.push_back(S("v.png"));
        EXPECT_TRUE(NoResult(c.name, args));
        EXPECT_EQ(TakeError(), c.error);
    }
    EXPECT_FALSE(Sprite_Get(vec)->precise) << "turning precise off needs no masks";
    EXPECT_EQ(Sprite_Count(), 3) << "nothing was copied";
    EXPECT_TRUE(NoResult("sprite_save_strip", {R(skel), S("s.png")}));
    EXPECT_EQ(TakeError(), "sprite_save_strip: not supported for vector sprites");
}

TEST_F(SpriteFunctions, AssignAndMergeCopyFrames)
{
    const std::vector<uint32_t> red(4, 0xFFFF0000), blue(8, 0xFF0000FF);
    const int32_t a = PixelSprite(red, 2, 2, 1);
    const int32_t b = PixelSprite(blue, 2, 2, 2);
    Call("sprite_merge", {R(a), R(b)});
    EXPECT_EQ(Num("sprite_get_number", {R(a)}), 3);
    Call("sprite_assign", {R(b), R(a)});
    EXPECT_EQ(Num("sprite_get_number", {R(b)}), 3);
    EXPECT_EQ(Sprite_Get(b)->GetFrameBitmap(0)->GetPixels()[0], 0xFFFF0000u);
    EXPECT_EQ(Str("sprite_get_name", {R(b)}), "__newsprite1") << "the destination keeps its own name";
    EXPECT_EQ(TakeError(), "");
}

TEST_F(SpriteFunctions, PrefetchAndFlushWalkTheirListsUntilAVectorSprite)
{
    const std::vector<uint32_t> px(4, 0xFFFFFFFF);
    const int32_t a = PixelSprite(px, 2, 2, 1);
    TestSpriteFields vectorFields{1, 4, 4};
    vectorFields.kind = SPRITE_KIND_VECTOR;
    const int32_t vec = TestSprite_Add(vectorFields);
    const int32_t b = PixelSprite(px, 2, 2, 1);

    EXPECT_EQ(Num("sprite_prefetch", {R(a)}), 0);
    EXPECT_EQ(Num("sprite_flush", {R(42)}), 0);
    EXPECT_EQ(Num("sprite_prefetch", {R(vec)}), -1);
    EXPECT_EQ(TakeLog(), "sprite_flush: Sprite id 42 not found\n"
                         "sprite_prefetch: not supported for vector sprites (sprite id 1)\n");

    EXPECT_EQ(Num("sprite_flush_multi", {Array({R(a), R(vec), R(b)})}), -1);
    EXPECT_EQ(TakeLog(), "sprite_flush_multi: not supported for vector sprites (sprite id 1)\n");
    EXPECT_EQ(Num("sprite_prefetch_multi", {Array({R(a), S("x"), R(9), R(b)})}), 0);
    EXPECT_EQ(TakeLog(), "sprite_prefetch_multi: array entry 1 has wrong type\n"
                         "sprite_prefetch_multi: Sprite id 9 not found\n");
    EXPECT_EQ(Num("sprite_prefetch_multi", {R(a)}), -1);
    EXPECT_EQ(Num("sprite_flush_multi", {Array({})}), -1);
    EXPECT_EQ(TakeLog(), "sprite_prefetch_multi: parameter should be array of sprite indices\n"
                         "sprite_flush_multi: array parameter invalid\n");
    EXPECT_EQ(Num("sprite_set_cache_size", {R(a), R(10)}), 0);
    EXPECT_EQ(Num("sprite_get_tpe", {R(a), R(0)}), 0);
    EXPECT_EQ(Num("sprite_add_sprite", {S("x")}), -1);
    EXPECT_EQ(TakeLog(), "sprite_add_sprite: unsupported function\n");
}

TEST_F(SpriteFunctions, ChangedOriginsBoxesAndMasksRefreshTheInstancesShowingTheSprite)
{
    const std::vector<uint32_t> px(16, 0xFFFFFFFF);
    const int32_t s = PixelSprite(px, 4, 4, 1);
    const int32_t other = PixelSprite(px, 4, 4, 1);
    const int32_t object = NewObject();
    CInstance* shows = room.CreateInstance(10, 10, object);
    CInstance* elsewhere = room.CreateInstance(10, 10, object);
    shows->SetSpriteIndex(s);
    elsewhere->SetSpriteIndex(other);
    auto settle = [&] {
        shows->ComputeBoundingBox();
        elsewhere->ComputeBoundingBox();
    };
    settle();
    EXPECT_EQ(shows->bbox_left, 10);

    Call("sprite_set_offset", {R(s), R(2), R(1)});
    EXPECT_TRUE(shows->m_bboxDirty);
    EXPECT_FALSE(elsewhere->m_bboxDirty);
    shows->ComputeBoundingBox();
    EXPECT_EQ(shows->bbox_left, 8);
    EXPECT_EQ(shows->bbox_top, 9);

    Call("sprite_set_bbox_mode", {R(s), R(2)});
    settle();
    Call("sprite_set_bbox", {R(s), R(1), R(1), R(2), R(2)});
    EXPECT_TRUE(shows->m_bboxDirty);
    EXPECT_EQ(Num("sprite_get_bbox_right", {R(s)}), 2);
    settle();
    Call("sprite_set_precise", {R(s), R(0)});
    EXPECT_TRUE(shows->m_bboxDirty);
    EXPECT_EQ(Num("sprite_get_precise", {R(s)}), 0);

    // A collision mask makes the sprite precise but leaves the instances alone.
    settle();
    Call("sprite_collision_mask", {R(s), R(0), R(1), R(0), R(0), R(0), R(0), R(1), R(0)});
    EXPECT_EQ(Num("sprite_get_precise", {R(s)}), 1);
    EXPECT_TRUE(Sprite_Get(s)->MasksBuilt());
    EXPECT_FALSE(shows->m_bboxDirty);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(SpriteFunctions, ScreenAndSurfaceCopiesAlwaysGiveANewSprite)
{
    // Without a device the screen gives no pixels, and no surface exists: the new sprites stay empty.
    const double fromScreen = Num("sprite_create_from_screen", {R(0), R(0), R(0), R(0), R(0), R(0), R(0), R(0)});
    EXPECT_EQ(fromScreen, 0);
    EXPECT_EQ(Num("sprite_exists", {R(fromScreen)}), 1);
    const double fromSurface =
        Num("sprite_create_from_surface", {R(3), R(0), R(0), R(4), R(4), R(0), R(0), R(0), R(0)});
    EXPECT_EQ(fromSurface, 1);
    EXPECT_EQ(TakeError(), "Trying to use non-existing surface.");
    EXPECT_TRUE(NoResult("sprite_add_from_screen", {R(fromScreen), R(0), R(0), R(4), R(4)}));
    EXPECT_EQ(TakeError(), "sprite_add_from_screen: 5 arguments given, 7 needed");
    EXPECT_EQ(Num("sprite_get_number", {R(fromScreen)}), 0);
}

TEST_F(SpriteFunctions, SurfaceRectanglesBecomeSpritesAndFrames)
{
    GpuTestFrame frame{8, 8};
    ASSERT_TRUE(frame.ok);
    const int32_t surface = GR_Surface_Create(4, 2, -1);
    ASSERT_GE(surface, 0);
    // Surface pixels are 0xAABBGGRR; (x, y) gets red 16 x + y.
    std::vector<uint32_t> pixels(8);
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 4; ++x) pixels[y * 4 + x] = 0xFF201000u | (16 * x + y);
    GR_Surface_WritePixels(surface, pixels.data(), 0, 0, 4, 2);

    const double s =
        Num("sprite_create_from_surface", {R(surface), R(2), R(0), R(2), R(2), R(0), R(0), R(1), R(1)});
    EXPECT_EQ(TakeError(), "");
    ASSERT_EQ(Num("sprite_get_number", {R(s)}), 1);
    EXPECT_EQ(Num("sprite_get_width", {R(s)}), 2);
    EXPECT_EQ(Num("sprite_get_xoffset", {R(s)}), 1);
    // Frames hold 0xAARRGGBB words of the rectangle from (2, 0).
    const uint32_t first[4] = {0xFF201020u, 0xFF301020u, 0xFF211020u, 0xFF311020u};
    const CBitmap32* bitmap = Sprite_Get(static_cast<int32_t>(s))->GetFrameBitmap(0);
    ASSERT_TRUE(bitmap);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(bitmap->GetPixels()[i], first[i]) << i;
    // Drawn with its origin (1, 1) at (0, 1), the frame's pixel (1, 0) lands on (0, 0) in the surface's colour.
    Sprite_Get(static_cast<int32_t>(s))->Draw(0, 0, 1);
    GR_VertexBuilder_Flush();
    EXPECT_EQ(frame.Pixel(0, 0), pixels[3]);

    Call("sprite_add_from_surface", {R(s), R(surface), R(0), R(0), R(2), R(2), R(0), R(0)});
    EXPECT_EQ(TakeError(), "");
    ASSERT_EQ(Num("sprite_get_number", {R(s)}), 2);
    bitmap = Sprite_Get(static_cast<int32_t>(s))->GetFrameBitmap(1);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixels()[1], 0xFF101020u);
    EXPECT_EQ(bitmap->GetPixels()[2], 0xFF011020u);

    Call("sprite_add_from_surface", {R(s), R(surface + 9), R(0), R(0), R(2), R(2), R(0), R(0)});
    EXPECT_EQ(TakeError(), "Trying to use non-existing surface.");
    EXPECT_EQ(Num("sprite_get_number", {R(s)}), 2);
    GR_Surface_Free(surface, true);
    Sprite_Init();  // their textures go before the device
}

}  // namespace

namespace {

TEST_F(SpriteFunctions, PlaybackSpeedBuiltInsExistOnlyInGamesWithLayers)
{
    const int32_t s = TestSprite_Add({1, 4, 4});
    Call("sprite_set_speed", {R(s), R(12.5), R(0)});
    EXPECT_EQ(Num("sprite_get_speed", {R(s)}), 12.5);
    EXPECT_EQ(Num("sprite_get_speed_type", {R(s)}), 0);
    Call("sprite_set_speed", {R(s + 1), R(1), R(1)});
    EXPECT_EQ(TakeLog(), "Sprite id 1 not found\n");

    CodeFunction_FreeAll();
    LayerMode = false;
    InitSpriteFunctions();
    int32_t id = -1;
    EXPECT_FALSE(CodeFunction_Find("sprite_set_speed", &id));
    EXPECT_TRUE(CodeFunction_Find("sprite_get_number", &id));
}

}  // namespace
