// GLSL 3.30 sources of the built-in programs that shade everything drawn
// without a game shader: three matrices, per-vertex fog, optional per-vertex
// lighting, texture modulation and the alpha test.
//
// Constant buffers are std140 blocks with the byte layouts the state manager
// fills. Matrices are uploaded as the engine stores them (row-major, row
// vectors); GLSL reads that memory transposed, so M * v here is v · M.
#include "Graphics/VertexBuilderM.h"

namespace {

#define QS_GLSL_VERTEX_COMMON                                                        \
    "#version 330 core\n"                                                            \
    "layout(std140) uniform ModelViewProjectionConstantBuffer {\n"                   \
    "    mat4 worldmat;\n"                                                           \
    "    mat4 worldviewmat;\n"                                                       \
    "    mat4 worldviewprojmat;\n"                                                   \
    "} mvp;\n"                                                                       \
    "layout(std140) uniform MaterialConstantBuffer {\n"                              \
    "    int lightingenable;\n"                                                      \
    "    int fogenable;\n"                                                           \
    "    float fogstart;\n"                                                          \
    "    float rcpfogrange;\n"                                                       \
    "} vmat;\n"                                                                      \
    "in vec3 in_Position;\n"                                                         \
    "in vec4 in_Colour;\n"                                                           \
    "out vec4 v_Colour;\n"                                                           \
    "out vec3 v_TexFog;\n"                                                           \
    "vec4 ClipPosition(vec4 p) {\n"                                                  \
    "    vec4 clip = mvp.worldviewprojmat * p;\n"                                    \
    "#ifdef QS_FLIP_CLIP\n"                                                          \
    "    clip.y = -clip.y;\n"                                                        \
    "    clip.z = 2.0 * clip.z - clip.w;\n"                                          \
    "#endif\n"                                                                       \
    "    return clip;\n"                                                             \
    "}\n"                                                                            \
    "float FogFactor(vec4 p) {\n"                                                    \
    "    if (vmat.fogenable == 0) return 0.0;\n"                                     \
    "    return ((mvp.worldviewmat * p).z - vmat.fogstart) * vmat.rcpfogrange;\n"    \
    "}\n"

const char kVS16[] = QS_GLSL_VERTEX_COMMON
    "void main() {\n"
    "    vec4 p = vec4(in_Position, 1.0);\n"
    "    gl_Position = ClipPosition(p);\n"
    "    v_Colour = in_Colour;\n"
    "    v_TexFog = vec3(FogFactor(p), 0.0, 0.0);\n"
    "}\n";

const char kVS24[] = QS_GLSL_VERTEX_COMMON
    "in vec2 in_TexCoord;\n"
    "void main() {\n"
    "    vec4 p = vec4(in_Position, 1.0);\n"
    "    gl_Position = ClipPosition(p);\n"
    "    v_Colour = in_Colour;\n"
    "    v_TexFog = vec3(in_TexCoord, FogFactor(p));\n"
    "}\n";

// The 36-byte vertex carries a normal that only the lit variant reads.
const char kVS36[] = QS_GLSL_VERTEX_COMMON
    "in vec2 in_TexCoord;\n"
    "void main() {\n"
    "    vec4 p = vec4(in_Position, 1.0);\n"
    "    gl_Position = ClipPosition(p);\n"
    "    v_Colour = in_Colour;\n"
    "    v_TexFog = vec3(in_TexCoord, FogFactor(p));\n"
    "}\n";

const char kVS36Lit[] = QS_GLSL_VERTEX_COMMON
    "struct Light {\n"
    "    vec3 posdir;\n"
    "    float range;\n"
    "    vec4 diffusecol;\n"
    "};\n"
    "layout(std140) uniform LightingConstantBuffer {\n"
    "    vec4 ambientcol;\n"
    "    Light m_dirlights[8];\n"
    "    Light m_pointlights[8];\n"
    "} lights;\n"
    "in vec3 in_Normal;\n"
    "in vec2 in_TexCoord;\n"
    "vec4 Lit(vec4 p, vec4 colour) {\n"
    "    vec3 n = normalize(mat3(mvp.worldmat) * in_Normal);\n"
    "    vec3 world = (mvp.worldmat * p).xyz;\n"
    "    vec3 diffuse = vec3(0.0);\n"
    "    for (int i = 0; i < 8; ++i)\n"
    "        diffuse += max(0.0, -dot(n, lights.m_dirlights[i].posdir)) * lights.m_dirlights[i].diffusecol.rgb;\n"
    "    for (int i = 0; i < 8; ++i) {\n"
    "        vec3 offset = world - lights.m_pointlights[i].posdir;\n"
    "        float distance = length(offset);\n"
    "        if (distance > 0.0 && distance < lights.m_pointlights[i].range)\n"
    "            diffuse += max(0.0, -dot(n, offset / distance)) * lights.m_pointlights[i].diffusecol.rgb;\n"
    "    }\n"
    "    return vec4(min(diffuse * colour.rgb + lights.ambientcol.rgb, vec3(1.0)), colour.a);\n"
    "}\n"
    "void main() {\n"
    "    vec4 p = vec4(in_Position, 1.0);\n"
    "    gl_Position = ClipPosition(p);\n"
    "    v_Colour = vmat.lightingenable != 0 ? Lit(p, in_Colour) : in_Colour;\n"
    "    v_TexFog = vec3(in_TexCoord, FogFactor(p));\n"
    "}\n";

// The pixel block keeps the byte layout of its device-API twin (fogcol at
// offset 4) with three floats, since a vec3 there is not legal std140.
#define QS_GLSL_PIXEL_HEAD                                                           \
    "#version 330 core\n"                                                            \
    "layout(std140) uniform PixelMaterialConstantBuffer {\n"                         \
    "    int fogenable;\n"                                                           \
    "    float fogcol_r, fogcol_g, fogcol_b;\n"                                      \
    "    int alphatestenable;\n"                                                     \
    "    float alpharef;\n"                                                          \
    "} pmat;\n"                                                                      \
    "in vec4 v_Colour;\n"                                                            \
    "in vec3 v_TexFog;\n"                                                            \
    "out vec4 o_Colour;\n"                                                           \
    "vec4 Finish(vec4 c, float fog) {\n"
#define QS_GLSL_PIXEL_ALPHA_TEST                                                     \
    "    if (pmat.alphatestenable != 0 && pmat.alpharef >= c.a) discard;\n"
#define QS_GLSL_PIXEL_FOG                                                            \
    "    if (pmat.fogenable != 0)\n"                                                 \
    "        c.rgb = c.rgb + clamp(fog, 0.0, 1.0) *\n"                               \
    "                (vec3(pmat.fogcol_r, pmat.fogcol_g, pmat.fogcol_b) - c.rgb);\n" \
    "    return c;\n"                                                                \
    "}\n"
#define QS_GLSL_MAIN_COLOUR                                                          \
    "void main() {\n"                                                                \
    "    o_Colour = Finish(v_Colour, v_TexFog.x);\n"                                 \
    "}\n"
#define QS_GLSL_MAIN_TEXTURED                                                        \
    "uniform sampler2D simpleTexture;\n"                                             \
    "void main() {\n"                                                                \
    "    o_Colour = Finish(v_Colour * texture(simpleTexture, v_TexFog.xy), v_TexFog.z);\n" \
    "}\n"

const char kPSColour[] = QS_GLSL_PIXEL_HEAD QS_GLSL_PIXEL_ALPHA_TEST QS_GLSL_PIXEL_FOG QS_GLSL_MAIN_COLOUR;
const char kPSTextured[] = QS_GLSL_PIXEL_HEAD QS_GLSL_PIXEL_ALPHA_TEST QS_GLSL_PIXEL_FOG QS_GLSL_MAIN_TEXTURED;
// A software rasteriser shades a program that may discard much more slowly,
// even when the test is off: these twins serve draws without the alpha test.
const char kPSColourNoTest[] = QS_GLSL_PIXEL_HEAD QS_GLSL_PIXEL_FOG QS_GLSL_MAIN_COLOUR;
const char kPSTexturedNoTest[] = QS_GLSL_PIXEL_HEAD QS_GLSL_PIXEL_FOG QS_GLSL_MAIN_TEXTURED;
// With neither the test nor fog, the plain twins read no constants and
// branch nowhere, which the software rasteriser's threads shade faster still.
#define QS_GLSL_PIXEL_PLAIN_HEAD                                                     \
    "#version 330 core\n"                                                            \
    "in vec4 v_Colour;\n"                                                            \
    "in vec3 v_TexFog;\n"                                                            \
    "out vec4 o_Colour;\n"
const char kPSColourPlain[] = QS_GLSL_PIXEL_PLAIN_HEAD
    "void main() {\n"
    "    o_Colour = v_Colour;\n"
    "}\n";
const char kPSTexturedPlain[] = QS_GLSL_PIXEL_PLAIN_HEAD
    "uniform sampler2D simpleTexture;\n"
    "void main() {\n"
    "    o_Colour = v_Colour * texture(simpleTexture, v_TexFog.xy);\n"
    "}\n";

const HGPU_ShaderInput kInputs16[] = {{"in_Position", "POSITION", 0}, {"in_Colour", "COLOR", 0}};
const HGPU_ShaderInput kInputs24[] = {
    {"in_Position", "POSITION", 0}, {"in_Colour", "COLOR", 0}, {"in_TexCoord", "TEXCOORD", 0}};
const HGPU_ShaderInput kInputs36[] = {{"in_Position", "POSITION", 0},
                                      {"in_Normal", "NORMAL", 0},
                                      {"in_Colour", "COLOR", 0},
                                      {"in_TexCoord", "TEXCOORD", 0}};
const HGPU_ShaderBlock kVertexBlocks[] = {
    {"ModelViewProjectionConstantBuffer", 0}, {"MaterialConstantBuffer", 1}, {"LightingConstantBuffer", 2}};
const HGPU_ShaderBlock kPixelBlocks[] = {{"PixelMaterialConstantBuffer", 0}};
const HGPU_ShaderBlock kPixelTextures[] = {{"simpleTexture", 0}};

HGPU_ShaderBindings VertexBindings(const HGPU_ShaderInput* inputs, int count, bool lit)
{
    HGPU_ShaderBindings bindings;
    bindings.inputs = inputs;
    bindings.inputCount = count;
    bindings.constantBuffers = kVertexBlocks;
    bindings.constantBufferCount = lit ? 3 : 2;
    return bindings;
}

HGPU_ShaderBindings PixelBindings(bool textured, bool constants = true)
{
    HGPU_ShaderBindings bindings;
    bindings.constantBuffers = kPixelBlocks;
    bindings.constantBufferCount = constants ? 1 : 0;
    bindings.textures = kPixelTextures;
    bindings.textureCount = textured ? 1 : 0;
    return bindings;
}

}  // namespace

const BuiltinShaderSource BuiltinShaderSources[BUILTIN_SHADER_COUNT] = {
    {"BuiltinVS16", HGPU_Stage::Vertex, kVS16, VertexBindings(kInputs16, 2, false)},
    {"BuiltinVS24", HGPU_Stage::Vertex, kVS24, VertexBindings(kInputs24, 3, false)},
    {"BuiltinVS36", HGPU_Stage::Vertex, kVS36, VertexBindings(kInputs36, 4, false)},
    {"BuiltinVS36Lit", HGPU_Stage::Vertex, kVS36Lit, VertexBindings(kInputs36, 4, true)},
    {"BuiltinPSColour", HGPU_Stage::Pixel, kPSColour, PixelBindings(false)},
    {"BuiltinPSTextured", HGPU_Stage::Pixel, kPSTextured, PixelBindings(true)},
    {"BuiltinPSTextured", HGPU_Stage::Pixel, kPSTextured, PixelBindings(true)},
    {"BuiltinPSTextured", HGPU_Stage::Pixel, kPSTextured, PixelBindings(true)},
    {"BuiltinPSColourNoTest", HGPU_Stage::Pixel, kPSColourNoTest, PixelBindings(false)},
    {"BuiltinPSTexturedNoTest", HGPU_Stage::Pixel, kPSTexturedNoTest, PixelBindings(true)},
    {"BuiltinPSColourPlain", HGPU_Stage::Pixel, kPSColourPlain, PixelBindings(false, false)},
    {"BuiltinPSTexturedPlain", HGPU_Stage::Pixel, kPSTexturedPlain, PixelBindings(true, false)},
};
