// The sprite and background draw built-ins and the texture queries through
// the built-in table, as compiled code calls them; drawing is read back from
// the software device.
#include "Function/Function_GraphicsSprite.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Background/Background_Main.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Draw/Draw_Frame.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/VertexBuilderM.h"
#include "Options/Runner_Options.h"
#include "Sprite/Sprite_Main.h"
#include "World/Instance.h"
#include "World/Room_Class.h"
#include "gamedata/FormWriter.h"
#include "support/EngineReset.h"
#include "support/GameFiles.h"
#include "support/GpuTestFrame.h"
#include "support/ImageFixtures.h"
#include "support/VectorSprites.h"

namespace {
constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;

class ImageFunctions : public ::testing::Test {
protected:
    GpuTestFrame frame{64, 64};
    CGameRoom room;
    int32_t sprite = -1;
    bool savedLayerMode = false;

    // Sprite 0: four 8 x 8 frames red, green, blue, white. The room is 64 x 64.
    void SetUp() override
    {
        ASSERT_TRUE(frame.ok);
        CodeFunction_FreeAll();
        InitGraphicSpriteFunctions();
        InitGraphicBackgroundFunctions();
        ShowErrorDialogs = false;
        ChildGame = true;  // a fatal report returns so that the test goes on
        ForgetErrors();
        savedLayerMode = LayerMode;
        room.width = room.height = 64;
        Run_Room = &room;
        std::vector<uint32_t> strip(32 * 8);
        const uint32_t colours[4] = {kRed, kGreen, kBlue, kWhite};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 32; ++x) strip[size_t(y) * 32 + x] = colours[x / 8];
        sprite = Sprite_AddEmpty();
        ASSERT_TRUE(Sprite_Get(sprite)->LoadFromPixels(strip.data(), 32, 8, 4, false, false, false, 0, 0, true));
        GR_D3D_SetView(0, 0, 64, 64, 0);
        Clear();
        GR_Draw_SetAlpha(1);
    }
    void TearDown() override
    {
        Run_Room = nullptr;
        LayerMode = savedLayerMode;
        Sprite_Init();
        Background_DeleteAll();
        testgames::Unload();
        CodeFunction_FreeAll();
        ForgetErrors();
        ChildGame = false;
        ShowErrorDialogs = true;
    }
    static void Clear() { GR_D3D_Clear(0xFF000000u, 1.0f, 0, CLEAR_COLOUR); }
    // Whether the last report carried the message; the report is forgotten.
    static bool Reported(const std::string& message)
    {
        const std::string text = ErrorLast_Get() ? ErrorLast_Get() : "";
        ForgetErrors();
        return text.find(message) != std::string::npos;
    }
    static ScriptValue Call(const char* name, std::vector<double> numbers, CInstance* self = nullptr)
    {
        int32_t index = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
        std::vector<ScriptValue> args;
        for (double d : numbers) args.push_back(ScriptValue_Real(d));
        std::vector<ScriptValue*> pointers;
        for (ScriptValue& a : args) pointers.push_back(&a);
        ScriptValue result = ScriptValue_Undefined();
        CallBuiltinFunction(self, self, &result, static_cast<int>(args.size()), index, pointers.data());
        return result;
    }
    static std::vector<double> Reals(ScriptValue v)
    {
        std::vector<double> out;
        if (v.Kind() == VALUE_ARRAY && v.arr && v.arr->rowCount >= 1)
            for (int32_t k = 0; k < v.arr->rows[0].length; ++k) out.push_back(v.arr->rows[0].elements[k].real);
        ScriptValue_SetUndefined(&v);
        return out;
    }
    bool At(int x, int y, uint32_t rgba) const { return Near(frame.Pixel(x, y), rgba, 3); }
};
}  // namespace

TEST_F(ImageFunctions, SpriteFormsPlaceScaleTurnAndTintTheFrame)
{
    Call("draw_sprite", {double(sprite), 1, 0, 0});
    EXPECT_TRUE(At(7, 7, Rgba(0, 255, 0, 255)));
    Call("draw_sprite_ext", {double(sprite), 3, 32, 32, 2, 2, 0, 0xFF0000, 1});  // white tinted blue, 16 wide
    EXPECT_TRUE(At(32, 32, Rgba(0, 0, 255, 255)));
    EXPECT_TRUE(At(47, 47, Rgba(0, 0, 255, 255)));
    EXPECT_TRUE(At(48, 48, Rgba(0, 0, 0, 255)));
    Call("draw_sprite_ext", {double(sprite), 3, 56, 0, 1, 1, 0, 0xFFFFFF, 0.5});
    EXPECT_TRUE(Near(frame.Pixel(60, 4) & 0xFFFFFF, Rgba(128, 128, 128, 0), 4)) << std::hex << frame.Pixel(60, 4);
    // 90 degrees turns counter-clockwise: from (0, 60) the frame runs upward.
    Clear();
    Call("draw_sprite_ext", {double(sprite), 0, 0, 60, 4, 1, 90, 0xFFFFFF, 1});
    EXPECT_TRUE(At(4, 40, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(20, 58, Rgba(0, 0, 0, 255)));

    Clear();
    Call("draw_sprite_part", {double(sprite), 2, 0, 0, 4, 4, 40, 0});
    EXPECT_TRUE(At(43, 3, Rgba(0, 0, 255, 255)));
    EXPECT_TRUE(At(44, 4, Rgba(0, 0, 0, 255)));
    Call("draw_sprite_part_ext", {double(sprite), 0, 0, 0, 4, 4, 0, 40, 2, 1, 0x00FF00, 1});  // red tinted green: black
    EXPECT_TRUE(At(7, 40, Rgba(0, 0, 0, 255)));
    Call("draw_sprite_stretched", {double(sprite), 1, 20, 20, 16, 4});
    EXPECT_TRUE(At(35, 23, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(36, 24, Rgba(0, 0, 0, 255)));
    Call("draw_sprite_general", {double(sprite), 3, 0, 0, 8, 8, 48, 48, 1, 1, 0, 0x0000FF, 0x0000FF, 0x0000FF,
                                 0x0000FF, 1});
    EXPECT_TRUE(At(50, 50, Rgba(255, 0, 0, 255)));
    Call("draw_sprite_pos", {double(sprite), -1, 0, 50, 10, 50, 10, 60, 0, 60, 1});  // frame -1 wraps to 3
    EXPECT_TRUE(At(5, 55, Rgba(255, 255, 255, 255)));
}

TEST_F(ImageFunctions, TiledFormsCoverTheRoomAndUseTheDrawAlpha)
{
    GR_Draw_SetAlpha(0.5f);
    Call("draw_sprite_tiled", {double(sprite), 1, 4, 4});
    for (int p : {0, 20, 63}) EXPECT_TRUE(Near(frame.Pixel(p, p) & 0xFFFFFF, Rgba(0, 128, 0, 0), 4)) << p;
    GR_Draw_SetAlpha(1);
    Clear();
    Call("draw_sprite_tiled_ext", {double(sprite), 0, 0, 0, 2, 2, 0xFFFFFF, 1});
    EXPECT_TRUE(At(63, 63, Rgba(255, 0, 0, 255)));
}

TEST_F(ImageFunctions, NegativeFramesAreTheInstancesAndDrawSelfUsesItsFields)
{
    CInstance self(20, 20, 100001, -1, false);
    self.sprite_index = sprite;
    self.image_index = 2.7f;
    Call("draw_sprite", {double(sprite), -5, 0, 0}, &self);
    EXPECT_TRUE(At(4, 4, Rgba(0, 0, 255, 255)));
    self.image_index = 1;
    self.image_xscale = 2;
    self.image_blend = 0x0000FF;
    self.image_alpha = 1;
    Call("draw_self", {}, &self);
    EXPECT_TRUE(At(20, 20, Rgba(0, 0, 0, 255)));  // green tinted red
    self.image_index = 3;
    Call("draw_self", {}, &self);
    EXPECT_TRUE(At(35, 27, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(36, 27, Rgba(0, 0, 0, 255)));
    EXPECT_EQ(CurrentDrawInstance, nullptr);
    self.sprite_index = 9;
    Call("draw_self", {}, &self);
    EXPECT_TRUE(Reported("Trying to draw non-existing sprite."));
}

TEST_F(ImageFunctions, VectorSpritesDrawThroughTheSpriteFormsAndDrawSelf)
{
    // A red 8 x 8 square, origin (4, 4).
    const std::vector<uint8_t> data = gamedata::EncodeVector(vectortest::OneFrame(
        {vectortest::Shape(vectortest::Solid(0xFF0000FFu), vectortest::Rect(0, 0, 8, 8))}, {vectortest::Place(0, 1)},
        0, 8, 0, 8));
    const int32_t vector = Sprite_AddEmpty();
    CSprite* s = Sprite_Get(vector);
    char why[200] = "";
    ASSERT_TRUE(s->LoadVector(data.data(), uint32_t(data.size()), 4, 4, why, sizeof why)) << why;
    s->kind = SPRITE_KIND_VECTOR;
    Call("draw_sprite", {double(vector), 0, 8, 8});
    EXPECT_TRUE(At(4, 4, Rgba(254, 0, 0, 255)));
    EXPECT_TRUE(At(12, 12, Rgba(0, 0, 0, 255)));
    Call("draw_sprite_ext", {double(vector), 0, 40, 8, 1, 1, 0, 0xFFFFFF, 0.5});
    EXPECT_TRUE(Near(frame.Pixel(40, 8) & 0xFFFFFF, Rgba(127, 0, 0, 0), 4)) << std::hex << frame.Pixel(40, 8);
    Call("draw_sprite_part", {double(vector), 0, 0, 0, 4, 4, 0, 0});
    EXPECT_TRUE(Reported("draw_sprite_part: not supported for vector sprites"));

    CInstance self(40, 40, 100001, -1, false);
    self.sprite_index = vector;
    self.image_xscale = 2;
    self.image_blend = 0xFFFFFF;
    self.image_alpha = 1;
    Call("draw_self", {}, &self);
    EXPECT_TRUE(At(32, 36, Rgba(254, 0, 0, 255)));
    EXPECT_TRUE(At(47, 43, Rgba(254, 0, 0, 255)));
    EXPECT_TRUE(At(48, 40, Rgba(0, 0, 0, 255)));
}

TEST_F(ImageFunctions, MissingImagesAndRefusedKindsAreReportedAndDrawNothing)
{
    Sprite_Get(sprite)->kind = SPRITE_KIND_SKELETON;
    struct Case {
        const char* name;
        std::vector<double> args;
        std::string message;
    };
    const Case cases[] = {
        {"draw_sprite", {7, 0, 0, 0}, "Trying to draw non-existing sprite."},
        {"draw_sprite_pos", {-1, 0, 0, 0, 9, 0, 9, 9, 0, 9, 1}, "Trying to draw non-existing sprite."},
        {"draw_sprite_part", {0, 0, 0, 0, 4, 4, 0, 0}, "draw_sprite_part: not supported for skeleton based sprites"},
        {"draw_sprite_general", {0, 0, 0, 0, 4, 4, 0, 0, 1, 1, 0, 0, 0, 0, 0, 1},
         "draw_sprite_general: not supported for skeleton based sprites"},
        {"sprite_get_texture", {7, 0}, "Trying to get texture from non-existing sprite."},
        {"sprite_get_uvs", {0, 0}, "sprite_get_uvs: not supported for vector sprites"},
        {"draw_background", {0, 0, 0}, "Trying to draw non-existing background."},
        {"background_get_uvs", {0, 0}, "Trying to get texture from non-existing background."},
        {"draw_sprite_ext", {0, 0, 0, 0}, "draw_sprite_ext: 4 arguments given, 9 needed"},
    };
    for (const Case& c : cases) {
        const ScriptValue r = Call(c.name, c.args);
        EXPECT_TRUE(Reported(c.message)) << c.name;
        EXPECT_EQ(r.Kind(), VALUE_UNDEFINED) << c.name;
    }
    const ScriptValue r = Call("sprite_get_texture", {0, 0});
    EXPECT_TRUE(Reported("sprite_get_texture: not supported for skeleton based sprites"));
    EXPECT_EQ(r.Kind(), VALUE_REAL);
    EXPECT_EQ(r.real, -1);
    for (int p : {4, 30, 60}) EXPECT_TRUE(At(p, p, Rgba(0, 0, 0, 255))) << p;
}

TEST_F(ImageFunctions, BackgroundFormsDrawRunTimeBackgroundsFromTheirCorner)
{
    LayerMode = false;
    const int32_t green = Background_AddEmpty();
    Background_Get(green)->CreateColour(8, 4, 0x00FF00, true);
    Call("draw_background", {double(green), 2, 2});
    EXPECT_TRUE(At(2, 2, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(9, 5, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(10, 6, Rgba(0, 0, 0, 255)));
    Call("draw_background_ext", {double(green), 20, 20, 2, 2, 0, 0x0000FF, 1});  // green tinted red: black
    EXPECT_TRUE(At(21, 21, Rgba(0, 0, 0, 255)));
    Call("draw_background_ext", {double(green), 20, 20, 2, 2, 0, 0x00FFFF, 0.5});
    EXPECT_TRUE(Near(frame.Pixel(35, 27) & 0xFFFFFF, Rgba(0, 128, 0, 0), 4)) << std::hex << frame.Pixel(35, 27);
    EXPECT_TRUE(At(36, 28, Rgba(0, 0, 0, 255)));
    Call("draw_background_stretched", {double(green), 40, 0, 0, 10});  // width 0: nothing
    EXPECT_TRUE(At(40, 0, Rgba(0, 0, 0, 255)));
    Call("draw_background_stretched_ext", {double(green), 40, 0, 20, 2, 0xFFFFFF, 1});
    EXPECT_TRUE(At(59, 1, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(59, 2, Rgba(0, 0, 0, 255)));
    Call("draw_background_part", {double(green), 0, 0, 2, 2, 0, 40});
    EXPECT_TRUE(At(1, 41, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(2, 42, Rgba(0, 0, 0, 255)));
    Call("draw_background_part_ext", {double(green), 0, 0, 2, 2, 10, 40, 3, 3, 0xFFFFFF, 1});
    EXPECT_TRUE(At(15, 45, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(16, 46, Rgba(0, 0, 0, 255)));
    Call("draw_background_general",
         {double(green), 0, 0, 8, 4, 40, 40, 1, 1, 0, 0x000000, 0x000000, 0x00FFFF, 0x00FFFF, 1});
    // Black corners above, yellow below: the green image darkens toward the top.
    const auto greenOf = [&](int x, int y) { return (frame.Pixel(x, y) >> 8) & 0xFF; };
    EXPECT_LT(greenOf(44, 40), 64u);
    EXPECT_GT(greenOf(44, 43), 160u);
    EXPECT_EQ(frame.Pixel(44, 43) & 0xFF00FFu, 0u);
    Clear();
    Call("draw_background_tiled", {double(green), 3, 0});
    EXPECT_TRUE(At(0, 63, Rgba(0, 255, 0, 255)));
    Call("draw_background_tiled_ext", {double(green), 0, 0, 1, 1, 0x000000, 1});
    EXPECT_TRUE(At(63, 0, Rgba(0, 0, 0, 255)));
    ASSERT_TRUE(Background_Delete(green));
    Call("draw_background", {double(green), 0, 0});
    EXPECT_TRUE(Reported("Trying to draw non-existing background."));
}

TEST_F(ImageFunctions, NewerGamesDrawTheFirstFrameOfASpriteInstead)
{
    LayerMode = true;
    const int32_t green = Background_AddEmpty();
    Background_Get(green)->CreateColour(8, 8, 0x00FF00, true);
    Call("draw_background", {double(sprite), 0, 0});
    EXPECT_TRUE(At(4, 4, Rgba(255, 0, 0, 255)));
    Call("draw_background", {7, 0, 0});
    EXPECT_TRUE(Reported("Trying to draw non-existing background."));
    // The texture queries keep to the background table.
    const ScriptValue texture = Call("background_get_texture", {double(green)});
    EXPECT_EQ(texture.Kind(), VALUE_PTR);
    EXPECT_EQ(TPE_FromHandle(static_cast<int>(reinterpret_cast<intptr_t>(texture.ptr))),
              Background_Get(green)->GetEntry());
}

TEST_F(ImageFunctions, UVsOfPageEntriesAndOfWholeTextures)
{
    // A 256 x 16 page; the background's entry lies at x 64, 32 wide, cut from a 40 x 20 frame.
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.major = 1;
    w.Gen8(h);
    gamedata::BackgroundEntry b;
    b.name = "bg";
    b.entry = 0;
    w.Bgnd({b});
    gamedata::TexturePageEntry e;
    e.x = 64;
    e.width = e.cropWidth = 32;
    e.height = e.cropHeight = 16;
    e.xOffset = 4;
    e.yOffset = 2;
    e.fullWidth = 40;
    e.fullHeight = 20;
    w.Tpag({e});
    gamedata::Texture t;
    t.image = ImageFixtures::EncodeRgbaPng(256, 16, ImageFixtures::Bytes(256 * 16 * 4, 255));
    w.Txtr({t});
    w.Strg();
    const std::vector<uint8_t> game = w.Finish();
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
    Run_Room = &room;

    const std::vector<double> uvs = Reals(Call("background_get_uvs", {0, 0}));
    ASSERT_EQ(uvs.size(), 8u);
    EXPECT_DOUBLE_EQ(uvs[0], 0.25);
    EXPECT_DOUBLE_EQ(uvs[1], 0);
    EXPECT_DOUBLE_EQ(uvs[2], 0.375);
    EXPECT_DOUBLE_EQ(uvs[3], 1);
    EXPECT_EQ(uvs[4], 4);
    EXPECT_EQ(uvs[5], 2);
    EXPECT_DOUBLE_EQ(uvs[6], 0.8);
    EXPECT_DOUBLE_EQ(uvs[7], 0.8);
    // A run-time sprite frame is a whole texture of its own.
    sprite = Sprite_AddEmpty();
    const uint32_t pixel = kRed;
    ASSERT_TRUE(Sprite_Get(sprite)->LoadFromPixels(&pixel, 1, 1, 1, false, false, false, 0, 0, true));
    EXPECT_EQ(Reals(Call("sprite_get_uvs", {double(sprite), 0})), (std::vector<double>{0, 0, 1, 1, 0, 0, 1, 1}));
    const ScriptValue texture = Call("sprite_get_texture", {double(sprite), -1});
    EXPECT_EQ(texture.Kind(), VALUE_PTR);
    EXPECT_EQ(reinterpret_cast<intptr_t>(texture.ptr), Sprite_Get(sprite)->GetFrameTexture(0));
}

TEST_F(ImageFunctions, GetPixelReadsTheFrameWithAndWithoutAlpha)
{
    GR_D3D_Clear(0x80FF0000u, 1.0f, 0, CLEAR_COLOUR);
    const uint32_t pixel = frame.Pixel(5, 6);
    ASSERT_NE(pixel >> 24, 0xFFu);
    const ScriptValue withAlpha = Call("draw_getpixel_ext", {5, 6});
    ASSERT_EQ(withAlpha.Kind(), VALUE_REAL);
    EXPECT_EQ(withAlpha.real, double(pixel));  // non-negative, alpha in the top byte
    EXPECT_EQ(Call("draw_getpixel", {5, 6}).real, double(pixel & 0xFFFFFFu));
}

TEST_F(ImageFunctions, DataFileBackgroundsDrawFromTheirPage)
{
    // An older game: a 16 x 8 page, red on the left half and green on the right.
    gamedata::FormWriter w;
    gamedata::GeneralHeader h;
    h.major = 1;
    w.Gen8(h);
    gamedata::BackgroundEntry b;
    b.name = "bg";
    b.entry = 0;
    w.Bgnd({b});
    gamedata::TexturePageEntry e;
    e.width = e.cropWidth = e.fullWidth = 16;
    e.height = e.cropHeight = e.fullHeight = 8;
    w.Tpag({e});
    ImageFixtures::Bytes rgba;
    for (int i = 0; i < 16 * 8; ++i) {
        const bool left = i % 16 < 8;
        const uint8_t px[4] = {uint8_t(left ? 255 : 0), uint8_t(left ? 0 : 255), 0, 255};
        rgba.insert(rgba.end(), px, px + 4);
    }
    gamedata::Texture t;
    t.image = ImageFixtures::EncodeRgbaPng(16, 8, rgba);
    w.Txtr({t});
    w.Strg();
    const std::vector<uint8_t> game = w.Finish();
    ASSERT_TRUE(testgames::LoadBoth(game)) << GameData_LastError();
    Run_Room = &room;
    ASSERT_FALSE(LayerMode);

    Call("draw_background", {0, 4, 4});
    EXPECT_TRUE(At(4, 4, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(19, 11, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(20, 12, Rgba(0, 0, 0, 255)));
    Call("draw_background_part_ext", {0, 6, 0, 4, 4, 40, 40, 2, 2, 0xFFFFFF, 1});
    EXPECT_TRUE(At(43, 43, Rgba(255, 0, 0, 255)));
    EXPECT_TRUE(At(44, 44, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(48, 48, Rgba(0, 0, 0, 255)));
    Clear();
    Call("draw_background_tiled", {0, 0, 0});
    EXPECT_TRUE(At(60, 60, Rgba(0, 255, 0, 255)));
    EXPECT_TRUE(At(50, 60, Rgba(255, 0, 0, 255)));
}
