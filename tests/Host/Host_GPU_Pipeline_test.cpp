// Draws through the device layer, with the driver's clip control and with
// the vertex-stage fallback: both must give the same pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "Host/Host_GPU.h"

namespace {

const char kVertex[] =
    "#version 330 core\n"
    "in vec3 in_Position;\n"
    "in vec4 in_Colour;\n"
    "in vec2 in_TexCoord;\n"
    "out vec4 v_Colour;\n"
    "out vec2 v_TexCoord;\n"
    "void main() {\n"
    "    gl_Position = vec4(in_Position, 1.0);\n"
    "#ifdef QS_FLIP_CLIP\n"
    "    gl_Position.y = -gl_Position.y;\n"
    "    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n"
    "#endif\n"
    "    v_Colour = in_Colour;\n"
    "    v_TexCoord = in_TexCoord;\n"
    "}\n";
const char kPixel[] =
    "#version 330 core\n"
    "layout(std140) uniform Tint { vec4 tint; } t;\n"
    "uniform sampler2D image;\n"
    "in vec4 v_Colour;\n"
    "in vec2 v_TexCoord;\n"
    "out vec4 o_Colour;\n"
    "void main() { o_Colour = v_Colour * t.tint * texture(image, v_TexCoord); }\n";

const HGPU_ShaderInput kInputs[] = {
    {"in_Position", "POSITION", 0}, {"in_Colour", "COLOR", 0}, {"in_TexCoord", "TEXCOORD", 0}};
const HGPU_ShaderBlock kBlocks[] = {{"Tint", 1}};
const HGPU_ShaderBlock kTextures[] = {{"image", 2}};
const HGPU_InputElement kLayout[] = {{"POSITION", 0, HGPU_ElementFormat::Float3, 0},
                                     {"COLOR", 0, HGPU_ElementFormat::UByte4Norm, 12},
                                     {"TEXCOORD", 0, HGPU_ElementFormat::Float2, 16}};

struct Vertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

constexpr uint32_t Rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return r | g << 8 | b << 16 | a << 24; }
constexpr int kSize = 16;

class PipelineTest : public ::testing::TestWithParam<bool> {
protected:
    HGPU_Shader* vertex = nullptr;
    HGPU_Shader* pixel = nullptr;
    HGPU_InputLayout* layout = nullptr;
    HGPU_Buffer* vertices = nullptr;
    HGPU_Buffer* tint = nullptr;
    HGPU_Texture* white = nullptr;
    HGPU_Texture* target = nullptr;
    HGPU_Texture* depth = nullptr;

    void SetUp() override
    {
        HGPU_IgnoreClipControl(!GetParam());
        ASSERT_EQ(HGPU_CreateDevice(HGPU_Driver::Warp, nullptr), HGPU_OK);
        HGPU_IgnoreClipControl(false);
        ASSERT_EQ(HGPU_GetDeviceInfo()->clipControl, GetParam());
        HGPU_ShaderBindings vertexBindings;
        vertexBindings.inputs = kInputs;
        vertexBindings.inputCount = 3;
        HGPU_ShaderBindings pixelBindings;
        pixelBindings.constantBuffers = kBlocks;
        pixelBindings.constantBufferCount = 1;
        pixelBindings.textures = kTextures;
        pixelBindings.textureCount = 1;
        vertex = HGPU_CreateShader(HGPU_Stage::Vertex, kVertex, vertexBindings, nullptr);
        pixel = HGPU_CreateShader(HGPU_Stage::Pixel, kPixel, pixelBindings, nullptr);
        ASSERT_NE(vertex, nullptr);
        ASSERT_NE(pixel, nullptr);
        layout = HGPU_CreateInputLayout(kLayout, 3);
        vertices = HGPU_CreateBuffer(HGPU_BufferKind::Vertex, 64 * sizeof(Vertex), true, nullptr);
        const float one[4] = {1, 1, 1, 1};
        tint = HGPU_CreateBuffer(HGPU_BufferKind::Constant, sizeof one, false, one);
        const uint32_t texel = 0xFFFFFFFFu;
        white = HGPU_CreateTexture(1, 1, HGPU_Format::R8G8B8A8, HGPU_BIND_SHADER_RESOURCE, 1, &texel);
        target = HGPU_CreateTexture(kSize, kSize, HGPU_Format::R8G8B8A8, HGPU_BIND_RENDER_TARGET, 1, nullptr);
        depth = HGPU_CreateTexture(kSize, kSize, HGPU_Format::D24S8, HGPU_BIND_DEPTH_STENCIL, 1, nullptr);
        HGPU_SetRenderTargets(&target, 1, depth);
        HGPU_SetViewport(0, 0, kSize, kSize, 0, 1);
        HGPU_SetScissor(0, 0, kSize, kSize);
        HGPU_SetShaders(vertex, pixel);
        HGPU_SetInputLayout(layout);
        HGPU_SetVertexBuffer(vertices, sizeof(Vertex), 0);
        HGPU_SetConstantBuffer(HGPU_Stage::Pixel, 1, tint);
        HGPU_SetTexture(2, white);
        const float black[4] = {0, 0, 0, 1};
        HGPU_ClearRenderTarget(target, black);
        HGPU_ClearDepthStencil(depth, true, 1.0f, true, 0);
    }

    void TearDown() override
    {
        HGPU_ReleaseShader(vertex);
        HGPU_ReleaseShader(pixel);
        HGPU_ReleaseInputLayout(layout);
        HGPU_ReleaseBuffer(vertices);
        HGPU_ReleaseBuffer(tint);
        HGPU_ReleaseTexture(white);
        HGPU_ReleaseTexture(target);
        HGPU_ReleaseTexture(depth);
        HGPU_DestroyDevice();
    }

    void Draw(HGPU_Topology topology, std::vector<Vertex> list)
    {
        const uint32_t bytes = static_cast<uint32_t>(list.size() * sizeof(Vertex));
        void* mapped = HGPU_MapBuffer(vertices, HGPU_Map::Discard, 0, bytes);
        ASSERT_NE(mapped, nullptr);
        std::memcpy(mapped, list.data(), bytes);
        HGPU_UnmapBuffer(vertices);
        HGPU_Draw(topology, static_cast<uint32_t>(list.size()), 0);
    }

    // The top-left half of the target, clockwise on screen.
    void UpperTriangle(uint32_t colour, float z = 0.5f)
    {
        Draw(HGPU_Topology::TriangleList, {{-1, 1, z, colour, 0, 0}, {1, 1, z, colour, 1, 0}, {-1, -1, z, colour, 0, 1}});
    }
    void FullQuad(uint32_t colour, float z)
    {
        Draw(HGPU_Topology::TriangleStrip, {{-1, -1, z, colour, 0, 1}, {-1, 1, z, colour, 0, 0},
                                            {1, -1, z, colour, 1, 1}, {1, 1, z, colour, 1, 0}});
    }

    uint32_t At(int x, int y) const
    {
        uint32_t pixel = 0;
        EXPECT_TRUE(HGPU_ReadTexture(target, x, y, 1, 1, &pixel, 4));
        return pixel;
    }
};

TEST_P(PipelineTest, TopOfClipSpaceIsTheFirstRowRead)
{
    UpperTriangle(Rgba(255, 0, 0, 255));
    EXPECT_EQ(At(1, 0), Rgba(255, 0, 0, 255));
    EXPECT_EQ(At(14, 14), Rgba(0, 0, 0, 255));
}

TEST_P(PipelineTest, FrontFacesAreClockwiseOnScreen)
{
    struct Case { int32_t cull; bool frontCounterClockwise; bool drawn; };
    const Case cases[] = {
        {HGPU_CULL_NONE, false, true}, {HGPU_CULL_BACK, false, true}, {HGPU_CULL_FRONT, false, false},
        {HGPU_CULL_BACK, true, false}, {HGPU_CULL_FRONT, true, true},
    };
    for (const Case& c : cases) {
        const float black[4] = {0, 0, 0, 1};
        HGPU_ClearRenderTarget(target, black);
        HGPU_RasterizerDesc desc;
        desc.cull = c.cull;
        desc.frontCounterClockwise = c.frontCounterClockwise;
        HGPU_RasterizerState* state = HGPU_CreateRasterizerState(desc);
        HGPU_SetRasterizerState(state);
        UpperTriangle(Rgba(0, 255, 0, 255));
        EXPECT_EQ(At(1, 1) == Rgba(0, 255, 0, 255), c.drawn) << c.cull << " " << c.frontCounterClockwise;
        HGPU_SetRasterizerState(nullptr);
        HGPU_ReleaseRasterizerState(state);
    }
}

TEST_P(PipelineTest, DepthRangeIsZeroToOne)
{
    HGPU_DepthStencilDesc desc;
    desc.depthEnable = true;
    desc.depthWrite = true;
    desc.depthFunc = HGPU_CMP_LESS;
    HGPU_DepthStencilState* state = HGPU_CreateDepthStencilState(desc);
    HGPU_SetDepthStencilState(state, 0);
    FullQuad(Rgba(0, 0, 255, 255), 0.25f);
    FullQuad(Rgba(255, 0, 0, 255), 0.75f);  // behind: hidden
    EXPECT_EQ(At(8, 8), Rgba(0, 0, 255, 255));
    FullQuad(Rgba(0, 255, 0, 255), 0.1f);
    EXPECT_EQ(At(8, 8), Rgba(0, 255, 0, 255));
    FullQuad(Rgba(255, 255, 255, 255), -0.1f);  // in front of the near plane: clipped
    EXPECT_EQ(At(8, 8), Rgba(0, 255, 0, 255));
    HGPU_SetDepthStencilState(nullptr, 0);
    HGPU_ReleaseDepthStencilState(state);
}

TEST_P(PipelineTest, StencilMasksLaterDraws)
{
    HGPU_DepthStencilDesc write;
    write.stencilEnable = true;
    write.stencilPass = HGPU_STENCIL_REPLACE;
    HGPU_DepthStencilState* writer = HGPU_CreateDepthStencilState(write);
    HGPU_BlendDesc noColour;
    noColour.writeMask = 0;
    HGPU_BlendState* masked = HGPU_CreateBlendState(noColour);
    HGPU_SetBlendState(masked);
    HGPU_SetDepthStencilState(writer, 1);
    UpperTriangle(Rgba(255, 255, 255, 255));
    EXPECT_EQ(At(1, 1), Rgba(0, 0, 0, 255)) << "write mask 0 draws nothing";
    HGPU_DepthStencilDesc test;
    test.stencilEnable = true;
    test.stencilFunc = HGPU_CMP_EQUAL;
    HGPU_DepthStencilState* tester = HGPU_CreateDepthStencilState(test);
    HGPU_SetBlendState(nullptr);
    HGPU_SetDepthStencilState(tester, 1);
    FullQuad(Rgba(255, 0, 255, 255), 0.5f);
    EXPECT_EQ(At(1, 1), Rgba(255, 0, 255, 255));
    EXPECT_EQ(At(14, 14), Rgba(0, 0, 0, 255));
    HGPU_SetDepthStencilState(nullptr, 0);
    HGPU_ReleaseDepthStencilState(writer);
    HGPU_ReleaseDepthStencilState(tester);
    HGPU_ReleaseBlendState(masked);
}

TEST_P(PipelineTest, BlendUsesSeparateAlphaFactors)
{
    HGPU_BlendDesc desc;
    desc.enable = true;
    desc.srcBlend = HGPU_BLEND_SRC_ALPHA;
    desc.destBlend = HGPU_BLEND_INV_SRC_ALPHA;
    desc.srcBlendAlpha = HGPU_BLEND_ONE;
    desc.destBlendAlpha = HGPU_BLEND_ZERO;
    HGPU_BlendState* state = HGPU_CreateBlendState(desc);
    HGPU_SetBlendState(state);
    FullQuad(Rgba(255, 0, 0, 128), 0.5f);
    const uint32_t pixel = At(8, 8);
    EXPECT_NEAR(static_cast<int>(pixel & 0xFF), 128, 1);
    EXPECT_EQ((pixel >> 24) & 0xFF, 128u) << "alpha written as the source alpha";
    HGPU_SetBlendState(nullptr);
    HGPU_ReleaseBlendState(state);
}

TEST_P(PipelineTest, SamplerFiltersAndAddressModes)
{
    const uint32_t texels[2] = {Rgba(255, 0, 0, 255), Rgba(0, 0, 255, 255)};
    HGPU_Texture* texture = HGPU_CreateTexture(2, 1, HGPU_Format::R8G8B8A8, HGPU_BIND_SHADER_RESOURCE, 1, texels);
    HGPU_SetTexture(2, texture);
    HGPU_SamplerDesc clampPoint;
    clampPoint.magPoint = clampPoint.minPoint = true;
    clampPoint.addressU = HGPU_ADDRESS_CLAMP;
    HGPU_SamplerState* sampler = HGPU_CreateSamplerState(clampPoint);
    HGPU_SetSampler(2, sampler);
    // u from -1 to 2 across the target: clamped ends, a hard edge in the middle.
    Draw(HGPU_Topology::TriangleStrip, {{-1, -1, 0.5f, 0xFFFFFFFFu, -1, 0}, {-1, 1, 0.5f, 0xFFFFFFFFu, -1, 0},
                                        {1, -1, 0.5f, 0xFFFFFFFFu, 2, 0}, {1, 1, 0.5f, 0xFFFFFFFFu, 2, 0}});
    EXPECT_EQ(At(0, 8), Rgba(255, 0, 0, 255));
    EXPECT_EQ(At(7, 8), Rgba(255, 0, 0, 255));
    EXPECT_EQ(At(9, 8), Rgba(0, 0, 255, 255));
    EXPECT_EQ(At(15, 8), Rgba(0, 0, 255, 255));
    HGPU_SetSampler(2, nullptr);
    HGPU_ReleaseSamplerState(sampler);
    HGPU_SetTexture(2, white);
    HGPU_ReleaseTexture(texture);
}

TEST_P(PipelineTest, MultisampledTargetResolves)
{
    HGPU_Texture* multi = HGPU_CreateTexture(kSize, kSize, HGPU_Format::R8G8B8A8, HGPU_BIND_RENDER_TARGET, 4, nullptr);
    ASSERT_NE(multi, nullptr);
    HGPU_SetRenderTargets(&multi, 1, nullptr);
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    HGPU_ClearRenderTarget(multi, grey);
    UpperTriangle(Rgba(255, 255, 255, 255));
    HGPU_ResolveTexture(target, multi);
    EXPECT_EQ(At(1, 1), Rgba(255, 255, 255, 255));
    EXPECT_EQ(At(14, 14), Rgba(128, 128, 128, 255));
    HGPU_ReleaseTexture(multi);
}

TEST_P(PipelineTest, BrokenShaderReportsItsCompilerLog)
{
    char* log = nullptr;
    HGPU_Shader* broken = HGPU_CreateShader(HGPU_Stage::Pixel, "#version 330 core\nvoid main() { nonsense; }\n",
                                            HGPU_ShaderBindings{}, &log);
    EXPECT_EQ(broken, nullptr);
    ASSERT_NE(log, nullptr);
    EXPECT_GT(std::strlen(log), 0u);
    delete[] log;
}

TEST_P(PipelineTest, MismatchedStagesDrawNothing)
{
    // The pixel stage reads the colour with another type than the vertex stage writes.
    char* log = nullptr;
    HGPU_Shader* other = HGPU_CreateShader(HGPU_Stage::Pixel,
                                           "#version 330 core\nin vec3 v_Colour;\nout vec4 o;\n"
                                           "void main() { o = vec4(v_Colour, 1.0); }\n",
                                           HGPU_ShaderBindings{}, &log);
    delete[] log;
    ASSERT_NE(other, nullptr);
    HGPU_SetShaders(vertex, other);
    for (int i = 0; i < 2; ++i) UpperTriangle(Rgba(255, 255, 255, 255));
    EXPECT_EQ(At(1, 1), Rgba(0, 0, 0, 255));
    HGPU_ReleaseShader(other);
    HGPU_SetShaders(vertex, pixel);
    UpperTriangle(Rgba(255, 255, 255, 255));
    EXPECT_EQ(At(1, 1), Rgba(255, 255, 255, 255));
}

TEST_P(PipelineTest, MapRefusesRangesPastTheEnd)
{
    EXPECT_EQ(HGPU_MapBuffer(vertices, HGPU_Map::NoOverwrite, 64 * sizeof(Vertex) - 4, 8), nullptr);
    EXPECT_EQ(HGPU_MapBuffer(vertices, HGPU_Map::NoOverwrite, 0xFFFFFFF0u, 32), nullptr);
    void* mapped = HGPU_MapBuffer(vertices, HGPU_Map::NoOverwrite, 8, 8);
    EXPECT_NE(mapped, nullptr);
    HGPU_UnmapBuffer(vertices);
}

INSTANTIATE_TEST_SUITE_P(ClipControl, PipelineTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "DriverClipControl" : "ShaderFallback";
                         });

}  // namespace
