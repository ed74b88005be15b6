// The shader built-ins as compiled code calls them, over shaders loaded from
// a writer-made "SHDR" chunk on the software device.
#include "Function/Function_Shader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/ShaderM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/VertexBuilderM.h"
#include "Function/BuiltinCallFixture.h"
#include "Options/Runner_Options.h"
#include "support/DxbcWriter.h"
#include "support/GpuTestFrame.h"
#include "support/LoadedGame.h"
#include "support/ShaderFixtures.h"

namespace {

struct V24 { float u, v; uint32_t colour; float x, y, z; };

class ShaderFunctions : public LoadedGameTest, public BuiltinCalls {
protected:
    std::unique_ptr<GpuTestFrame> frame;

    void SetUp() override
    {
        frame = std::make_unique<GpuTestFrame>(16, 16);
        ASSERT_TRUE(frame->ok);
        StateManagerM::SetRenderState(RS_BLENDENABLE, 0);
        CodeFunction_FreeAll();
        InitShaderFunctions();
        ShowErrorDialogs = false;
        ResetErrors();
        // 0 usable (tint), 1 not compatible, 2 a second usable one.
        shaderfixtures::Entry broken = shaderfixtures::TintShader("sh_broken", false);
        shaderfixtures::Description pixel = shaderfixtures::TintPixel(false);
        pixel.bytecode = dxbc::UntranslatablePixelProgram();
        broken.pixel = shaderfixtures::DescriptionBytes(pixel);
        ASSERT_TRUE(Load(shaderfixtures::Game({shaderfixtures::TintShader("sh_tint", false), broken,
                                               shaderfixtures::TintShader("sh_other", false)})));
    }
    void TearDown() override
    {
        CodeFunction_FreeAll();
        ResetErrors();
        ChildGame = false;
        ShowErrorDialogs = true;
        Shader_FreeAll();
        frame.reset();
        LoadedGameTest::TearDown();
    }
    static bool Has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

    static ScriptValue Array(int n, double first = 0)
    {
        ScriptValue v = ScriptValue_Undefined();
        for (int i = n - 1; i >= 0; --i) ScriptValue_SetReal(ScriptValue_ArrayElementForWrite(&v, i), first + i);
        if (n == 0) {
            v.kind = VALUE_ARRAY;
            v.arr = RefArray_New(&v);
        }
        return v;
    }
    static double Num(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        const double out = result.Kind() == VALUE_REAL ? result.real : -9999;
        ScriptValue_SetUndefined(&result);
        return out;
    }
    // The bytes of uniform "name" of the current shader, as floats.
    static const float* Uniform(const char* name)
    {
        const ShaderResource* s = Shader_GetCurrentRecord();
        uint32_t size = 0;
        return s ? reinterpret_cast<const float*>(
                       Shader_UniformBytes(s->backend, Shader_GetUniformIndex(s, name), &size))
                 : nullptr;
    }
};

TEST_F(ShaderFunctions, SetResetAndCurrent)
{
    ASSERT_EQ(Shader_Get(0)->errorText, "");
    EXPECT_EQ(Num("shader_current", {}), -1);
    Num("shader_set", {R(2)});
    EXPECT_EQ(Num("shader_current", {}), 2);
    EXPECT_EQ(Shader_GetCurrent(), 2);

    Num("shader_set", {R(7)});
    EXPECT_TRUE(Has(TakeError(), "Illegal shader handle"));
    EXPECT_EQ(Num("shader_current", {}), 2);

    Num("shader_reset", {R(0)});
    EXPECT_TRUE(Has(TakeError(), "shader_set: Illegal argument count"));
    EXPECT_EQ(Shader_GetCurrent(), 2);

    Num("shader_reset", {});
    EXPECT_EQ(Num("shader_current", {}), -1);
    EXPECT_EQ(Shader_GetCurrent(), -1);

    Num("shader_set", {R(0)});
    Num("shader_set", {R(-1)});
    EXPECT_EQ(Shader_GetCurrent(), -1);
    EXPECT_EQ(TakeError(), "");
}

TEST_F(ShaderFunctions, QueriesAndTheNotCompatibleShader)
{
    EXPECT_EQ(Num("shaders_are_supported", {}), 1);
    EXPECT_EQ(Num("shader_is_compiled", {R(0)}), 1);
    EXPECT_EQ(Num("shader_is_compiled", {R(1)}), 0);
    EXPECT_EQ(Num("shader_is_compiled", {R(3)}), 0);
    EXPECT_TRUE(Has(TakeError(), "Illegal shader handle"));
    EXPECT_GE(Num("shader_get_uniform", {R(0), S("tint")}), 0);
    EXPECT_EQ(Num("shader_get_uniform", {R(0), S("nothing")}), -1);
    EXPECT_EQ(Num("shader_get_uniform", {R(1), S("tint")}), -1);
    EXPECT_EQ(Num("shader_get_sampler_index", {R(0), S("qs_BaseTexture")}), -1);
    EXPECT_EQ(Num("shader_get_uniform", {R(-5), S("tint")}), -1);
    EXPECT_TRUE(Has(TakeError(), "Illegal shader handle"));

    // Selecting the broken shader reports its text on every apply, not fatally.
    Num("shader_set", {R(1)});
    EXPECT_TRUE(Has(TakeError(), "Pixel shader not compatible with this device"));
    EXPECT_FALSE(FatalErrorShown);
    Num("shader_set", {R(0)});
    Num("shader_set", {R(1)});
    EXPECT_TRUE(Has(TakeError(), "Pixel shader not compatible with this device"));
}

TEST_F(ShaderFunctions, UniformSettersReachTheDrawnFrame)
{
    const double tint = Num("shader_get_uniform", {R(0), S("tint")});
    Num("shader_set", {R(0)});
    Num("shader_set_uniform_f", {R(tint), R(0.0), R(1.0), R(1.0), R(1.0), R(0.25)});
    const float* stored = Uniform("tint");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored[3], 1.0f);  // the fifth value is not passed on

    // Identity matrices: the vertices are in clip space, covering the frame.
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int slot = 0; slot < 3; ++slot) GR_D3D_SetMatrix(slot, identity);
    auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, nullptr, 24, 4));
    ASSERT_NE(v, nullptr);
    v[0] = {0, 0, 0xFFFFFFFF, -1, -1, 0};
    v[1] = {0, 0, 0xFFFFFFFF, -1, 1, 0};
    v[2] = {0, 0, 0xFFFFFFFF, 1, -1, 0};
    v[3] = {0, 0, 0xFFFFFFFF, 1, 1, 0};
    EXPECT_TRUE(Near(frame->Pixel(8, 8), Rgba(0, 255, 255, 255), 2)) << std::hex << frame->Pixel(8, 8);

    Num("shader_set_uniform_i", {R(tint), R(2.9)});
    EXPECT_EQ(reinterpret_cast<const int32_t*>(stored)[0], 2);
}

TEST_F(ShaderFunctions, ArraySettersCheckTheirArray)
{
    const double tint = Num("shader_get_uniform", {R(0), S("tint")});
    const double matrices = Num("shader_get_uniform", {R(0), S("qs_Matrices")});
    Num("shader_set", {R(0)});

    Num("shader_set_uniform_f_array", {R(tint), R(3)});
    EXPECT_TRUE(Has(TakeError(), "Illegal argument type"));
    Num("shader_set_uniform_f_array", {R(tint), Array(0)});
    EXPECT_TRUE(Has(TakeError(), "Illegal array count"));
    Num("shader_set_uniform_f_array", {R(tint), Array(4, 10)});
    EXPECT_EQ(TakeError(), "");
    EXPECT_EQ(Uniform("tint")[2], 12.0f);

    Num("shader_set_uniform_matrix_array", {R(matrices), Array(15)});
    EXPECT_TRUE(Has(TakeError(), "Illegal array count"));
    // 20 values: one matrix (written transposed), the rest ignored.
    Num("shader_set_uniform_matrix_array", {R(matrices), Array(20, 100)});
    EXPECT_EQ(TakeError(), "");
    const float* stored = Uniform("qs_Matrices");
    EXPECT_EQ(stored[1], 104.0f);
    EXPECT_EQ(stored[15], 115.0f);
    EXPECT_NE(stored[16], 116.0f);

    Num("shader_set_uniform_matrix_array", {R(matrices), R(1)});
    EXPECT_TRUE(Has(TakeError(), "Illegal argument type"));
}

TEST_F(ShaderFunctions, TexelSizesOfTextures)
{
    EXPECT_EQ(Num("texture_get_texel_width", {R(-1)}), 1);
    EXPECT_EQ(Num("texture_get_texel_height", {R(-77)}), 1);
    std::vector<uint32_t> pixels(256 * 4, 0xFFFFFFFF);
    const int texture = GR_Texture_Create(256, 4, pixels.data(), static_cast<int>(pixels.size() * 4));
    ASSERT_GE(texture, 0);
    EXPECT_EQ(Num("texture_get_texel_width", {R(texture)}), 0.00390625);
    EXPECT_EQ(Num("texture_get_texel_height", {R(texture)}), 0.25);
    // A handle above every slot that names no page entry gives up.
    EXPECT_EQ(Num("texture_get_texel_width", {R(20000)}), 1);
    Num("texture_set_stage", {R(1), R(texture)});
    Num("texture_set_stage", {R(1), R(-1)});
    EXPECT_EQ(TakeError(), "");
    GR_Texture_Free(texture);
}

}  // namespace
