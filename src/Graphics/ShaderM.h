#pragma once
// Game shaders: the shader records of the game data ("SHDR"), the device
// side of each (translated programs, CPU copies of their constant buffers,
// uniforms and samplers found by name, input layouts per vertex format), the
// shader the game asked for (pending) and the one the renderer draws with
// (current), and the engine's own uniforms uploaded when a shader is applied.
#include <cstdint>
#include <string>
#include <vector>

struct HGPU_Shader;
struct HGPU_InputLayout;

struct ShaderResource {
    int32_t id;
    const char* name;
    int32_t type;                     // low 31 bits of the entry's type
    const uint8_t* programs[12];      // programs 1 to 12 of other targets, kept unused
    int32_t words[4];                 // words 7 to 10, kept unused
    // The device programs (a program description each) or, when only one is
    // present, a compile error text; sizes are what the chunk holds from there.
    const uint8_t* vertexProgram;
    uint32_t vertexProgramSize;
    const uint8_t* pixelProgram;
    uint32_t pixelProgramSize;
    std::string errorText;            // empty while the shader is usable
    uint8_t errorStage;               // 0 vertex, 1 pixel
    std::vector<const char*> attributeNames;
    int32_t backend;                  // back-end shader index, -1 when none
    int32_t baseTextureSampler;
    int32_t matricesUniform;
    int32_t lightDirectionsUniform;
    int32_t lightPositionsUniform;
    int32_t lightColoursUniform;
    int32_t ambientUniform;
    int32_t lightingUniform;
};

// --- records and the pending/current shader ---

// The "SHDR" chunk reader: replaces every record. A malformed entry refuses
// the chunk with a message; a shader the device cannot take stays as a
// record with its error text.
bool Shader_Load(const uint8_t* payload, uint32_t length, const uint8_t* data);
// Frees every record and back-end shader, and forgets pending and current.
void Shader_FreeAll();
int Shader_Count();
ShaderResource* Shader_Get(int id);
bool Shader_Exists(int id);
// Index of the shader of that name (exact compare), -1 when there is none.
int Shader_Find(const char* name);

// Pending shader id (-1 none); setting it applies nothing.
int Shader_GetPending();
void Shader_SetPending(int shader);
// Whether a pending change waits for Shader_Apply.
bool Shader_ChangePending();
// Makes the pending shader current and uploads the engine's uniforms to it.
void Shader_Apply();
int Shader_GetCurrent();
ShaderResource* Shader_GetCurrentRecord();
// Asks for a shader (-1 the built-in ones) and applies it when that changes
// anything (the routine of shader_set); false for an id outside the table.
bool Shader_Select(int id);
// Returns to the built-in shaders (the routine of shader_reset).
void Shader_Reset();
// The current shader's error text as a non-fatal runtime error.
void Shader_ReportError(const ShaderResource* record);

// --- back end ---

// Creates the device side for the record's programs; on failure fills the
// record's error text and stage.
bool Shader_Create(ShaderResource* record);
// Back-end index; -1 when the vertex program, -2 when the pixel program fails.
int Shader_CreateBackend(const uint8_t* vertex, uint32_t vertexSize, const uint8_t* pixel, uint32_t pixelSize,
                         int32_t recordType);
void Shader_FreeBackends();
int Shader_GetUniformIndex(const ShaderResource* record, const char* name);
int Shader_GetSamplerIndex(const ShaderResource* record, const char* name);

// Uniform setters on the current shader: false without effect for a handle
// below 0 or past its uniforms, or without a current back-end shader.
bool Shader_SetUniformF(int handle, int count, const float values[4]);
bool Shader_SetUniformI(int handle, int count, const float values[4]);
bool Shader_SetBuiltinUniformI(int handle, int count, const float values[4]);
bool Shader_SetUniformFArray(int handle, int n, const float* values);
bool Shader_SetUniformIArray(int handle, int n, const int32_t* values);
bool Shader_SetUniformMatrix(int handle, int n, const float* matrices);
// The five matrix slots to the current shader's matrices uniform.
void Shader_UploadMatrices(const float* fiveMatrices);

// The draw with a game shader: its programs, its constant buffers uploaded
// when dirty and bound, and its input layout for the vertex format.
HGPU_Shader* Shader_GetVertexShader(int backend);
HGPU_Shader* Shader_GetPixelShader(int backend);
void Shader_BindConstantBuffers(int backend);
HGPU_InputLayout* Shader_GetInputLayout(int backend, int format);

// Around a device re-creation: device objects released, CPU copies kept.
void Shader_ReleaseAllDevice();
void Shader_RecreateAll();

// Usage code of a vertex input semantic name (case-insensitive; unknown and
// "DEPTH", "SAMPLE" give 4).
int Shader_UsageFromSemantic(const char* semantic);

// Test view of a back-end uniform's bytes in its constant buffer's CPU copy.
const uint8_t* Shader_UniformBytes(int backend, int handle, uint32_t* size);
