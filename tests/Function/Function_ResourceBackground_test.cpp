// The background_* resource built-ins through the built-in table: answers
// for missing, deleted and wrong-kind arguments, the creating forms (a
// surface's rectangle on the software device among them), and a saved
// background read back pixel for pixel.
#include "Function/Function_ResourceBackground.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Background/Background_Main.h"
#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Function/BuiltinCallFixture.h"
#include "Graphics/Graphics_Bitmap32.h"
#include "Graphics/Graphics_Surface.h"
#include "Graphics/ReadPNG.h"
#include "Graphics/VertexBuilderM.h"
#include "IO/LoadSave.h"
#include "Options/Runner_Options.h"
#include "support/EngineReset.h"
#include "support/GpuTestFrame.h"
#include "support/ImageFixtures.h"
#include "support/RecordingConsole.h"
#include "support/TempFolder.h"

namespace {
ScriptValue R(double d) { return ScriptValue_Real(d); }
ScriptValue S(const char* text)
{
    ScriptValue v = ScriptValue_Undefined();
    ScriptValue_InitString(&v, text);
    return v;
}

class BackgroundFunctions : public ::testing::Test {
protected:
    TempFolder root;
    std::string save;
    tagIConsole* savedLog = nullptr;
    RecordingConsole log;

    void SetUp() override
    {
        CodeFunction_FreeAll();
        InitResourceBackgroundFunctions();
        ShowErrorDialogs = false;
        ChildGame = true;  // a fatal report returns so that the test goes on
        ForgetErrors();
        save = root / "save/";
        std::filesystem::create_directories(save);
        Runner_SetSavePrefix(save.c_str());
        savedLog = LogConsole;
        LogConsole = &log;
    }
    void TearDown() override
    {
        LogConsole = savedLog;
        Runner_SetSavePrefix("");
        Background_DeleteAll();
        CodeFunction_FreeAll();
        ForgetErrors();
        ChildGame = false;
        ShowErrorDialogs = true;
    }
    // The last report, forgotten; empty when none.
    static std::string TakeError()
    {
        std::string text = ErrorLast_Get() ? ErrorLast_Get() : "";
        ForgetErrors();
        return text;
    }
    static ScriptValue Call(const char* name, std::vector<ScriptValue> args)
    {
        return BuiltinCalls::CallFrom(ScriptValue_Undefined(), name, std::move(args));
    }
    static double Num(const char* name, std::vector<ScriptValue> args)
    {
        const ScriptValue r = Call(name, std::move(args));
        EXPECT_EQ(r.Kind(), VALUE_REAL) << name;
        return r.real;
    }
};
}  // namespace

TEST_F(BackgroundFunctions, AnswersForMissingDeletedAndWrongKindArguments)
{
    const double red = Num("background_create_colour", {R(4), R(2), R(0x0000FF)});
    const double gone = Num("background_create_color", {R(2), R(2), R(0)});
    ASSERT_EQ(Num("background_delete", {R(gone)}), 1);
    struct Case {
        const char* name;
        std::vector<double> args;
        double expected;
        const char* error;  // "" : nothing reported
    };
    const Case cases[] = {
        {"background_exists", {red}, 1, ""},
        {"background_exists", {gone}, 0, ""},
        {"background_exists", {-1}, 0, ""},
        {"background_get_width", {red}, 4, ""},
        {"background_get_height", {red}, 2, ""},
        {"background_get_width", {gone}, -1, ""},
        {"background_get_transparent", {gone}, -1, ""},
        {"background_get_smooth", {99}, -1, ""},
        {"background_get_preload", {red}, 1, ""},
        {"background_get_transparent", {red}, 0, ""},
        {"background_delete", {gone}, 0, "Trying to delete non-existing background."},
        {"background_duplicate", {gone}, -1, "Trying to duplicate non-existing background."},
        {"background_add_background", {red}, -1, ""},
        {"background_prefetch", {gone}, 0, ""},
        {"background_flush", {red}, 0, ""},
    };
    for (const Case& c : cases) {
        std::vector<ScriptValue> args;
        for (double d : c.args) args.push_back(R(d));
        EXPECT_EQ(Num(c.name, args), c.expected) << c.name;
        EXPECT_NE(TakeError().find(c.error), std::string::npos) << c.name;
    }
    EXPECT_NE(log.text.find("background_prefetch: Background id 1 not found\n"), std::string::npos) << log.text;
    EXPECT_NE(log.text.find("background_add_background: unsupported function\n"), std::string::npos);

    ScriptValue name = Call("background_get_name", {R(red)});
    EXPECT_STREQ(ScriptValue_StringText(&name), "__newbackground0");
    ScriptValue_SetUndefined(&name);
    name = Call("background_name", {R(gone)});
    EXPECT_STREQ(ScriptValue_StringText(&name), "<undefined>");
    ScriptValue_SetUndefined(&name);

    EXPECT_EQ(Num("background_replace", {R(gone), S("a.png"), R(0), R(0)}), 0);
    EXPECT_NE(TakeError().find("Trying to replace non-existing background."), std::string::npos);
    EXPECT_EQ(Call("background_assign", {R(gone), R(55)}).Kind(), VALUE_UNDEFINED);
    EXPECT_NE(TakeError().find("Error assigning a background."), std::string::npos);
    // A deleted index inside the table can be assigned into again.
    Call("background_assign", {R(gone), R(red)});
    EXPECT_EQ(TakeError(), "");
    EXPECT_EQ(Num("background_get_width", {R(gone)}), 4);

    // An array where a number belongs is the getter's error; a number where a name belongs too.
    ScriptValue array = ScriptValue_Undefined();
    ScriptValue_SetReal(ScriptValue_ArrayElementForWrite(&array, 0), red);
    Call("background_get_width", {array});
    EXPECT_NE(TakeError().find("incorrect type"), std::string::npos);
    Call("background_add", {R(3), R(0), R(0)});
    EXPECT_NE(TakeError().find("expecting a String"), std::string::npos);
    Call("background_exists", {});
    EXPECT_NE(TakeError().find("background_exists: 0 arguments given, 1 needed"), std::string::npos);
}

TEST_F(BackgroundFunctions, GradientsAddOneBackgroundAndTheTrailingPreloadIsRead)
{
    const double index = Num("background_create_gradient", {R(64), R(64), R(0), R(0xFFFFFF), R(3)});
    EXPECT_EQ(index, 0);
    EXPECT_EQ(Num("background_exists", {R(index + 1)}), 0);
    const CBitmap32* bitmap = Background_Get(0)->GetBitmap();
    ASSERT_TRUE(bitmap);
    // The ellipse runs from black at the rim to white in the middle.
    EXPECT_EQ(bitmap->GetPixels()[0], 0xFF000000u);
    EXPECT_GT(bitmap->GetPixels()[32 * 64 + 32] & 0xFF, 0xF0u);
    EXPECT_EQ(Num("background_get_preload", {R(index)}), 1);
    const double later = Num("background_create_colour", {R(2), R(2), R(0), R(0)});
    EXPECT_EQ(Num("background_get_preload", {R(later)}), 0);
}

TEST_F(BackgroundFunctions, AddAndReplaceFromFilesInTheSaveArea)
{
    const ImageFixtures::Bytes png = ImageFixtures::EncodeRgbaPng(3, 1, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255});
    std::ofstream(save + "three.png", std::ios::binary).write(reinterpret_cast<const char*>(png.data()), long(png.size()));
    EXPECT_EQ(Num("background_add", {S("missing.png"), R(0), R(0)}), -1);
    const double index = Num("background_add", {S("three.png"), R(0), R(1)});
    ASSERT_EQ(index, 0);
    EXPECT_EQ(Num("background_get_width", {R(index)}), 3);
    EXPECT_EQ(Num("background_get_smooth", {R(index)}), 1);
    const double other = Num("background_create_colour", {R(9), R(9), R(0)});
    EXPECT_EQ(Num("background_replace", {R(other), S("three.png"), R(0), R(0)}), 1);
    EXPECT_EQ(Num("background_get_width", {R(other)}), 3);
}

TEST_F(BackgroundFunctions, SavedBackgroundsReadBackPixelForPixel)
{
    // A gradient and an alpha cut from another background give every channel its own value.
    const double image = Num("background_create_gradient", {R(5), R(3), R(0x102030), R(0xF0E0D0), R(0)});
    const double mask = Num("background_create_gradient", {R(5), R(3), R(0xFFFFFF), R(0x404040), R(1)});
    Call("background_set_alpha_from_background", {R(image), R(mask)});
    Call("background_save", {R(image), S("out.png")});
    EXPECT_EQ(TakeError(), "");

    std::ifstream in(save + "out.png", std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int w = 0, h = 0;
    const uint8_t* rgba = ReadPNG_GetPixels(file.data(), static_cast<int>(file.size()), &w, &h, false);
    ASSERT_TRUE(rgba);
    ASSERT_EQ(w, 5);
    ASSERT_EQ(h, 3);
    const CBitmap32* bitmap = Background_Get(static_cast<int32_t>(image))->GetBitmap();
    bool alphaVaries = false;
    for (int i = 0; i < w * h; ++i) {
        const uint32_t p = bitmap->GetPixels()[i];
        const uint32_t read = uint32_t(rgba[4 * i]) << 16 | uint32_t(rgba[4 * i + 1]) << 8 | rgba[4 * i + 2] |
                              uint32_t(rgba[4 * i + 3]) << 24;
        EXPECT_EQ(read, p) << i;
        alphaVaries |= (p >> 24) != (bitmap->GetPixels()[0] >> 24);
    }
    ReadPNG_Free();
    EXPECT_TRUE(alphaVaries);
    EXPECT_NE(bitmap->GetPixels()[0] & 0xFF, (bitmap->GetPixels()[0] >> 16) & 0xFF);

    Call("background_save", {R(9), S("none.png")});
    EXPECT_NE(TakeError().find("Trying to save non-existing background bitmap."), std::string::npos);
    Call("background_save", {R(image), R(4)});
    EXPECT_NE(TakeError().find("Trying to save non-existing background bitmap."), std::string::npos);
    // Without a bitmap (a data-file image until it is duplicated) nothing is written.
    const int32_t bare = Background_AddEmpty();
    Call("background_save", {R(bare), S("bare.png")});
    EXPECT_EQ(log.text, "background_save() failed - no bitmap data available\n");
    EXPECT_FALSE(std::filesystem::exists(save + "bare.png"));
    EXPECT_FALSE(std::filesystem::exists(save + "none.png"));
}

TEST_F(BackgroundFunctions, PrefetchOfAnArrayChecksItsShapeAndEntries)
{
    const double index = Num("background_create_colour", {R(1), R(1), R(0)});
    ScriptValue list = ScriptValue_Undefined();
    ScriptValue_SetReal(ScriptValue_ArrayElementForWrite(&list, 0), index);
    ScriptValue_InitString(ScriptValue_ArrayElementForWrite(&list, 1), "x");
    ScriptValue_SetReal(ScriptValue_ArrayElementForWrite(&list, 2), 40);
    EXPECT_EQ(Num("background_prefetch_multi", {list}), 0);
    EXPECT_EQ(log.text,
              "background_prefetch_multi: array entry 1 has wrong type\n"
              "background_prefetch_multi: Background id 40 not found\n");
    log.text.clear();
    EXPECT_EQ(Num("background_flush_multi", {R(index)}), -1);
    EXPECT_EQ(log.text, "background_prefetch_multi: parameter should be array of sprite indices\n");
}

TEST_F(BackgroundFunctions, SurfaceRectanglesBecomeBackgroundsWithTheirAlpha)
{
    GpuTestFrame frame{8, 8};
    ASSERT_TRUE(frame.ok);
    const int32_t surface = GR_Surface_Create(4, 2, -1);
    ASSERT_GE(surface, 0);
    // Surface pixels are 0xAABBGGRR; (x, y) gets red 16 x + y and half alpha in the bottom row.
    std::vector<uint32_t> pixels(8);
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 4; ++x) pixels[y * 4 + x] = (y ? 0x80u : 0xFFu) << 24 | 0x2010u << 8 | (16 * x + y);
    GR_Surface_WritePixels(surface, pixels.data(), 0, 0, 4, 2);

    const double index = Num("background_create_from_surface", {R(surface), R(1), R(0), R(2), R(2), R(0), R(1)});
    ASSERT_EQ(index, 0);
    EXPECT_EQ(Num("background_get_width", {R(index)}), 2);
    EXPECT_EQ(Num("background_get_height", {R(index)}), 2);
    EXPECT_EQ(Num("background_get_smooth", {R(index)}), 1);
    EXPECT_EQ(Num("background_get_preload", {R(index)}), 1);
    const CBitmap32* bitmap = Background_Get(0)->GetBitmap();
    ASSERT_TRUE(bitmap);
    // The bitmap holds 0xAARRGGBB words of the rectangle from (1, 0), alpha kept,
    // and draws the surface's colours.
    const uint32_t expected[4] = {0xFF101020u, 0xFF201020u, 0x80111020u, 0x80211020u};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(bitmap->GetPixels()[i], expected[i]) << i;
    Background_Get(0)->Draw(0, 0);
    GR_VertexBuilder_Flush();
    EXPECT_EQ(frame.Pixel(0, 0), 0xFF201010u);

    // The trailing preload is read; an unknown surface still gives a new, empty background.
    const double later = Num("background_create_from_surface", {R(surface), R(0), R(0), R(4), R(2), R(1), R(0), R(0)});
    EXPECT_EQ(Num("background_get_preload", {R(later)}), 0);
    EXPECT_EQ(Num("background_get_transparent", {R(later)}), 1);
    const double none = Num("background_create_from_surface", {R(surface + 9), R(0), R(0), R(4), R(2), R(0), R(0)});
    EXPECT_EQ(none, later + 1);
    EXPECT_EQ(Num("background_get_width", {R(none)}), 0);
    GR_Surface_Free(surface, true);
    Background_DeleteAll();  // their textures go before the device
}
