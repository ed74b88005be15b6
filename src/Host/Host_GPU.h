#pragma once
// The GPU device layer: the small set of device operations the renderer is
// written against (device, swap chain, buffers, shaders, state objects,
// textures, render targets, read-back, present), implemented on OpenGL 3.3
// core. Everything is drawn into off-screen framebuffers with a top-left
// origin and depth 0..1, so read-back rows come out top-down; only the copy
// to a real window flips.
//
// Enumerations carry the numeric values of the device API the renderer was
// designed around (blend factors, comparison functions, stencil operations,
// cull and fill modes, texture address modes), so state records pass through
// unchanged.
#include <cstdint>

struct HostWindow;

// Result codes, in the form the renderer checks them.
using HGPU_Result = int32_t;
constexpr HGPU_Result HGPU_OK = 0;
constexpr HGPU_Result HGPU_E_FAIL = static_cast<int32_t>(0x80004005u);
constexpr HGPU_Result HGPU_E_INVALIDARG = static_cast<int32_t>(0x80070057u);
constexpr HGPU_Result HGPU_E_OUTOFMEMORY = static_cast<int32_t>(0x8007000Eu);
constexpr HGPU_Result HGPU_INVALID_CALL = static_cast<int32_t>(0x887A0001u);
constexpr HGPU_Result HGPU_DEVICE_REMOVED = static_cast<int32_t>(0x887A0005u);
constexpr HGPU_Result HGPU_DEVICE_RESET = static_cast<int32_t>(0x887A0007u);

// Hardware: a GL context in the game window. Warp: Mesa's software
// rasteriser through EGL with no surface at all (tests, CI, no display).
enum class HGPU_Driver { Hardware, Warp };

enum class HGPU_Format {
    Unknown,
    B8G8R8A8,   // back buffer
    R8G8B8A8,   // textures, render targets
    B5G6R5,
    R16F,
    R32F,
    D24S8,      // depth-stencil
    BC1,        // block-compressed: 4 × 4 blocks of 8 (BC1) or 16 bytes
    BC2,
    BC3,
};

enum HGPU_BindFlags : uint32_t {
    HGPU_BIND_SHADER_RESOURCE = 1,
    HGPU_BIND_RENDER_TARGET = 2,
    HGPU_BIND_DEPTH_STENCIL = 4,
};

enum class HGPU_BufferKind { Vertex, Index, Constant };
enum class HGPU_Map { Discard, NoOverwrite };
enum class HGPU_Topology { PointList = 1, LineList, LineStrip, TriangleList, TriangleStrip };
enum class HGPU_Stage { Vertex, Pixel };

// Blend factors (1 zero ... 11 source-alpha saturate, 14 and 15 the blend
// factor and its inverse, as the device API numbers them). The blend factor
// is always (0, 0, 0, 0).
enum HGPU_Blend : int32_t {
    HGPU_BLEND_ZERO = 1, HGPU_BLEND_ONE, HGPU_BLEND_SRC_COLOR, HGPU_BLEND_INV_SRC_COLOR,
    HGPU_BLEND_SRC_ALPHA, HGPU_BLEND_INV_SRC_ALPHA, HGPU_BLEND_DEST_ALPHA, HGPU_BLEND_INV_DEST_ALPHA,
    HGPU_BLEND_DEST_COLOR, HGPU_BLEND_INV_DEST_COLOR, HGPU_BLEND_SRC_ALPHA_SAT,
    HGPU_BLEND_BLEND_FACTOR = 14, HGPU_BLEND_INV_BLEND_FACTOR = 15,
};
// Comparison functions 1 never ... 8 always.
enum HGPU_Compare : int32_t {
    HGPU_CMP_NEVER = 1, HGPU_CMP_LESS, HGPU_CMP_EQUAL, HGPU_CMP_LESS_EQUAL,
    HGPU_CMP_GREATER, HGPU_CMP_NOT_EQUAL, HGPU_CMP_GREATER_EQUAL, HGPU_CMP_ALWAYS,
};
// Stencil operations 1 keep ... 8 decrement.
enum HGPU_StencilOp : int32_t {
    HGPU_STENCIL_KEEP = 1, HGPU_STENCIL_ZERO, HGPU_STENCIL_REPLACE, HGPU_STENCIL_INCR_SAT,
    HGPU_STENCIL_DECR_SAT, HGPU_STENCIL_INVERT, HGPU_STENCIL_INCR, HGPU_STENCIL_DECR,
};
enum HGPU_Cull : int32_t { HGPU_CULL_NONE = 1, HGPU_CULL_FRONT, HGPU_CULL_BACK };
enum HGPU_Fill : int32_t { HGPU_FILL_WIREFRAME = 2, HGPU_FILL_SOLID = 3 };
enum HGPU_Address : int32_t { HGPU_ADDRESS_WRAP = 1, HGPU_ADDRESS_MIRROR, HGPU_ADDRESS_CLAMP };

struct HGPU_BlendDesc {
    bool enable = false;
    int32_t srcBlend = HGPU_BLEND_ONE, destBlend = HGPU_BLEND_ZERO;
    int32_t srcBlendAlpha = HGPU_BLEND_ONE, destBlendAlpha = HGPU_BLEND_ZERO;
    uint8_t writeMask = 15;  // bit 0 red .. bit 3 alpha
};

struct HGPU_DepthStencilDesc {
    bool depthEnable = false;
    bool depthWrite = false;
    int32_t depthFunc = HGPU_CMP_LESS_EQUAL;
    bool stencilEnable = false;
    uint8_t stencilReadMask = 0xFF, stencilWriteMask = 0xFF;
    int32_t stencilFunc = HGPU_CMP_ALWAYS;
    int32_t stencilFail = HGPU_STENCIL_KEEP, stencilDepthFail = HGPU_STENCIL_KEEP, stencilPass = HGPU_STENCIL_KEEP;
};

struct HGPU_RasterizerDesc {
    int32_t fill = HGPU_FILL_SOLID;
    int32_t cull = HGPU_CULL_NONE;
    bool frontCounterClockwise = false;  // front faces are clockwise on screen
    bool scissorEnable = true;
};

struct HGPU_SamplerDesc {
    bool magPoint = false, minPoint = false, mipPoint = false;
    int32_t addressU = HGPU_ADDRESS_WRAP, addressV = HGPU_ADDRESS_WRAP;
};

// One vertex input: the semantic it feeds, its element format and byte offset.
enum class HGPU_ElementFormat { Float1, Float2, Float3, Float4, UByte4Norm, UByte4 };
struct HGPU_InputElement {
    const char* semantic;  // "POSITION", "COLOR", "NORMAL", "TEXCOORD", ...
    int semanticIndex;
    HGPU_ElementFormat format;
    uint32_t offset;
};

// What a shader's source binds, by name: vertex inputs by semantic, constant
// buffers and textures by slot. GLSL 3.30 cannot say it in the source.
struct HGPU_ShaderInput { const char* name; const char* semantic; int semanticIndex; };
struct HGPU_ShaderBlock { const char* name; int slot; };
struct HGPU_ShaderBindings {
    const HGPU_ShaderInput* inputs = nullptr;
    int inputCount = 0;
    const HGPU_ShaderBlock* constantBuffers = nullptr;
    int constantBufferCount = 0;
    const HGPU_ShaderBlock* textures = nullptr;  // sampler uniforms
    int textureCount = 0;
};

struct HGPU_Buffer;
struct HGPU_Texture;
struct HGPU_Shader;
struct HGPU_InputLayout;
struct HGPU_BlendState;
struct HGPU_DepthStencilState;
struct HGPU_RasterizerState;
struct HGPU_SamplerState;

struct HGPU_DeviceInfo {
    HGPU_Driver driver;
    int glMajor, glMinor;
    bool clipControl;       // top-left origin and depth 0..1 set by the driver
    char renderer[128];
};

// --- device ---
// Creates the one device of the process on the given driver. The hardware
// driver draws in the window's GL context; the software one shows its frames
// in the window's surface when given a window.
HGPU_Result HGPU_CreateDevice(HGPU_Driver driver, HostWindow* window);
void HGPU_DestroyDevice();
bool HGPU_HasDevice();
const HGPU_DeviceInfo* HGPU_GetDeviceInfo();
// The largest sample count below or at samples supported for the format, 0 when none.
int HGPU_CheckMultisampleQualityLevels(HGPU_Format format, int samples);
// Test hooks: the next present reports the device as removed, or the given
// failure, without presenting; device creation fails while creation is refused.
void HGPU_SimulateDeviceRemoved();
void HGPU_SimulatePresentFailure(HGPU_Result result);
void HGPU_RefuseDeviceCreation(bool refuse);
// Test hook: devices created from now on ignore the driver's clip control and
// take the vertex-stage fallback.
void HGPU_IgnoreClipControl(bool ignore);
// Number of presents that reached a window or the off-screen chain.
uint64_t HGPU_PresentCount();

// --- swap chain (one) ---
HGPU_Result HGPU_CreateSwapChain(int width, int height);
HGPU_Result HGPU_ResizeSwapChain(int width, int height);
HGPU_Texture* HGPU_GetBackBuffer();
// Copies the back buffer to the window (flipped to the window's bottom-left
// origin) and shows it; off-screen only counts the frame.
HGPU_Result HGPU_Present(int syncInterval);

// --- buffers ---
HGPU_Buffer* HGPU_CreateBuffer(HGPU_BufferKind kind, uint32_t size, bool dynamic, const void* initialData);
void HGPU_UpdateBuffer(HGPU_Buffer* buffer, const void* data, uint32_t size);
void* HGPU_MapBuffer(HGPU_Buffer* buffer, HGPU_Map mode, uint32_t offset, uint32_t size);
void HGPU_UnmapBuffer(HGPU_Buffer* buffer);
void HGPU_ReleaseBuffer(HGPU_Buffer* buffer);

// --- shaders and layouts ---
// Compiles GLSL 3.30 source; on failure returns null and, when errorText is
// given, a copy of the compiler log (free with delete[]).
HGPU_Shader* HGPU_CreateShader(HGPU_Stage stage, const char* source, const HGPU_ShaderBindings& bindings,
                               char** errorText);
void HGPU_ReleaseShader(HGPU_Shader* shader);
// Links a vertex and a pixel shader now rather than at their first draw;
// false, with the linker's log when errorText is given (free with delete[]),
// when they do not link.
bool HGPU_LinkShaders(HGPU_Shader* vertex, HGPU_Shader* pixel, char** errorText);
HGPU_InputLayout* HGPU_CreateInputLayout(const HGPU_InputElement* elements, int count);
void HGPU_ReleaseInputLayout(HGPU_InputLayout* layout);

// --- state objects ---
HGPU_BlendState* HGPU_CreateBlendState(const HGPU_BlendDesc& desc);
HGPU_DepthStencilState* HGPU_CreateDepthStencilState(const HGPU_DepthStencilDesc& desc);
HGPU_RasterizerState* HGPU_CreateRasterizerState(const HGPU_RasterizerDesc& desc);
HGPU_SamplerState* HGPU_CreateSamplerState(const HGPU_SamplerDesc& desc);
void HGPU_ReleaseBlendState(HGPU_BlendState* state);
void HGPU_ReleaseDepthStencilState(HGPU_DepthStencilState* state);
void HGPU_ReleaseRasterizerState(HGPU_RasterizerState* state);
void HGPU_ReleaseSamplerState(HGPU_SamplerState* state);

// --- textures and targets ---
// Rows of initialData are top-down, pitch = width × bytes per pixel (block
// formats: rows of 4 × 4 blocks, tightly packed). Unknown formats, and block
// formats on a driver without them, fail.
HGPU_Texture* HGPU_CreateTexture(int width, int height, HGPU_Format format, uint32_t bindFlags, int samples,
                                 const void* initialData);
void HGPU_ReleaseTexture(HGPU_Texture* texture);
// Block formats take whole blocks: x and y multiples of 4, data tightly packed.
void HGPU_UpdateTexture(HGPU_Texture* texture, int x, int y, int width, int height, const void* data, int pitch);
// Reads a rectangle as 8-bit RGBA rows, top-down (depth textures cannot be read).
bool HGPU_ReadTexture(HGPU_Texture* texture, int x, int y, int width, int height, void* out, int pitch);
// Copies a multisampled texture into a single-sampled one of the same size.
void HGPU_ResolveTexture(HGPU_Texture* destination, HGPU_Texture* source);
int HGPU_TextureWidth(const HGPU_Texture* texture);
int HGPU_TextureHeight(const HGPU_Texture* texture);

// --- pipeline ---
// Up to four colour targets and one depth target; all null binds nothing.
void HGPU_SetRenderTargets(HGPU_Texture* const* colour, int count, HGPU_Texture* depth);
void HGPU_ClearRenderTarget(HGPU_Texture* target, const float rgba[4]);
void HGPU_ClearDepthStencil(HGPU_Texture* depth, bool clearDepth, float value, bool clearStencil, uint8_t stencil);
void HGPU_SetViewport(float x, float y, float width, float height, float minDepth, float maxDepth);
void HGPU_SetScissor(int left, int top, int right, int bottom);
void HGPU_SetShaders(HGPU_Shader* vertex, HGPU_Shader* pixel);
void HGPU_SetInputLayout(HGPU_InputLayout* layout);
void HGPU_SetVertexBuffer(HGPU_Buffer* buffer, uint32_t stride, uint32_t offset);
void HGPU_SetConstantBuffer(HGPU_Stage stage, int slot, HGPU_Buffer* buffer);
void HGPU_SetTexture(int stage, HGPU_Texture* texture);
void HGPU_SetSampler(int stage, HGPU_SamplerState* sampler);
void HGPU_SetBlendState(HGPU_BlendState* state);
void HGPU_SetDepthStencilState(HGPU_DepthStencilState* state, uint8_t stencilRef);
void HGPU_SetRasterizerState(HGPU_RasterizerState* state);
void HGPU_Draw(HGPU_Topology topology, uint32_t vertexCount, uint32_t startVertex);
// Waits until the device has drawn everything (the immediate context's flush).
void HGPU_Flush();
// Hands everything queued so far to the device without waiting for it.
void HGPU_Submit();
