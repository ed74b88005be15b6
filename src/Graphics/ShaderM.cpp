// The device side of game shaders: each program description of a record is
// parsed (every offset checked against the bytes the chunk holds), its
// bytecode translated for the device, its constant buffers kept as CPU
// copies that uniform writes touch and draws upload when dirty.
#include "Graphics/ShaderM.h"

#include <cctype>
#include <cstring>

#include "Base/Console.h"
#include "Graphics/ShaderM_Translate.h"
#include "Graphics/VertexBuilderM.h"
#include "Graphics/VertexFormat.h"
#include "Host/Host_GPU.h"

namespace {

struct DescBuffer { std::string name; int32_t slot; uint32_t size; };
struct DescVariable { std::string name; int32_t buffer; uint32_t offset, size; int32_t kind, columns, rows, elements; };
struct DescSampler { std::string name; int32_t slot; };
struct DescInput { std::string semantic; int32_t index; };

struct ProgramDescription {
    std::vector<DescBuffer> buffers;
    std::vector<DescVariable> variables;
    std::vector<DescSampler> samplers;
    std::vector<DescInput> inputs;
    std::vector<uint8_t> bytecode;
};

struct ShaderConstantBuffer {
    int32_t slot;
    uint32_t size;
    int stage;
    std::vector<uint8_t> cpu;
    HGPU_Buffer* buffer;
    bool dirty;
};

struct ShaderUniform {
    std::string name;
    int32_t buffer;  // over all buffers: vertex ones first
    uint32_t offset, size;
    int32_t kind, columns, rows, elements;
};

struct BackendSampler { std::string name; int32_t slot; int stage; };
struct LayoutEntry { int format; HGPU_InputLayout* layout; bool owned; };

struct BackendShader {
    HGPU_Shader* vertex = nullptr;
    HGPU_Shader* pixel = nullptr;
    ProgramDescription programs[2];
    int32_t recordType = 1;
    std::vector<ShaderConstantBuffer> buffers;
    std::vector<BackendSampler> samplers;
    std::vector<ShaderUniform> uniforms;
    std::vector<DescInput> inputs;
    std::vector<LayoutEntry> layouts;
    int lastLayout = -1;
};

std::vector<BackendShader*> g_Backends;

uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// A description and the bytes it may use; every read is checked.
struct DescriptionReader {
    const uint8_t* base;
    uint32_t size;
    const char* failure = nullptr;

    bool Table(uint32_t offset, uint32_t count, uint32_t entrySize)
    {
        if (count == 0) return true;
        if (offset == 0 || offset > size || count > (size - offset) / entrySize) {
            failure = "a table lies outside the data";
            return false;
        }
        return true;
    }
    bool Text(uint32_t offset, std::string* out)
    {
        if (offset == 0) {
            out->clear();
            return true;
        }
        const void* end = offset < size ? std::memchr(base + offset, 0, size - offset) : nullptr;
        if (!end) {
            failure = "a name lies outside the data";
            return false;
        }
        out->assign(reinterpret_cast<const char*>(base + offset));
        return true;
    }
};

bool ParseDescription(const uint8_t* base, uint32_t size, ProgramDescription* out, const char** failure)
{
    DescriptionReader r{base, size};
    if (!base || size < 0x34) {
        *failure = "the description is cut short";
        return false;
    }
    const uint32_t buffers = U32(base + 4), variables = U32(base + 8), samplers = U32(base + 12);
    const uint32_t inputs = U32(base + 20), bytecodeSize = U32(base + 24);
    const uint32_t buffersAt = U32(base + 28), variablesAt = U32(base + 32), samplersAt = U32(base + 36);
    const uint32_t inputsAt = U32(base + 44), bytecodeAt = U32(base + 48);
    bool ok = r.Table(buffersAt, buffers, 20) && r.Table(variablesAt, variables, 32) &&
              r.Table(samplersAt, samplers, 12) && r.Table(inputsAt, inputs, 20) && r.Table(bytecodeAt, bytecodeSize, 1);
    for (uint32_t i = 0; ok && i < buffers; ++i) {
        const uint8_t* e = base + buffersAt + 20 * i;
        DescBuffer b{{}, static_cast<int32_t>(U32(e + 4)), U32(e + 16)};
        ok = r.Text(U32(e), &b.name);
        out->buffers.push_back(b);
    }
    for (uint32_t i = 0; ok && i < variables; ++i) {
        const uint8_t* e = base + variablesAt + 32 * i;
        DescVariable v{{}, static_cast<int32_t>(U32(e + 4)), U32(e + 8), U32(e + 12),
                       static_cast<int32_t>(U32(e + 16)), static_cast<int32_t>(U32(e + 20)),
                       static_cast<int32_t>(U32(e + 24)), static_cast<int32_t>(U32(e + 28))};
        ok = r.Text(U32(e), &v.name);
        out->variables.push_back(v);
    }
    for (uint32_t i = 0; ok && i < samplers; ++i) {
        const uint8_t* e = base + samplersAt + 12 * i;
        DescSampler s{{}, static_cast<int32_t>(U32(e + 4))};
        ok = r.Text(U32(e), &s.name);
        out->samplers.push_back(s);
    }
    for (uint32_t i = 0; ok && i < inputs; ++i) {
        const uint8_t* e = base + inputsAt + 20 * i;
        DescInput in{{}, static_cast<int32_t>(U32(e + 4))};
        ok = r.Text(U32(e), &in.semantic);
        out->inputs.push_back(in);
    }
    if (ok && bytecodeSize == 0) {
        r.failure = "the description holds no bytecode";
        ok = false;
    }
    if (ok) out->bytecode.assign(base + bytecodeAt, base + bytecodeAt + bytecodeSize);
    if (!ok) *failure = r.failure;
    return ok;
}

std::vector<HGPU_ShaderInput> InputBindings(const ShaderTranslation& t)
{
    std::vector<HGPU_ShaderInput> out;
    for (const auto& in : t.inputs) out.push_back({in.name.c_str(), in.semantic.c_str(), in.semanticIndex});
    return out;
}

std::vector<HGPU_ShaderBlock> BlockBindings(const std::vector<ShaderTranslation::Block>& blocks)
{
    std::vector<HGPU_ShaderBlock> out;
    for (const auto& b : blocks) out.push_back({b.name.c_str(), b.slot});
    return out;
}

// Translates and compiles one program; null (with the reason logged) when
// the device cannot take it.
HGPU_Shader* CreateProgram(const std::vector<uint8_t>& bytecode, bool vertex)
{
    ShaderTranslation t;
    if (!Shader_TranslateProgram(bytecode.data(), static_cast<uint32_t>(bytecode.size()), vertex, &t)) {
        LogConsole->Output("Shader translation failed (%s program): %s\n", vertex ? "vertex" : "pixel",
                           t.error.c_str());
        return nullptr;
    }
    const std::vector<HGPU_ShaderInput> inputs = InputBindings(t);
    const std::vector<HGPU_ShaderBlock> blocks = BlockBindings(t.constantBuffers);
    const std::vector<HGPU_ShaderBlock> textures = BlockBindings(t.textures);
    HGPU_ShaderBindings bindings;
    bindings.inputs = inputs.data();
    bindings.inputCount = static_cast<int>(inputs.size());
    bindings.constantBuffers = blocks.data();
    bindings.constantBufferCount = static_cast<int>(blocks.size());
    bindings.textures = textures.data();
    bindings.textureCount = static_cast<int>(textures.size());
    char* error = nullptr;
    HGPU_Shader* shader =
        HGPU_CreateShader(vertex ? HGPU_Stage::Vertex : HGPU_Stage::Pixel, t.glsl.c_str(), bindings, &error);
    if (!shader) LogConsole->Output("Shader compilation failed (%s program): %s\n", vertex ? "vertex" : "pixel",
                                    error ? error : "no device");
    delete[] error;
    return shader;
}

void ReleaseDevice(BackendShader* b)
{
    HGPU_ReleaseShader(b->vertex);
    HGPU_ReleaseShader(b->pixel);
    b->vertex = b->pixel = nullptr;
    for (ShaderConstantBuffer& buffer : b->buffers) {
        HGPU_ReleaseBuffer(buffer.buffer);
        buffer.buffer = nullptr;
    }
    for (LayoutEntry& entry : b->layouts)
        if (entry.owned) HGPU_ReleaseInputLayout(entry.layout);
    b->layouts.clear();
    b->lastLayout = -1;
    b->samplers.clear();
    b->uniforms.clear();
    b->inputs.clear();
}

// Device programs, linked together, then buffers and the name lists. Returns
// -1 or -2 like Shader_CreateBackend when a program fails.
int CreateDevice(BackendShader* b)
{
    b->vertex = CreateProgram(b->programs[0].bytecode, true);
    if (!b->vertex) return -1;
    b->pixel = CreateProgram(b->programs[1].bytecode, false);
    if (!b->pixel) return -2;
    char* linkError = nullptr;
    if (!HGPU_LinkShaders(b->vertex, b->pixel, &linkError)) {
        LogConsole->Output("Shader link failed: %s\n", linkError ? linkError : "");
        delete[] linkError;
        return -2;
    }
    for (ShaderConstantBuffer& buffer : b->buffers) {
        buffer.buffer = HGPU_CreateBuffer(HGPU_BufferKind::Constant, buffer.size, false, nullptr);
        if (!buffer.buffer) GR_D3D_CheckHResult(HGPU_E_FAIL, "GR_D3D_Device->CreateBuffer", __LINE__, __FILE__);
        buffer.dirty = true;
    }
    int firstBuffer = 0;
    for (int stage = 0; stage < 2; ++stage) {
        const ProgramDescription& p = b->programs[stage];
        for (const DescSampler& s : p.samplers) b->samplers.push_back({s.name, s.slot, stage});
        for (const DescVariable& v : p.variables) {
            if (v.buffer < 0 || v.buffer >= static_cast<int32_t>(p.buffers.size())) continue;
            b->uniforms.push_back({v.name, firstBuffer + v.buffer, v.offset, v.size, v.kind, v.columns, v.rows,
                                   v.elements});
        }
        firstBuffer += static_cast<int>(p.buffers.size());
    }
    b->inputs = b->programs[0].inputs;
    return 0;
}

BackendShader* Backend(int index)
{
    return index >= 0 && index < static_cast<int>(g_Backends.size()) ? g_Backends[static_cast<size_t>(index)] : nullptr;
}

BackendShader* CurrentBackend()
{
    const ShaderResource* record = Shader_GetCurrentRecord();
    return record ? Backend(record->backend) : nullptr;
}

const char* const kUsageNames[] = {"INVALID",  "POSITION", "COLOR",      "NORMAL",    "TEXCOORD",
                                   "BLENDWEIGHT", "BLENDINDICES", "PSIZE", "TANGENT", "BINORMAL",
                                   "TESSFACTOR", "POSITIONT", "FOG"};

// Writes one uniform into its buffer's CPU copy by the register rules of
// the device's constant buffers.
bool WriteUniform(BackendShader* b, int handle, const void* data, uint32_t length)
{
    if (!b || handle < 0 || handle >= static_cast<int>(b->uniforms.size())) return false;
    const ShaderUniform& u = b->uniforms[static_cast<size_t>(handle)];
    ShaderConstantBuffer& buffer = b->buffers[static_cast<size_t>(u.buffer)];
    const auto* src = static_cast<const uint8_t*>(data);
    // What lies past the buffer's end is never written, whatever the description says.
    const uint32_t room = u.offset < buffer.cpu.size() ? static_cast<uint32_t>(buffer.cpu.size()) - u.offset : 0;
    const uint32_t limit = u.size < room ? u.size : room;
    uint8_t* dst = buffer.cpu.data() + u.offset;
    if (u.columns != 4 && u.elements != 0 && u.rows == 1) {
        const uint32_t element = static_cast<uint32_t>(u.columns > 0 ? u.columns : 1) * 4;
        for (uint32_t k = 0, at = 0; at < length; ++k, at += element) {
            const uint32_t take = length - at < element ? length - at : element;
            if (16 * k + take > limit) break;
            std::memcpy(dst + 16 * k, src + at, take);
        }
    } else if (u.kind == 5 && u.columns == 4 && u.rows == 4 && b->recordType == 1) {
        for (uint32_t at = 0; at + 64 <= length && at + 64 <= limit; at += 64) {
            float m[16], t[16];
            std::memcpy(m, src + at, 64);
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c) t[4 * c + r] = m[4 * r + c];
            std::memcpy(dst + at, t, 64);
        }
    } else {
        std::memcpy(dst, src, length < limit ? length : limit);
    }
    buffer.dirty = true;
    return true;
}

// Semantic names compare without regard to case.
bool SameLetters(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

}  // namespace

int Shader_UsageFromSemantic(const char* semantic)
{
    if (!semantic) return 4;
    for (int code = 0; code < static_cast<int>(sizeof kUsageNames / sizeof kUsageNames[0]); ++code)
        if (SameLetters(semantic, kUsageNames[code])) return code;
    return 4;
}

int Shader_CreateBackend(const uint8_t* vertex, uint32_t vertexSize, const uint8_t* pixel, uint32_t pixelSize,
                         int32_t recordType)
{
    auto* b = new BackendShader;
    b->recordType = recordType;
    const char* failure = nullptr;
    if (!ParseDescription(vertex, vertexSize, &b->programs[0], &failure)) {
        LogConsole->Output("Shader vertex program: %s\n", failure);
        delete b;
        return -1;
    }
    if (!ParseDescription(pixel, pixelSize, &b->programs[1], &failure)) {
        LogConsole->Output("Shader pixel program: %s\n", failure);
        delete b;
        return -2;
    }
    for (int stage = 0; stage < 2; ++stage)
        for (const DescBuffer& d : b->programs[stage].buffers)
            b->buffers.push_back({d.slot, d.size, stage, std::vector<uint8_t>(d.size, 0), nullptr, true});
    const int result = CreateDevice(b);
    if (result < 0) {
        ReleaseDevice(b);
        delete b;
        return result;
    }
    g_Backends.push_back(b);
    return static_cast<int>(g_Backends.size()) - 1;
}

void Shader_FreeBackends()
{
    for (BackendShader* b : g_Backends) {
        ReleaseDevice(b);
        delete b;
    }
    g_Backends.clear();
}

bool Shader_Create(ShaderResource* record)
{
    record->backend = -1;
    record->baseTextureSampler = -1;
    int32_t* handles[] = {&record->matricesUniform,     &record->lightDirectionsUniform,
                          &record->lightPositionsUniform, &record->lightColoursUniform,
                          &record->ambientUniform,      &record->lightingUniform};
    for (int32_t* handle : handles) *handle = -1;
    if (record->vertexProgram && record->pixelProgram) {
        const int index = Shader_CreateBackend(record->vertexProgram, record->vertexProgramSize, record->pixelProgram,
                                               record->pixelProgramSize, record->type);
        if (index < 0) {
            record->errorText = index == -1 ? "Vertex shader not compatible with this device"
                                            : "Pixel shader not compatible with this device";
            record->errorStage = index == -1 ? 0 : 1;
            return false;
        }
        record->backend = index;
        record->baseTextureSampler = Shader_GetSamplerIndex(record, "qs_BaseTexture");
        const char* names[] = {"qs_Matrices",      "qs_Lights_Direction", "qs_Lights_PosRange",
                               "qs_Lights_Colour", "qs_AmbientColour",    "qs_LightingEnabled"};
        for (int i = 0; i < 6; ++i) *handles[i] = Shader_GetUniformIndex(record, names[i]);
        return true;
    }
    // A single program field holds the compile error of the other target.
    const uint8_t* text = record->vertexProgram ? record->vertexProgram : record->pixelProgram;
    const uint32_t size = record->vertexProgram ? record->vertexProgramSize : record->pixelProgramSize;
    if (text) {
        const void* end = std::memchr(text, 0, size);
        record->errorText.assign(reinterpret_cast<const char*>(text),
                                 end ? static_cast<const uint8_t*>(end) - text : size);
        record->errorStage = record->vertexProgram ? 0 : 1;
    }
    return false;
}

int Shader_GetUniformIndex(const ShaderResource* record, const char* name)
{
    const BackendShader* b = record && name ? Backend(record->backend) : nullptr;
    if (!b) return -1;
    for (size_t i = 0; i < b->uniforms.size(); ++i) {
        const std::string& u = b->uniforms[i].name;
        if (u == name || (u.size() > 1 && u[0] == '_' && u.compare(1, std::string::npos, name) == 0))
            return static_cast<int>(i);
    }
    return -1;
}

int Shader_GetSamplerIndex(const ShaderResource* record, const char* name)
{
    const BackendShader* b = record && name ? Backend(record->backend) : nullptr;
    if (!b) return -1;
    const std::string prefixed = std::string("sampler__") + name;
    for (const BackendSampler& s : b->samplers)
        if (s.name == name || s.name == prefixed) return s.slot;
    return -1;
}

bool Shader_SetUniformF(int handle, int count, const float values[4])
{
    if (count < 0) count = 0;
    if (count > 4) count = 4;
    return WriteUniform(CurrentBackend(), handle, values, static_cast<uint32_t>(count) * 4);
}

bool Shader_SetUniformI(int handle, int count, const float values[4])
{
    if (count < 0) count = 0;
    if (count > 4) count = 4;
    int32_t ints[4] = {};
    for (int i = 0; i < count; ++i) ints[i] = static_cast<int32_t>(values[i]);
    return WriteUniform(CurrentBackend(), handle, ints, static_cast<uint32_t>(count) * 4);
}

bool Shader_SetBuiltinUniformI(int handle, int count, const float values[4])
{
    return Shader_SetUniformI(handle, count, values);
}

bool Shader_SetUniformFArray(int handle, int n, const float* values)
{
    return n > 0 && WriteUniform(CurrentBackend(), handle, values, static_cast<uint32_t>(n) * 4);
}

bool Shader_SetUniformIArray(int handle, int n, const int32_t* values)
{
    return n > 0 && WriteUniform(CurrentBackend(), handle, values, static_cast<uint32_t>(n) * 4);
}

bool Shader_SetUniformMatrix(int handle, int n, const float* matrices)
{
    return n > 0 && WriteUniform(CurrentBackend(), handle, matrices, static_cast<uint32_t>(n) * 64);
}

void Shader_UploadMatrices(const float* fiveMatrices)
{
    if (const ShaderResource* record = Shader_GetCurrentRecord())
        Shader_SetUniformMatrix(record->matricesUniform, 5, fiveMatrices);
}

HGPU_Shader* Shader_GetVertexShader(int backend)
{
    const BackendShader* b = Backend(backend);
    return b ? b->vertex : nullptr;
}

HGPU_Shader* Shader_GetPixelShader(int backend)
{
    const BackendShader* b = Backend(backend);
    return b ? b->pixel : nullptr;
}

void Shader_BindConstantBuffers(int backend)
{
    BackendShader* b = Backend(backend);
    if (!b) return;
    for (ShaderConstantBuffer& buffer : b->buffers) {
        if (buffer.dirty && buffer.buffer) {
            HGPU_UpdateBuffer(buffer.buffer, buffer.cpu.data(), buffer.size);
            buffer.dirty = false;
        }
        HGPU_SetConstantBuffer(buffer.stage ? HGPU_Stage::Pixel : HGPU_Stage::Vertex, buffer.slot, buffer.buffer);
    }
}

HGPU_InputLayout* Shader_GetInputLayout(int backend, int format)
{
    BackendShader* b = Backend(backend);
    if (!b) return nullptr;
    if (b->lastLayout >= 0 && b->layouts[static_cast<size_t>(b->lastLayout)].format == format)
        return b->layouts[static_cast<size_t>(b->lastLayout)].layout;
    for (size_t i = 0; i < b->layouts.size(); ++i) {
        if (b->layouts[i].format == format) {
            b->lastLayout = static_cast<int>(i);
            return b->layouts[i].layout;
        }
    }
    // Built-in formats by the offsets of their fields; elements named after
    // the shader's own inputs.
    struct Field { int usage; HGPU_ElementFormat format; uint32_t offset; };
    static const Field k16[] = {{1, HGPU_ElementFormat::Float3, 0}, {2, HGPU_ElementFormat::UByte4Norm, 12}};
    static const Field k24[] = {{1, HGPU_ElementFormat::Float3, 12}, {2, HGPU_ElementFormat::UByte4Norm, 8},
                                {4, HGPU_ElementFormat::Float2, 0}};
    static const Field k36[] = {{1, HGPU_ElementFormat::Float3, 0}, {3, HGPU_ElementFormat::Float3, 12},
                                {2, HGPU_ElementFormat::UByte4Norm, 24}, {4, HGPU_ElementFormat::Float2, 28}};
    const Field* fields = nullptr;
    int fieldCount = 0;
    if (format == 16) { fields = k16; fieldCount = 2; }
    else if (format == 24) { fields = k24; fieldCount = 3; }
    else if (format == 36) { fields = k36; fieldCount = 4; }
    HGPU_InputLayout* layout = nullptr;
    if (fields) {
        std::vector<HGPU_InputElement> elements;
        for (const DescInput& in : b->inputs) {
            const int usage = Shader_UsageFromSemantic(in.semantic.c_str());
            for (int f = 0; f < fieldCount; ++f)
                if (fields[f].usage == usage && in.index == 0)
                    elements.push_back({in.semantic.c_str(), in.index, fields[f].format, fields[f].offset});
        }
        if (!elements.empty()) layout = HGPU_CreateInputLayout(elements.data(), static_cast<int>(elements.size()));
    } else if (VertexFormat* user = (format & VERTEX_FORMAT_USER) ? VertexFormat_Get(format) : nullptr) {
        // A user format's own layout names its elements by usage; the device
        // feeds each shader input the element of its semantic.
        layout = GR_D3D_GetVertexFormatLayout(user);
        if (!layout)
            LogConsole->Output(
                "Could not generate input layout (is there a mismatch between your shader and vertex format?)\n");
        b->layouts.push_back({format, layout, false});
        b->lastLayout = static_cast<int>(b->layouts.size()) - 1;
        return layout;
    }
    b->layouts.push_back({format, layout, true});
    b->lastLayout = static_cast<int>(b->layouts.size()) - 1;
    return layout;
}

void Shader_ReleaseAllDevice()
{
    for (BackendShader* b : g_Backends) ReleaseDevice(b);
}

void Shader_RecreateAll()
{
    for (BackendShader* b : g_Backends) {
        if (b->vertex) continue;
        if (CreateDevice(b) < 0) ReleaseDevice(b);
    }
}

const uint8_t* Shader_UniformBytes(int backend, int handle, uint32_t* size)
{
    const BackendShader* b = Backend(backend);
    if (!b || handle < 0 || handle >= static_cast<int>(b->uniforms.size())) return nullptr;
    const ShaderUniform& u = b->uniforms[static_cast<size_t>(handle)];
    const ShaderConstantBuffer& buffer = b->buffers[static_cast<size_t>(u.buffer)];
    if (u.offset >= buffer.cpu.size()) return nullptr;
    const uint32_t room = static_cast<uint32_t>(buffer.cpu.size()) - u.offset;
    *size = u.size < room ? u.size : room;
    return buffer.cpu.data() + u.offset;
}
