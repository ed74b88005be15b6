// The shader table read from the "SHDR" chunk, the pending and current
// shader, and the engine's uniforms uploaded when a shader is applied.
#include <cstring>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "GameData/GameData.h"
#include "Graphics/ShaderM.h"
#include "Graphics/StateManagerM.h"
#include "Graphics/VertexBuilderM.h"

namespace {

std::vector<ShaderResource*> g_Shaders;
ShaderResource* g_Pending = nullptr;
ShaderResource* g_Current = nullptr;
bool g_Changed = false;

constexpr uint32_t kEntrySize = 0x2C;

void FreeRecords()
{
    for (ShaderResource* record : g_Shaders) delete record;
    g_Shaders.clear();
    g_Pending = g_Current = nullptr;
    g_Changed = false;
    GR_VertexBuilder_SetTextureStage(0);
    Shader_FreeBackends();
}

// A NUL-terminated text at an absolute offset of the image; offset 0 is none.
bool Text(uint32_t offset, int index, const char* what, const char** out)
{
    *out = nullptr;
    if (offset == 0) return true;
    if (offset >= GameDataSize || !std::memchr(GameData + offset, 0, GameDataSize - offset))
        return GameData_Fail("SHDR", "shader %d: %s at offset %u is not a text inside the file", index, what, offset);
    *out = reinterpret_cast<const char*>(GameData + offset);
    return true;
}

// A program at an absolute offset: it must start inside the chunk, and may
// use the chunk's bytes from there on.
bool Program(const uint8_t* payload, uint32_t length, uint32_t offset, int index, const uint8_t** out,
             uint32_t* size)
{
    *out = nullptr;
    *size = 0;
    if (offset == 0) return true;
    const uint32_t start = static_cast<uint32_t>(payload - GameData);
    if (offset < start || offset >= start + length)
        return GameData_Fail("SHDR", "shader %d: program at offset %u lies outside the chunk", index, offset);
    *out = GameData + offset;
    *size = start + length - offset;
    return true;
}

bool ReadEntry(const uint8_t* payload, uint32_t length, uint32_t offset, uint32_t index)
{
    const int id = static_cast<int>(g_Shaders.size());
    if (!GameData_CheckRecord("SHDR", payload, length, offset, kEntrySize, "shader entry", index)) return false;
    const uint8_t* e = GameData + offset;
    auto* record = new ShaderResource{};
    record->id = id;
    record->backend = -1;
    const uint32_t rawType = GameData_U32(e + 4);
    record->type = static_cast<int32_t>(rawType & 0x7FFFFFFF);
    bool ok = Text(GameData_U32(e), id, "name", &record->name);
    uint32_t unused = 0;
    for (int p = 0; ok && p < 6; ++p)
        ok = Program(payload, length, GameData_U32(e + 8 + 4 * p), id, &record->programs[p], &unused);
    ok = ok && Program(payload, length, GameData_U32(e + 0x20), id, &record->vertexProgram, &record->vertexProgramSize) &&
         Program(payload, length, GameData_U32(e + 0x24), id, &record->pixelProgram, &record->pixelProgramSize);
    const uint32_t attributes = ok ? GameData_U32(e + 0x28) : 0;
    const uint32_t chunkEnd = static_cast<uint32_t>(payload - GameData) + length;
    uint32_t at = offset + kEntrySize;
    if (ok && attributes > (chunkEnd - at) / 4) {
        ok = GameData_Fail("SHDR", "shader %d: %u attribute names do not fit the chunk", id, attributes);
    }
    for (uint32_t a = 0; ok && a < attributes; ++a, at += 4) {
        const char* name = nullptr;
        ok = Text(GameData_U32(GameData + at), id, "attribute name", &name);
        record->attributeNames.push_back(name);
    }
    if (ok && (rawType & 0x80000000u)) {
        if (chunkEnd - at < 4) {
            ok = GameData_Fail("SHDR", "shader %d: the program block does not fit the chunk", id);
        } else {
            const uint32_t version = GameData_U32(GameData + at);
            const uint32_t words = version >= 2 ? 11 : version >= 1 ? 8 : 0;
            if (chunkEnd - at - 4 < 4 * words) {
                ok = GameData_Fail("SHDR", "shader %d: the version %u program block does not fit the chunk", id,
                                   version);
            }
            for (uint32_t w = 0; ok && w < words; ++w) {
                const uint32_t value = GameData_U32(GameData + at + 4 + 4 * w);
                if (w < 8 && w % 2 == 1) {
                    record->words[w / 2] = static_cast<int32_t>(value);
                } else if (w < 8) {
                    ok = Program(payload, length, value, id, &record->programs[6 + w / 2], &unused);
                } else if (w == 8) {
                    ok = Program(payload, length, value, id, &record->programs[10], &unused);
                } else if (w == 10) {
                    ok = Program(payload, length, value, id, &record->programs[11], &unused);
                }
            }
        }
    }
    if (!ok) {
        delete record;
        return false;
    }
    g_Shaders.push_back(record);
    if (!Shader_Create(record) && record->errorText.empty()) {
        LogConsole->Output("Invalid shader (is it marked as incompatible type for this target?) \"%s\":\n",
                           record->name ? record->name : "");
        record->errorText = "Invalid shader";
    }
    return true;
}

// The engine's lights and ambient colour as the built-in uniforms take them.
void UploadLights(const ShaderResource* record)
{
    float directions[32] = {}, positions[32] = {}, colours[32] = {};
    for (int i = 0; i < 8; ++i) {
        const LightSlot& light = StateManagerM::GetLight(i);
        const float enabled = light.enabled ? 1.0f : 0.0f;
        for (int c = 0; c < 3; ++c) {
            directions[4 * i + c] = light.posdir[c];
            positions[4 * i + c] = light.posdir[c];
        }
        positions[4 * i + 3] = light.range;
        for (int c = 0; c < 4; ++c) colours[4 * i + c] = light.colour[c] * enabled;
    }
    Shader_SetUniformFArray(record->ambientUniform, 4, StateManagerM::GetAmbient());
    Shader_SetUniformFArray(record->lightDirectionsUniform, 32, directions);
    Shader_SetUniformFArray(record->lightColoursUniform, 32, colours);
    Shader_SetUniformFArray(record->lightPositionsUniform, 32, positions);
    const float lighting[4] = {StateManagerM::GetLighting() ? 1.0f : 0.0f};
    Shader_SetBuiltinUniformI(record->lightingUniform, 1, lighting);
}

}  // namespace

bool Shader_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    FreeRecords();
    uint32_t count = 0;
    if (!GameData_CheckList("SHDR", payload, length, &count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = GameData_U32(payload + 4 + 4 * i);
        if (offset == 0) continue;
        if (!ReadEntry(payload, length, offset, i)) {
            FreeRecords();
            return false;
        }
    }
    return true;
}

void Shader_FreeAll() { FreeRecords(); }

int Shader_Count() { return static_cast<int>(g_Shaders.size()); }

ShaderResource* Shader_Get(int id) { return id >= 0 && id < Shader_Count() ? g_Shaders[static_cast<size_t>(id)] : nullptr; }

bool Shader_Exists(int id) { return Shader_Get(id) != nullptr; }

int Shader_Find(const char* name)
{
    if (!name) return -1;
    for (const ShaderResource* record : g_Shaders)
        if (record->name && std::strcmp(record->name, name) == 0) return record->id;
    return -1;
}

int Shader_GetPending() { return g_Pending ? g_Pending->id : -1; }

void Shader_SetPending(int shader)
{
    ShaderResource* record = Shader_Get(shader);
    if (record == g_Pending) return;
    g_Pending = record;
    g_Changed = g_Pending != g_Current;
}

bool Shader_ChangePending() { return g_Changed; }

int Shader_GetCurrent() { return g_Current ? g_Current->id : -1; }

ShaderResource* Shader_GetCurrentRecord() { return g_Current; }

void Shader_ReportError(const ShaderResource* record)
{
    if (!record || record->errorText.empty()) return;
    ErrorContext.shaderName = record->name;
    ErrorContext.shaderStage = record->errorStage;
    ReportRuntimeError(record->errorText.c_str(), false);
}

void Shader_Apply()
{
    GR_VertexBuilder_Flush();
    g_Current = g_Pending;
    g_Changed = false;
    if (g_Current) Shader_ReportError(g_Current);
    // Without a back-end shader the batch texture stays at stage 0.
    if (!g_Current || g_Current->backend < 0) {
        GR_VertexBuilder_SetTextureStage(0);
        return;
    }
    float matrices[5][16];
    for (int slot = 0; slot < 5; ++slot) GR_D3D_GetMatrix(slot, matrices[slot]);
    Shader_SetUniformMatrix(g_Current->matricesUniform, 5, &matrices[0][0]);
    GR_VertexBuilder_SetTextureStage(g_Current->baseTextureSampler >= 0 ? g_Current->baseTextureSampler : 0);
    UploadLights(g_Current);
}

bool Shader_Select(int id)
{
    if (id != -1 && !Shader_Exists(id)) return false;
    Shader_SetPending(id);
    if (g_Changed) Shader_Apply();
    return true;
}

void Shader_Reset()
{
    GR_VertexBuilder_Flush();
    if (g_Pending) {
        g_Pending = nullptr;
        g_Changed = g_Current != nullptr;
    }
    if (g_Changed) Shader_Apply();
}
