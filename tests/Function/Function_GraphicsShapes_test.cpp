// The draw-state, shape and colour built-ins through the built-in table, as
// compiled code calls them; drawing is read back from the software device.
#include "Function/Function_GraphicsShapes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/VertexBuilderM.h"
#include "Options/Runner_Options.h"
#include "Runner/Run_Globals.h"
#include "support/EngineReset.h"
#include "support/GpuTestFrame.h"

namespace {

class ShapeFunctions : public ::testing::Test {
protected:
    void SetUp() override
    {
        CodeFunction_FreeAll();
        InitGraphicShapeFunctions();
        ShowErrorDialogs = false;
        ChildGame = true;  // a fatal report returns so that the test goes on
        ForgetErrors();
    }
    void TearDown() override
    {
        CodeFunction_FreeAll();
        ForgetErrors();
        ChildGame = false;
        ShowErrorDialogs = true;
    }
    static std::string TakeError()
    {
        std::string text = ErrorLast_Get() ? ErrorLast_Get() : "";
        ForgetErrors();
        return text;
    }
    static ScriptValue Call(const char* name, std::vector<double> numbers)
    {
        int32_t index = -1;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
        std::vector<ScriptValue> args;
        for (double d : numbers) args.push_back(ScriptValue_Real(d));
        std::vector<ScriptValue*> pointers;
        for (ScriptValue& a : args) pointers.push_back(&a);
        ScriptValue result = ScriptValue_Real(-1234.5);
        CallBuiltinFunction(nullptr, nullptr, &result, static_cast<int>(args.size()), index, pointers.data());
        return result;
    }
    static double Num(const char* name, std::vector<double> numbers)
    {
        const ScriptValue r = Call(name, std::move(numbers));
        EXPECT_EQ(r.Kind(), VALUE_REAL) << name;
        return r.real;
    }
};

TEST_F(ShapeFunctions, ColourArithmetic)
{
    struct Case {
        const char* name;
        std::vector<double> args;
        double expected;
    };
    const Case cases[] = {
        {"colour_get_red", {0x1234FF}, 255},
        {"colour_get_blue", {0x1234FF}, 0x12},
        {"color_get_green", {0x1234FF}, 0x34},
        {"colour_get_red", {-1}, -1},
        {"make_colour_rgb", {300, 0, 0}, 300},
        {"make_color_rgb", {255, 128, 0}, 0x0080FF},
        {"make_colour_hsv", {0, 255, 255}, 0x0000FF},
        {"make_colour_hsv", {255, 255, 255}, 0x0000FF},
        {"colour_get_hue", {0xFF0000}, 170},
        {"colour_get_hue", {0x0000FF}, 0},
        {"colour_get_saturation", {0x0000FF}, 255},
        {"colour_get_value", {0xFFFFFF}, 255},
        {"colour_get_saturation", {0xFFFFFF}, 0},
        {"colour_get_value", {0}, 0},
        {"merge_colour", {0x000000, 0x0000FF, 0.5}, 0x000080},
        {"merge_color", {0x000000, 0x0000FF, 1.5}, 126},
        {"merge_colour", {0xFF0000, 0x0000FF, 0.0}, 0xFF0000},
    };
    for (const Case& c : cases) EXPECT_EQ(Num(c.name, c.args), c.expected) << c.name;
}

TEST_F(ShapeFunctions, StateSettersAndGetters)
{
    Call("draw_set_colour", {0x123456});
    Call("draw_set_alpha", {0.999});
    EXPECT_EQ(Num("draw_get_colour", {}), 0x123456);
    EXPECT_DOUBLE_EQ(Num("draw_get_alpha", {}), static_cast<float>(254) / 255.0f);
    EXPECT_EQ(DrawColour, 0xFE123456u) << "the alpha byte rides on top of the colour";

    Call("draw_set_swf_aa_level", {-2});
    EXPECT_EQ(Num("draw_get_swf_aa_level", {}), 0);
    Call("draw_set_swf_aa_level", {7});
    EXPECT_EQ(Num("draw_get_swf_aa_level", {}), 1);
    Call("draw_set_swf_aa_level", {0.25});
    EXPECT_EQ(Num("draw_get_swf_aa_level", {}), 0.25);

    EXPECT_EQ(Num("display_set_windows_alternate_sync", {1}), 0);
    EXPECT_EQ(Num("display_get_windows_alternate_sync", {}), 0);

}

TEST_F(ShapeFunctions, DrawEventSwitchReachesTheFrameStep)
{
    Call("draw_enable_drawevent", {0});
    EXPECT_FALSE(DrawEventsEnabled);
    Call("draw_enable_drawevent", {1});
    EXPECT_TRUE(DrawEventsEnabled);
}

TEST_F(ShapeFunctions, MissingPathAndShortCallsAreReportedNotRead)
{
    Call("draw_path", {3, 10, 10, 1});
    EXPECT_NE(TakeError().find("Trying to drawn non-existing path."), std::string::npos);
    // Registered with five arguments, the routine reads seven.
    Call("draw_roundrect_ext", {0, 0, 10, 10, 1});
    EXPECT_NE(TakeError().find("draw_roundrect_ext: 5 arguments given, 7 needed"), std::string::npos);
}

class ShapeDrawing : public ShapeFunctions {
protected:
    GpuTestFrame frame{64, 64};

    void SetUp() override
    {
        ShapeFunctions::SetUp();
        ASSERT_TRUE(frame.ok);
        GR_InitCircleTable();
        GR_D3D_SetView(0, 0, 64, 64, 0);
        Call("draw_clear", {0});
        Call("draw_set_colour", {0xFFFFFF});
        Call("draw_set_alpha", {1});
    }
    bool Lit(int x, int y) const { return (frame.Pixel(x, y) & 0xFFFFFFu) != 0; }
};

TEST_F(ShapeDrawing, OutlineFlagIsAFloatForTrianglesAndABoolForRectangles)
{
    Call("draw_rectangle", {10, 10, 30, 30, 0.3});
    EXPECT_TRUE(Lit(20, 20)) << "0.3 is false for a bool outline: filled";
    Call("draw_clear", {0});
    Call("draw_triangle", {10, 10, 50, 10, 10, 50, 0.3});
    EXPECT_FALSE(Lit(20, 20)) << "0.3 is above 0 for the float outline: outlined";
    EXPECT_TRUE(Lit(10, 30));
}

TEST_F(ShapeDrawing, AlphaTestStateOfTheDevice)
{
    Call("draw_set_alpha_test_ref_value", {200});
    EXPECT_EQ(Num("draw_get_alpha_test_ref_value", {}), 200);
    Call("draw_set_alpha_test", {0.6});
    EXPECT_EQ(Num("draw_get_alpha_test", {}), 1);
    Call("draw_set_alpha_test", {0.5});
    EXPECT_EQ(Num("draw_get_alpha_test", {}), 0) << "a bool argument is true above 0.5 only";
}

TEST_F(ShapeDrawing, ClearIsOpaqueAndClearAlphaClamps)
{
    Call("draw_clear", {0x123456});
    EXPECT_EQ(frame.Pixel(5, 5), Rgba(0x56, 0x34, 0x12, 255));
    Call("draw_clear_alpha", {0x000010, 1.5});
    EXPECT_EQ(frame.Pixel(5, 5), Rgba(0x10, 0, 0, 255));
    Call("draw_clear_alpha", {0x000010, 0.0});
    EXPECT_EQ(frame.Pixel(5, 5), Rgba(0x10, 0, 0, 0));
}

TEST_F(ShapeDrawing, HealthbarMiddleIsTheEvenMixOfItsEnds)
{
    // At 50 the bar takes the middle colour exactly.
    Call("draw_healthbar", {0, 0, 40, 10, 50, 0, 0x0000FF, 0x00FF00, 0, 0, 0});
    EXPECT_EQ(frame.Pixel(20, 5), Rgba(0x80, 0x80, 0, 255));
}

TEST_F(ShapeDrawing, RoundRectExtTakesItsRadiiAndFloatOutline)
{
    Call("draw_roundrect_ext", {10, 10, 40, 40, 0, 0, 0});
    EXPECT_TRUE(Lit(11, 11)) << "radius 0: the corner is square";
    EXPECT_TRUE(Lit(25, 25));
    Call("draw_clear", {0});
    Call("draw_roundrect", {10, 10, 40, 40, 0});
    EXPECT_FALSE(Lit(11, 11)) << "the short form rounds the corners by 10";
}

}  // namespace
