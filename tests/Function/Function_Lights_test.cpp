// The light, lighting, fog and shading built-ins through the built-in table:
// what draw_light_get reads back, and what a lit primitive looks like on the
// software device once the built-ins have described the lights and the fog.
#include "Function/Function_Lights.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "Function/BuiltinCallFixture.h"
#include "Function/Function_GPUState.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_Lights.h"
#include "Graphics/RenderStateCache.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/VertexBuilderM.h"
#include "support/GpuTestFrame.h"

namespace {

struct LightFunctions : BuiltinCallFixture {
    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        LayerMode = NewFormat();
        InitLightFunctions();
        InitGpuStateFunctions();
    }
    void TearDown() override
    {
        LayerMode = false;
        BuiltinCallFixture::TearDown();
    }
    virtual bool NewFormat() const { return true; }
};

TEST_F(LightFunctions, DirectionalAndPointLightsReadBack)
{
    Call("draw_light_define_direction", {R(2), R(0), R(0), R(2), R(0x0000FF)});
    std::vector<double> light = Reals("draw_light_get", {R(2)});
    EXPECT_EQ(light, (std::vector<double>{0, 0, 0, 0, -1, 1, 4278190335.0}))
        << "off, directional, the negated unit direction, w 1, the colour with alpha 255";

    Call("draw_light_enable", {R(2), R(1)});
    Call("draw_light_define_point", {R(2), R(10), R(20), R(30), R(40), R(0x00FF00)});
    light = Reals("draw_light_get", {R(2)});
    EXPECT_EQ(light, (std::vector<double>{1, 1, 10, 20, 30, 40, 0xFF00FF00u})) << "the direction is gone";
    EXPECT_EQ(LightState.lights[2].direction[3], 0.0f);

    Call("draw_light_define_direction", {R(2), R(3), R(0), R(4), R(0xFFFFFF)});
    light = Reals("draw_light_get", {R(2)});
    EXPECT_EQ(light, (std::vector<double>{1, 0, -0.6000000238418579, -0.0, -0.800000011920929, 1, 0xFFFFFFFFu}))
        << "position and range are gone";
    for (float v : LightState.lights[2].positionRange) EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(LightFunctions, EveryChannelByteSurvivesTheFloatColour)
{
    for (uint32_t byte = 0; byte < 256; ++byte) {
        const uint32_t colour = byte | (255 - byte) << 8 | (byte ^ 0x5A) << 16;
        Call("draw_light_define_point", {R(0), R(0), R(0), R(0), R(1), R(colour)});
        ASSERT_EQ(Reals("draw_light_get", {R(0)}).back(), static_cast<double>(colour | 0xFF000000u)) << byte;
    }
}

TEST_F(LightFunctions, BadIndicesAreReportedAndChangeNothing)
{
    Call("draw_light_define_direction", {R(1), R(0), R(1), R(0), R(0x123456)});
    const LightStateRecord before = LightState;
    struct Case {
        const char* name;
        std::vector<double> args;
        const char* message;
    };
    const Case cases[] = {
        {"draw_light_define_direction", {8, 0, 0, 1, 0}, "Light index out of range - must be between 0 and 7 (inclusive)"},
        {"draw_light_define_direction", {-1, 0, 0, 1, 0}, "Light index out of range - must be between 0 and 7 (inclusive)"},
        {"draw_light_define_point", {9, 0, 0, 0, 5, 0}, "Light index out of range - must be between 0 and 7 (inclusive)"},
        {"draw_light_enable", {-3, 1}, "Light index out of range - must be between 0 and 7 (inclusive)"},
        {"draw_light_get", {}, "draw_light_get() - wrong number of arguments - should take light index"},
        {"draw_light_get", {1, 2}, "draw_light_get() - wrong number of arguments - should take light index"},
        {"draw_light_get", {8}, "draw_light_get() - light index out of range"},
    };
    for (const Case& c : cases) {
        std::vector<ScriptValue> args;
        for (double d : c.args) args.push_back(R(d));
        ScriptValue result = Call(c.name, std::move(args));
        EXPECT_EQ(result.Kind(), VALUE_UNDEFINED) << c.name << ": no result set";
        EXPECT_NE(TakeError().find(c.message), std::string::npos) << c.name;
    }
    EXPECT_EQ(std::memcmp(&before, &LightState, sizeof before), 0);
}

TEST_F(LightFunctions, AmbientWordAndLightingSwitch)
{
    EXPECT_EQ(Num("draw_light_get_ambient"), 4294967295.0) << "white with alpha at start";
    Call("draw_light_define_ambient", {R(0x00FFFFFF)});
    EXPECT_EQ(Num("draw_light_get_ambient"), 16777215.0) << "stored as given, alpha 0 included";
    EXPECT_EQ(Num("draw_get_lighting"), 0);
    Call("draw_set_lighting", {R(1)});
    EXPECT_EQ(Num("draw_get_lighting"), 1);
    EXPECT_EQ(g_RenderStateCache.GetRenderState(RS_LIGHTING), 1);
    Call("draw_set_lighting", {R(0)});
    EXPECT_EQ(g_RenderStateCache.GetRenderState(RS_LIGHTING), 0);
}

TEST_F(LightFunctions, ArgumentsOfTheWrongKindAreFatal)
{
    Call("draw_light_enable", {R(0), S("yes")});
    EXPECT_NE(TakeError().find("draw_light_enable argument 2 incorrect type (string) expecting a Number"),
              std::string::npos);
    Call("draw_light_define_point", {R(0), R(0), A({1}), R(0), R(1), R(0)});
    EXPECT_NE(TakeError().find("draw_light_define_point argument 3 incorrect type (array)"), std::string::npos);
}

struct LegacyLightFunctions : LightFunctions {
    bool NewFormat() const override { return false; }
};

TEST_F(LegacyLightFunctions, LegacyNamesFogAndShading)
{
    int32_t index;
    EXPECT_FALSE(CodeFunction_Find("draw_light_get", &index));
    EXPECT_FALSE(CodeFunction_Find("draw_light_define_point", &index));
    Call("d3d_light_define_point", {R(4), R(1), R(2), R(3), R(4), R(0)});
    EXPECT_EQ(LightState.lights[4].kind, 1);

    Call("d3d_set_fog", {R(1), R(254.6), R(10.7), R(99.9)});
    const int32_t start = g_RenderStateCache.GetRenderState(RS_FOGSTART);
    const int32_t end = g_RenderStateCache.GetRenderState(RS_FOGEND);
    float startValue, endValue;
    std::memcpy(&startValue, &start, 4);
    std::memcpy(&endValue, &end, 4);
    EXPECT_EQ(startValue, 10.0f);
    EXPECT_EQ(endValue, 99.0f);
    EXPECT_EQ(static_cast<uint32_t>(g_RenderStateCache.GetRenderState(RS_FOGCOLOR)), 0xFF0000FFu)
        << "the colour rounded to the nearest whole number";
    EXPECT_EQ(g_RenderStateCache.GetRenderState(RS_FOGENABLE), 1);
    Call("d3d_set_fog", {R(0), R(0), R(0), R(0)});
    EXPECT_EQ(g_RenderStateCache.GetRenderState(RS_FOGENABLE), 0);

    Call("d3d_set_shading", {R(0)});
    EXPECT_EQ(g_RenderStateCache.GetRenderState(RS_SHADEMODE), 1);
    Call("d3d_set_shading", {R(1)});
    EXPECT_EQ(g_RenderStateCache.GetRenderState(RS_SHADEMODE), 2);
    EXPECT_EQ(TakeError(), "");
}

// A triangle of 36-byte vertices facing the viewer (normal -z), drawn with
// identity world and view matrices at view depth z, and its centre read back.
struct LitPrimitive : LightFunctions {
    std::unique_ptr<GpuTestFrame> frame;

    void SetUp() override
    {
        LightFunctions::SetUp();
        frame = std::make_unique<GpuTestFrame>(64, 64);
        ASSERT_TRUE(frame->ok);
        // The state manager's slots outlive a test; start them dark.
        for (int i = 0; i < 8; ++i) StateManagerM::SetLight(i, LightSlot{});
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        const float projection[16] = {1.0f / 8, 0, 0, 0, 0, 1.0f / 8, 0, 0, 0, 0, 1.0f / 200, 0, 0, 0, 0, 1};
        GR_D3D_SetMatrix(MATRIX_WORLD, identity);
        GR_D3D_SetMatrix(MATRIX_VIEW, identity);
        GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
        GR_D3D_Clear(Rgba(0, 0, 0, 255), 1.0f, 0, CLEAR_COLOUR | CLEAR_DEPTH);
    }
    void TearDown() override
    {
        frame.reset();
        LightFunctions::TearDown();
    }

    uint32_t DrawAndRead(uint32_t colour, float z = 0.0f)
    {
        struct V36 {
            float x, y, z, nx, ny, nz;
            uint32_t colour;
            float u, v;
        };
        auto* v = static_cast<V36*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 36, 3));
        if (!v) return 0;
        v[0] = {6, 0, z, 0, 0, -1, colour, 0, 0};
        v[1] = {-6, 0, z, 0, 0, -1, colour, 0, 0};
        v[2] = {0, 6, z, 0, 0, -1, colour, 0, 0};
        return frame->Pixel(32, 22);
    }
};

TEST_F(LitPrimitive, LightsAndAmbientFromTheBuiltins)
{
    const uint32_t grey = Rgba(128, 128, 128, 255);
    Num("gpu_set_blendenable", {R(0)});
    Call("draw_set_lighting", {R(1)});
    Call("draw_light_define_ambient", {R(0x404040)});
    Call("draw_light_define_direction", {R(0), R(0), R(0), R(1), R(0xFFFFFF)});
    EXPECT_TRUE(Near(DrawAndRead(grey), Rgba(64, 64, 64, 255), 1)) << "defined but not enabled: ambient only";

    Call("draw_light_enable", {R(0), R(1)});
    EXPECT_TRUE(Near(DrawAndRead(grey), Rgba(192, 192, 192, 255), 1)) << "full light along the normal";

    Call("draw_light_define_direction", {R(0), R(0), R(0), R(-5), R(0xFFFFFF)});
    EXPECT_TRUE(Near(DrawAndRead(grey), Rgba(64, 64, 64, 255), 1)) << "from behind";

    // A red point light far in front (the cosine at every vertex nearly 1), then out of its range.
    Call("draw_light_define_point", {R(0), R(0), R(2), R(-500), R(1000), R(0x0000FF)});
    EXPECT_TRUE(Near(DrawAndRead(grey), Rgba(192, 64, 64, 255), 1));
    Call("draw_light_define_point", {R(0), R(0), R(2), R(-500), R(400), R(0x0000FF)});
    EXPECT_TRUE(Near(DrawAndRead(grey), Rgba(64, 64, 64, 255), 1)) << "out of range";

    Call("draw_set_lighting", {R(0)});
    EXPECT_EQ(DrawAndRead(grey), grey) << "lighting off: the vertex colour";
}

TEST_F(LitPrimitive, DirectionOfLengthZeroAddsNoLight)
{
    Num("gpu_set_blendenable", {R(0)});
    Call("draw_set_lighting", {R(1)});
    Call("draw_light_define_ambient", {R(0x404040)});
    Call("draw_light_define_direction", {R(1), R(0), R(0), R(0), R(0xFFFFFF)});
    Call("draw_light_enable", {R(1), R(1)});
    const std::vector<double> light = Reals("draw_light_get", {R(1)});
    for (size_t k = 2; k < 5; ++k) EXPECT_EQ(light[k], 0.0) << k;
    EXPECT_TRUE(Near(DrawAndRead(Rgba(255, 255, 255, 255)), Rgba(64, 64, 64, 255), 1));
}

TEST_F(LitPrimitive, FogOverALitPrimitive)
{
    Num("gpu_set_blendenable", {R(0)});
    Call("draw_set_lighting", {R(1)});
    Call("draw_light_define_ambient", {R(0x000000)});
    Call("draw_light_define_direction", {R(0), R(0), R(0), R(1), R(0xFFFFFF)});
    Call("draw_light_enable", {R(0), R(1)});
    Num("gpu_set_fog", {R(1), R(0xFF0000), R(0), R(100)});  // blue fog from 0 to 100
    EXPECT_TRUE(Near(DrawAndRead(Rgba(255, 0, 0, 255), 50.0f), Rgba(128, 0, 128, 255), 1)) << "half way";
    EXPECT_TRUE(Near(DrawAndRead(Rgba(255, 0, 0, 255), 150.0f), Rgba(0, 0, 255, 255), 1)) << "beyond the end";
    Num("gpu_set_fog", {R(0), R(0), R(0), R(0)});
    EXPECT_TRUE(Near(DrawAndRead(Rgba(255, 0, 0, 255), 50.0f), Rgba(255, 0, 0, 255), 1));
}

}  // namespace
