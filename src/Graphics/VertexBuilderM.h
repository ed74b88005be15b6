#pragma once
// The vertex batcher and the built-in shader programs it draws with, the
// renderer's matrix slots and the clear.
#include <cstdint>

#include "Host/Host_GPU.h"

struct D3DTexture;

// Matrix slots: 16 floats each, row-major, row vectors (p' = p · M).
enum MatrixSlot {
    MATRIX_VIEW = 0,
    MATRIX_PROJECTION = 1,
    MATRIX_WORLD = 2,
    MATRIX_WORLD_VIEW = 3,
    MATRIX_WORLD_VIEW_PROJECTION = 4,
};

void GR_D3D_SetMatrix(int slot, const float* matrix);
void GR_D3D_GetMatrix(int slot, float* out);

// Clear flags: bit 1 colour, bit 2 depth. The colour word has red in the low
// byte and alpha in the top byte.
constexpr uint32_t CLEAR_COLOUR = 1;
constexpr uint32_t CLEAR_DEPTH = 2;
void GR_D3D_Clear(uint32_t colour, float depth, float ignored, uint32_t flags);

// Built-in programs, in the order of their sources.
enum BuiltinShaderIndex {
    BUILTIN_VS16, BUILTIN_VS24, BUILTIN_VS36, BUILTIN_VS36_LIT,
    BUILTIN_PS_COLOUR, BUILTIN_PS_TEXTURED24, BUILTIN_PS_TEXTURED36, BUILTIN_PS_TEXTURED36_LIT,
    BUILTIN_PS_COLOUR_NO_TEST, BUILTIN_PS_TEXTURED_NO_TEST, BUILTIN_PS_COLOUR_PLAIN, BUILTIN_PS_TEXTURED_PLAIN,
    BUILTIN_SHADER_COUNT
};
struct BuiltinShaderSource {
    const char* name;
    HGPU_Stage stage;
    const char* source;
    HGPU_ShaderBindings bindings;
};
extern const BuiltinShaderSource BuiltinShaderSources[BUILTIN_SHADER_COUNT];

extern HGPU_Shader* BuiltinVS16;
extern HGPU_Shader* BuiltinVS24;
extern HGPU_Shader* BuiltinVS36;
extern HGPU_Shader* BuiltinVS36Lit;
extern HGPU_Shader* BuiltinPSColour;
extern HGPU_Shader* BuiltinPSTextured[3];  // after VS24, VS36 and VS36Lit
// The pixel program to draw with: a built-in one without its alpha test when
// the test is off, and without fog as well when fog is off too; any other
// program as it is.
HGPU_Shader* VertexBuilder_PixelProgram(HGPU_Shader* pixel, bool alphaTest, bool fog);

// Compiles the built-in programs and their input layouts; false when any fails.
bool VertexBuilder_CreateBuiltinShaders();
void VertexBuilder_ReleaseBuiltinShaders();
// The input layout of a built-in vertex size (16, 24 or 36 bytes).
HGPU_InputLayout* VertexBuilder_GetBuiltinLayout(int vertexSize);

// Checks a device result; a failure shows "Win32 function failed: ..." naming
// the call and the source file, and returns false.
bool GR_D3D_CheckHResult(HGPU_Result result, const char* call, int line, const char* file);

// Primitive kinds.
enum PrimitiveKind { PR_POINTLIST = 1, PR_LINELIST, PR_LINESTRIP, PR_TRIANGLELIST, PR_TRIANGLESTRIP, PR_TRIANGLEFAN };

// Vertex formats: the built-in layouts are named by their size in bytes
// (16 {x, y, z, colour}, 24 {u, v, colour, x, y, z}, 36 {x, y, z, nx, ny,
// nz, colour, u, v}); user formats carry this bit.
constexpr int VERTEX_FORMAT_USER = 0x1000000;

// The batcher: drawers reserve vertices of one primitive kind, texture and
// format and write them into staging memory; consecutive compatible
// reservations share one draw call.
void GR_VertexBuilder_Init();
void GR_VertexBuilder_Free();
// Room for n vertices; null only for a reservation larger than the staging
// memory (GR_VertexBuilder_GetMaxBytes).
void* GR_VertexBuilder_AllocVerts(int kind, D3DTexture* texture, int format, int n);
// Gives back the last n reserved vertices that were not filled.
void GR_VertexBuilder_ReturnVerts(int n);
void GR_VertexBuilder_Flush();
// Forgets an open batch without drawing it (end of every frame).
void GR_VertexBuilder_Reset();
// Bytes of one vertex of a format; an unknown format is logged and counts as one byte.
int GR_VertexBuilder_VertexSize(int format);
int GR_VertexBuilder_GetMaxVerts();
int GR_VertexBuilder_GetMaxBytes();
// The stage the batch texture is bound to (0 unless a shader asks otherwise).
void GR_VertexBuilder_SetTextureStage(int stage);
void GR_VertexBuilder_BindBatchTexture(D3DTexture* texture);
// Draws the open batch first when it samples the texture (which is going away).
void GR_VertexBuilder_ForgetTexture(D3DTexture* texture);
// The single draw path: input layout and programs chosen by format.
void GR_D3D_DrawPrimitive(int kind, int vertexCount, uint32_t byteOffset, int format, HGPU_Buffer* buffer);

// The device side of a frozen vertex buffer (the vertex-buffer record holds
// one): filled by GR_D3D_CreateVertexBuffer.
struct FrozenVertexBuffer {
    int format;
    int vertexSize;
    int capacity;  // in vertices
    uint32_t flags;
    HGPU_Buffer* buffer;
};
bool GR_D3D_CreateVertexBuffer(FrozenVertexBuffer* record, int format, int vertexCount, uint32_t flags);
// Copies min(n, capacity) vertices to the start of the buffer.
void GR_D3D_UploadVertexBuffer(FrozenVertexBuffer* record, const void* data, int n);
void GR_D3D_DrawVertexBuffer(int kind, int vertexCount, uint32_t byteOffset, int format, D3DTexture* texture,
                             FrozenVertexBuffer* record);
void GR_D3D_ReleaseVertexBuffer(FrozenVertexBuffer* record);
// Fans cannot be drawn from a frozen buffer.
bool GR_D3D_CanFreezePrimitive(int kind);
// Frozen buffers survive a device reset here.
bool GR_D3D_VertexBufferIsCurrent(const FrozenVertexBuffer* record);

// User vertex formats (VertexFormat.h): the device input elements of a format,
// built when it is closed, one per element in element order; and the input
// layout the built-in programs read it with, made on first use.
struct VertexFormat;
void GR_D3D_BuildVertexFormatLayout(VertexFormat* format);
// Frees the input elements and the layout.
void GR_D3D_FreeVertexFormatLayout(VertexFormat* format);
HGPU_InputLayout* GR_D3D_GetVertexFormatLayout(VertexFormat* format);
// True when the usage mask has both position and colour: the least the
// built-in programs can draw.
bool GR_D3D_FormatHasPositionColour(uint32_t usageMask);

// Per-frame count of draw calls (debug overlay).
extern int32_t GR_D3D_DrawCallCount;

// The open batch as it stands (kind -1 when none is open): what the drawers
// have written since the last flush.
struct OpenVertexBatch {
    int kind;
    D3DTexture* texture;
    int format;
    int vertexSize;
    int count;
    const uint8_t* vertices;
};
OpenVertexBatch GR_VertexBuilder_GetOpenBatch();
