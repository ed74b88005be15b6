// Game shaders from the "SHDR" chunk: the reader's checks, the not-compatible
// path, and the whole way from a record through translation to a drawn,
// read-back frame, with the uniform layout rules of the constant buffers.
#include "Graphics/ShaderM.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "GameData/GameData.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/VertexBuilderM.h"
#include "Host/Host_GPU.h"
#include "support/DxbcWriter.h"
#include "support/GpuTestFrame.h"
#include "support/LoadedGame.h"
#include "support/ShaderFixtures.h"

namespace {

using shaderfixtures::Entry;

std::vector<uint8_t> Text(const char* text) { return std::vector<uint8_t>(text, text + std::strlen(text) + 1); }

struct ShaderRecords : LoadedGameTest {};

TEST_F(ShaderRecords, ReadsEntriesSkippingEmptyOffsets)
{
    Entry b;
    b.name = "sh_b";
    b.attributes = {"in_Position", "in_Colour"};
    b.vertex = Text("syntax error at line 3");
    Entry c;
    c.name = "sh_c";
    c.pixel = Text("pixel error");
    Entry none;
    none.name = "sh_none";
    ASSERT_TRUE(Load(shaderfixtures::Game({std::nullopt, b, c, none}))) << GameData_LastError();
    ASSERT_EQ(Shader_Count(), 3);
    EXPECT_EQ(Shader_Find("sh_b"), 0);
    EXPECT_EQ(Shader_Find("sh_none"), 2);
    EXPECT_EQ(Shader_Find("SH_B"), -1);
    const ShaderResource* first = Shader_Get(0);
    ASSERT_EQ(first->attributeNames.size(), 2u);
    EXPECT_STREQ(first->attributeNames[1], "in_Colour");
    EXPECT_EQ(first->type, 1);
    // A lone program field holds the other target's compile error.
    EXPECT_EQ(first->errorText, "syntax error at line 3");
    EXPECT_EQ(first->errorStage, 0);
    EXPECT_EQ(Shader_Get(1)->errorText, "pixel error");
    EXPECT_EQ(Shader_Get(1)->errorStage, 1);
    EXPECT_EQ(Shader_Get(2)->errorText, "Invalid shader");
    EXPECT_NE(log.Text().find("Invalid shader (is it marked as incompatible type for this target?) \"sh_none\":\n"),
              std::string::npos);
    EXPECT_EQ(log.Text().find("\"sh_b\""), std::string::npos);
}

TEST_F(ShaderRecords, ProgramBlockFieldsAreKept)
{
    gamedata::FormWriter w;
    w.Gen8(gamedata::GeneralHeader{});
    gamedata::Chunk& c = w.Add("SHDR");
    c.U32(1).Offset(8);
    c.String("sh_block").U32(0x80000000u | 1);
    c.Zeros(4 * 8).U32(0);         // programs 1-6, both device programs, no attributes
    c.U32(2);                      // block version 2
    c.Offset(8).I32(7).U32(0).I32(8).U32(0).I32(9).U32(0).I32(10).Offset(8).U32(0).Offset(12);
    w.Strg();
    ASSERT_TRUE(Load(w.Finish())) << GameData_LastError();
    const ShaderResource* s = Shader_Get(0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->words[0], 7);
    EXPECT_EQ(s->words[3], 10);
    EXPECT_EQ(s->programs[6], s->programs[10]);
    EXPECT_NE(s->programs[6], nullptr);
    EXPECT_EQ(s->programs[11], s->programs[6] + 4);
    EXPECT_EQ(s->errorText, "Invalid shader");
}

TEST_F(ShaderRecords, MalformedEntriesRefuseTheChunk)
{
    struct Case { const char* what; std::vector<uint32_t> words; };
    // Each payload: count 1, the entry's offset as a payload position (patched), then the entry.
    const Case cases[] = {
        {"entry cut short", {0, 0, 0}},
        {"name outside the file", {0x7FFFFFF0u, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"program outside the chunk", {0, 1, 0, 0, 0, 0, 0, 0, 0x7FFFFFF0u, 0, 0}},
        {"attribute count past the chunk", {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0x40000000u}},
        {"program block cut short", {0, 0x80000001u, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0}},
    };
    for (const Case& k : cases) {
        gamedata::FormWriter w;
        w.Gen8(gamedata::GeneralHeader{});
        gamedata::Chunk& c = w.Add("SHDR");
        c.U32(1).Offset(8);
        for (uint32_t word : k.words) c.U32(word);
        w.Strg();
        EXPECT_FALSE(Load(w.Finish())) << k.what;
        EXPECT_NE(std::string(GameData_LastError()).find("SHDR"), std::string::npos) << k.what;
        EXPECT_EQ(Shader_Count(), 0) << k.what;
        testgames::Unload();
    }
}

TEST_F(ShaderRecords, WithoutADeviceBothProgramsAreNotCompatible)
{
    ASSERT_TRUE(Load(shaderfixtures::Game({shaderfixtures::TintShader("sh_tint", false)})));
    EXPECT_EQ(Shader_Get(0)->errorText, "Vertex shader not compatible with this device");
    EXPECT_EQ(Shader_Get(0)->backend, -1);
    EXPECT_EQ(Shader_Get(0)->matricesUniform, -1);
}

TEST(ShaderUsage, SemanticNamesMapToUsageCodes)
{
    const std::pair<const char*, int> cases[] = {{"POSITION", 1}, {"color", 2},    {"Normal", 3},  {"texcoord", 4},
                                                 {"BLENDINDICES", 6}, {"FOG", 12}, {"DEPTH", 4}, {"SAMPLE", 4},
                                                 {"MYSTERY", 4}};
    for (const auto& [name, code] : cases) EXPECT_EQ(Shader_UsageFromSemantic(name), code) << name;
}

// --- on the software device ---

struct V24 { float u, v; uint32_t colour; float x, y, z; };
const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class ShaderDevice : public LoadedGameTest {
protected:
    std::unique_ptr<GpuTestFrame> frame;

    void SetUp() override { Start(true); }
    // A frame on a device with or without the driver's clip control.
    void Start(bool clipControl)
    {
        frame.reset();
        HGPU_IgnoreClipControl(!clipControl);
        frame = std::make_unique<GpuTestFrame>(32, 32);
        HGPU_IgnoreClipControl(false);
        ASSERT_TRUE(frame->ok);
        ASSERT_EQ(HGPU_GetDeviceInfo()->clipControl, clipControl);
        StateManagerM::SetRenderState(RS_BLENDENABLE, 0);
        GR_D3D_Clear(Rgba(0, 0, 0, 255), 1.0f, 0, CLEAR_COLOUR);
        // Pixels to clip space with the top-left origin.
        const float projection[16] = {2.0f / 32, 0, 0, 0, 0, -2.0f / 32, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1};
        GR_D3D_SetMatrix(MATRIX_WORLD, kIdentity);
        GR_D3D_SetMatrix(MATRIX_VIEW, kIdentity);
        GR_D3D_SetMatrix(MATRIX_PROJECTION, projection);
    }
    void TearDown() override
    {
        Shader_FreeAll();
        frame.reset();
        LoadedGameTest::TearDown();
    }

    // A white rectangle of 24-byte vertices over x 0..16, y 0..32.
    static void LeftHalf(uint32_t colour = 0xFFFFFFFF)
    {
        auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLELIST, nullptr, 24, 6));
        ASSERT_NE(v, nullptr);
        const V24 a{0, 0, colour, 0, 0, 0}, b{1, 0, colour, 16, 0, 0}, c{0, 1, colour, 0, 32, 0},
            d{1, 1, colour, 16, 32, 0};
        v[0] = a, v[1] = b, v[2] = c, v[3] = b, v[4] = d, v[5] = c;
    }
    static void Use(int id)
    {
        Shader_SetPending(id);
        Shader_Apply();
    }
    static void Tint(float r, float g, float b, float a)
    {
        const float values[4] = {r, g, b, a};
        ASSERT_TRUE(Shader_SetUniformF(Shader_GetUniformIndex(Shader_GetCurrentRecord(), "tint"), 4, values));
    }
};

TEST_F(ShaderDevice, TranslatedProgramsDrawTheTint)
{
    ASSERT_TRUE(Load(shaderfixtures::Game(
        {shaderfixtures::TintShader("sh_plain", false), shaderfixtures::TintShader("sh_textured", true)})));
    for (int id = 0; id < 2; ++id) {
        const ShaderResource* s = Shader_Get(id);
        ASSERT_TRUE(s->errorText.empty()) << s->errorText;
        EXPECT_GE(s->backend, 0);
        EXPECT_GE(s->matricesUniform, 0);
        EXPECT_EQ(s->ambientUniform, -1);
    }
    EXPECT_EQ(Shader_Get(0)->baseTextureSampler, -1);
    EXPECT_EQ(Shader_Get(1)->baseTextureSampler, 0);

    Use(0);
    Tint(1, 0.5f, 0, 1);
    LeftHalf();
    EXPECT_TRUE(Near(frame->Pixel(4, 16), Rgba(255, 128, 0, 255), 2)) << std::hex << frame->Pixel(4, 16);
    EXPECT_EQ(frame->Pixel(28, 16), Rgba(0, 0, 0, 255));

    // The textured program samples the white texture the batcher binds for
    // "no texture", times the vertex colour.
    Use(1);
    Tint(1, 0.5f, 1, 1);
    LeftHalf(0xFF80FF00);
    EXPECT_TRUE(Near(frame->Pixel(8, 8), Rgba(0, 128, 128, 255), 2)) << std::hex << frame->Pixel(8, 8);

    // Back to the built-in programs.
    Use(-1);
    LeftHalf(0xFF00FF00);
    EXPECT_TRUE(Near(frame->Pixel(8, 8), Rgba(0, 255, 0, 255), 2)) << std::hex << frame->Pixel(8, 8);
}

// Without clip control the translated vertex program mirrors the position
// itself: the top-left quarter stays top-left.
TEST_F(ShaderDevice, PositionsKeepTheTopLeftOriginWithoutClipControl)
{
    Start(false);
    ASSERT_TRUE(Load(shaderfixtures::Game({shaderfixtures::TintShader("sh_plain", false)})));
    Use(0);
    Tint(1, 1, 1, 1);
    auto* v = static_cast<V24*>(GR_VertexBuilder_AllocVerts(PR_TRIANGLESTRIP, nullptr, 24, 4));
    ASSERT_NE(v, nullptr);
    v[0] = {0, 0, 0xFFFFFFFF, 0, 0, 0.5f};
    v[1] = {0, 0, 0xFFFFFFFF, 16, 0, 0.5f};
    v[2] = {0, 0, 0xFFFFFFFF, 0, 16, 0.5f};
    v[3] = {0, 0, 0xFFFFFFFF, 16, 16, 0.5f};
    EXPECT_EQ(frame->Pixel(4, 4), Rgba(255, 255, 255, 255));
    EXPECT_EQ(frame->Pixel(4, 28), Rgba(0, 0, 0, 255));
    EXPECT_EQ(frame->Pixel(28, 4), Rgba(0, 0, 0, 255));
}

TEST_F(ShaderDevice, UniformValuesSurviveADeviceReset)
{
    ASSERT_TRUE(Load(shaderfixtures::Game({shaderfixtures::TintShader("sh_plain", false)})));
    Use(0);
    Tint(0, 1, 0, 1);
    GR_D3D_RecreateDevice();
    ASSERT_TRUE(Start_Frame());
    StateManagerM::SetRenderState(RS_BLENDENABLE, 0);
    Use(0);
    LeftHalf();
    EXPECT_TRUE(Near(frame->Pixel(4, 4), Rgba(0, 255, 0, 255), 2)) << std::hex << frame->Pixel(4, 4);
}

TEST_F(ShaderDevice, ProgramsTheDeviceCannotTakeAreNotCompatible)
{
    Entry badPixel = shaderfixtures::TintShader("sh_bad_pixel", false);
    shaderfixtures::Description pixel = shaderfixtures::TintPixel(false);
    pixel.bytecode = dxbc::UntranslatablePixelProgram();
    badPixel.pixel = shaderfixtures::DescriptionBytes(pixel);

    Entry badChecksum = shaderfixtures::TintShader("sh_bad_sum", false);
    shaderfixtures::Description vertex = shaderfixtures::PassThroughVertex();
    vertex.bytecode[5] ^= 0x40;
    badChecksum.vertex = shaderfixtures::DescriptionBytes(vertex);

    Entry swapped = shaderfixtures::TintShader("sh_swapped", false);
    std::swap(swapped.vertex, swapped.pixel);

    // A description whose bytecode runs past the chunk's end.
    Entry cut = shaderfixtures::TintShader("sh_cut", false);
    cut.pixel->at(0x18) = 0xFF;
    cut.pixel->at(0x19) = 0xFF;

    ASSERT_TRUE(Load(shaderfixtures::Game({badPixel, badChecksum, swapped, cut}))) << GameData_LastError();
    const char* expected[] = {"Pixel shader not compatible with this device", "Vertex shader not compatible with this device",
                              "Vertex shader not compatible with this device", "Pixel shader not compatible with this device"};
    for (int id = 0; id < 4; ++id) {
        EXPECT_EQ(Shader_Get(id)->errorText, expected[id]) << id;
        EXPECT_EQ(Shader_Get(id)->backend, -1) << id;
    }
    EXPECT_NE(log.Text().find("Shader translation failed (pixel program)"), std::string::npos);

    // Applied, such a shader draws nothing of its own and takes no uniforms.
    Use(0);
    const float values[4] = {1, 1, 1, 1};
    EXPECT_FALSE(Shader_SetUniformF(0, 4, values));
    LeftHalf();
    GR_VertexBuilder_Flush();
}

// A description of uniforms for the layout rules; the pass-through programs
// carry it (their own buffers are what the device reads).
TEST_F(ShaderDevice, UniformWritesFollowTheRegisterLayout)
{
    Entry e = shaderfixtures::TintShader("sh_layout", false);
    shaderfixtures::Description vertex = shaderfixtures::PassThroughVertex();
    vertex.buffers.push_back({"extra", 1, 128});
    vertex.variables.push_back({"_weights", 1, 0, 48, 0, 1, 1, 3});   // float weights[3]
    vertex.variables.push_back({"model", 1, 48, 64, 5, 4, 4, 0});     // float4x4
    vertex.variables.push_back({"lost", 7, 0, 16, 0, 4, 1, 0});       // no such buffer: left out
    e.vertex = shaderfixtures::DescriptionBytes(vertex);
    ASSERT_TRUE(Load(shaderfixtures::Game({e})));
    const ShaderResource* s = Shader_Get(0);
    ASSERT_GE(s->backend, 0) << s->errorText;
    Use(0);
    const int weights = Shader_GetUniformIndex(s, "weights");
    const int model = Shader_GetUniformIndex(s, "model");
    ASSERT_GE(weights, 0);
    ASSERT_GE(model, 0);
    EXPECT_EQ(Shader_GetUniformIndex(s, "lost"), -1);
    EXPECT_EQ(Shader_GetUniformIndex(s, "_tint"), -1);

    const float three[3] = {1, 2, 3};
    ASSERT_TRUE(Shader_SetUniformFArray(weights, 3, three));
    uint32_t size = 0;
    const auto* bytes = reinterpret_cast<const float*>(Shader_UniformBytes(s->backend, weights, &size));
    ASSERT_EQ(size, 48u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[4], 2);
    EXPECT_EQ(bytes[8], 3);
    EXPECT_EQ(bytes[1], 0);

    float m[16];
    for (int i = 0; i < 16; ++i) m[i] = static_cast<float>(i);
    ASSERT_TRUE(Shader_SetUniformMatrix(model, 1, m));
    const auto* stored = reinterpret_cast<const float*>(Shader_UniformBytes(s->backend, model, &size));
    EXPECT_EQ(stored[1], 4);   // element (row 0, column 1) holds source (row 1, column 0)
    EXPECT_EQ(stored[4], 1);
    EXPECT_EQ(stored[15], 15);

    // Handles past the list, and no current shader, change nothing.
    const float values[4] = {9, 9, 9, 9};
    EXPECT_FALSE(Shader_SetUniformF(4, 4, values));
    EXPECT_FALSE(Shader_SetUniformF(-1, 4, values));
    Use(-1);
    EXPECT_FALSE(Shader_SetUniformF(weights, 1, values));
    EXPECT_EQ(bytes[0], 1);
}

TEST_F(ShaderDevice, SamplersAndLayoutsAreFoundAndCached)
{
    Entry e = shaderfixtures::TintShader("sh_samplers", true);
    shaderfixtures::Description pixel = shaderfixtures::TintPixel(true);
    pixel.samplers.push_back({"sampler__noise", 3});
    e.pixel = shaderfixtures::DescriptionBytes(pixel);
    ASSERT_TRUE(Load(shaderfixtures::Game({e})));
    const ShaderResource* s = Shader_Get(0);
    ASSERT_GE(s->backend, 0) << s->errorText;
    EXPECT_EQ(Shader_GetSamplerIndex(s, "noise"), 3);
    EXPECT_EQ(Shader_GetSamplerIndex(s, "qs_BaseTexture"), 0);
    EXPECT_EQ(Shader_GetSamplerIndex(s, "missing"), -1);

    HGPU_InputLayout* layout24 = Shader_GetInputLayout(s->backend, 24);
    ASSERT_NE(layout24, nullptr);
    EXPECT_EQ(Shader_GetInputLayout(s->backend, 36), Shader_GetInputLayout(s->backend, 36));
    EXPECT_EQ(Shader_GetInputLayout(s->backend, 24), layout24);
    EXPECT_EQ(Shader_GetInputLayout(s->backend, 12345), nullptr);
}

}  // namespace
