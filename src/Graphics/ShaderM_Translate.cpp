// Bytecode goes to SPIR-V through vkd3d-shader (constant buffers, textures and
// samplers given bindings equal to their registers, so they can be found
// again), then to GLSL 3.30 through SPIRV-Cross with texture and sampler
// pairs combined. Interface variables are renamed after their locations, so
// a vertex program's outputs meet the pixel program's inputs by name (GLSL
// 3.30 has no locations for them), and after their registers, so the device
// binds blocks and textures by slot.
#include "Graphics/ShaderM_Translate.h"

#include <cstdio>
#include <cstring>

#include <spirv_cross_c.h>
#include <vkd3d_shader.h>

namespace {

constexpr unsigned kTextureBindingBase = 16;
constexpr unsigned kSamplerBindingBase = 32;

uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

// The input signature: semantic name and index of each input register.
struct SignatureEntry { std::string semantic; uint32_t semanticIndex, reg; };

bool ReadInputSignature(const uint8_t* code, uint32_t size, std::vector<SignatureEntry>* out, std::string* error)
{
    if (size < 32 || std::memcmp(code, "DXBC", 4) != 0) {
        *error = "not a compiled shader container";
        return false;
    }
    const uint32_t chunkCount = U32(code + 28);
    if (chunkCount > (size - 32) / 4) {
        *error = "chunk count exceeds the container";
        return false;
    }
    for (uint32_t i = 0; i < chunkCount; ++i) {
        const uint32_t at = U32(code + 32 + 4 * i);
        if (at > size - 8) {
            *error = "chunk offset outside the container";
            return false;
        }
        const uint32_t length = U32(code + at + 4);
        if (length > size - at - 8) {
            *error = "chunk length exceeds the container";
            return false;
        }
        if (std::memcmp(code + at, "ISGN", 4) != 0) continue;
        const uint8_t* chunk = code + at + 8;
        if (length < 8) break;
        const uint32_t count = U32(chunk), first = U32(chunk + 4);
        if (first > length || count > (length - first) / 24) {
            *error = "input signature exceeds its chunk";
            return false;
        }
        for (uint32_t k = 0; k < count; ++k) {
            const uint8_t* e = chunk + first + 24 * k;
            const uint32_t name = U32(e);
            if (name >= length || !std::memchr(chunk + name, 0, length - name)) {
                *error = "input signature name outside its chunk";
                return false;
            }
            out->push_back({reinterpret_cast<const char*>(chunk + name), U32(e + 4), U32(e + 16)});
        }
        return true;
    }
    return true;
}

void CollectError(void* userdata, const char* text)
{
    auto* error = static_cast<std::string*>(userdata);
    if (error->empty()) *error = text;
}

std::string Named(const char* prefix, unsigned n)
{
    char text[32];
    std::snprintf(text, sizeof text, "%s%u", prefix, n);
    return text;
}

bool ToSpirV(const uint8_t* bytecode, uint32_t size, vkd3d_shader_code* spirv, std::string* error)
{
    vkd3d_shader_compile_info info{};
    info.type = VKD3D_SHADER_STRUCTURE_TYPE_COMPILE_INFO;
    info.source = {bytecode, size};
    info.source_type = VKD3D_SHADER_SOURCE_DXBC_TPF;
    info.target_type = VKD3D_SHADER_TARGET_SPIRV_BINARY;
    info.log_level = VKD3D_SHADER_LOG_ERROR;

    vkd3d_shader_scan_descriptor_info scan{};
    scan.type = VKD3D_SHADER_STRUCTURE_TYPE_SCAN_DESCRIPTOR_INFO;
    info.next = &scan;
    char* messages = nullptr;
    if (vkd3d_shader_scan(&info, &messages) < 0) {
        *error = messages && *messages ? messages : "the bytecode could not be read";
        vkd3d_shader_free_messages(messages);
        return false;
    }
    vkd3d_shader_free_messages(messages);
    messages = nullptr;

    std::vector<vkd3d_shader_resource_binding> bindings;
    for (unsigned i = 0; i < scan.descriptor_count; ++i) {
        const vkd3d_shader_descriptor_info& d = scan.descriptors[i];
        vkd3d_shader_resource_binding b{};
        b.type = d.type;
        b.register_space = d.register_space;
        b.register_index = d.register_index;
        b.shader_visibility = VKD3D_SHADER_VISIBILITY_ALL;
        b.binding = {0, d.register_index, 1};
        if (d.type == VKD3D_SHADER_DESCRIPTOR_TYPE_SRV) {
            b.flags = d.resource_type == VKD3D_SHADER_RESOURCE_BUFFER ? VKD3D_SHADER_BINDING_FLAG_BUFFER
                                                                       : VKD3D_SHADER_BINDING_FLAG_IMAGE;
            b.binding.binding += kTextureBindingBase;
        } else if (d.type == VKD3D_SHADER_DESCRIPTOR_TYPE_SAMPLER) {
            b.flags = VKD3D_SHADER_BINDING_FLAG_IMAGE;
            b.binding.binding += kSamplerBindingBase;
        } else if (d.type == VKD3D_SHADER_DESCRIPTOR_TYPE_CBV) {
            b.flags = VKD3D_SHADER_BINDING_FLAG_BUFFER;
        } else {
            *error = "unordered access views are not supported";
            vkd3d_shader_free_scan_descriptor_info(&scan);
            return false;
        }
        bindings.push_back(b);
    }
    vkd3d_shader_free_scan_descriptor_info(&scan);

    vkd3d_shader_interface_info interface{};
    interface.type = VKD3D_SHADER_STRUCTURE_TYPE_INTERFACE_INFO;
    interface.bindings = bindings.data();
    interface.binding_count = static_cast<unsigned>(bindings.size());
    info.next = &interface;
    const int result = vkd3d_shader_compile(&info, spirv, &messages);
    if (result < 0) *error = messages && *messages ? messages : "the bytecode could not be translated";
    vkd3d_shader_free_messages(messages);
    return result >= 0;
}

// Runs the program as qs_main so the position can be mirrored afterwards on
// devices that cannot take the top-left origin and 0..1 depth themselves.
bool WrapVertexMain(std::string* glsl)
{
    const size_t at = glsl->find("\nvoid main()");
    if (at == std::string::npos) return false;
    glsl->replace(at, 12, "\nvoid qs_main()");
    *glsl += "\nvoid main()\n{\n    qs_main();\n#ifdef QS_FLIP_CLIP\n    gl_Position.y = -gl_Position.y;\n"
             "    gl_Position.z = 2.0 * gl_Position.z - gl_Position.w;\n#endif\n}\n";
    return true;
}

bool ToGlsl(const uint32_t* words, size_t count, bool vertex, const std::vector<SignatureEntry>& signature,
            ShaderTranslation* out)
{
    spvc_context context = nullptr;
    if (spvc_context_create(&context) != SPVC_SUCCESS) {
        out->error = "the translator could not start";
        return false;
    }
    spvc_context_set_error_callback(context, CollectError, &out->error);
    spvc_parsed_ir ir = nullptr;
    spvc_compiler compiler = nullptr;
    spvc_compiler_options options = nullptr;
    bool ok = spvc_context_parse_spirv(context, words, count, &ir) == SPVC_SUCCESS &&
              spvc_context_create_compiler(context, SPVC_BACKEND_GLSL, ir, SPVC_CAPTURE_MODE_TAKE_OWNERSHIP,
                                           &compiler) == SPVC_SUCCESS &&
              spvc_compiler_create_compiler_options(compiler, &options) == SPVC_SUCCESS;
    if (ok) {
        spvc_compiler_options_set_uint(options, SPVC_COMPILER_OPTION_GLSL_VERSION, 330);
        spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_FALSE);
        spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ENABLE_420PACK_EXTENSION, SPVC_FALSE);
        ok = spvc_compiler_install_compiler_options(compiler, options) == SPVC_SUCCESS &&
             spvc_compiler_build_combined_image_samplers(compiler) == SPVC_SUCCESS;
    }
    const char* stagePrefix = vertex ? "qs_v" : "qs_p";
    if (ok) {
        const spvc_combined_image_sampler* pairs = nullptr;
        size_t pairCount = 0;
        spvc_compiler_get_combined_image_samplers(compiler, &pairs, &pairCount);
        for (size_t i = 0; i < pairCount; ++i) {
            const unsigned slot = spvc_compiler_get_decoration(compiler, pairs[i].sampler_id, SpvDecorationBinding) -
                                  kSamplerBindingBase;
            const std::string name = Named(vertex ? "qs_vtex" : "qs_ptex", static_cast<unsigned>(i)) + "_" +
                                     Named("s", slot);
            spvc_compiler_set_name(compiler, pairs[i].combined_id, name.c_str());
            out->textures.push_back({name, static_cast<int>(slot)});
        }
        spvc_resources resources = nullptr;
        ok = spvc_compiler_create_shader_resources(compiler, &resources) == SPVC_SUCCESS;
        const spvc_reflected_resource* list = nullptr;
        size_t n = 0;
        if (ok && spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, &list, &n) ==
                      SPVC_SUCCESS) {
            for (size_t i = 0; i < n; ++i) {
                const unsigned slot = spvc_compiler_get_decoration(compiler, list[i].id, SpvDecorationBinding);
                const std::string block = Named(vertex ? "qs_VertexBlock" : "qs_PixelBlock", slot);
                spvc_compiler_set_name(compiler, list[i].base_type_id, block.c_str());
                spvc_compiler_set_name(compiler, list[i].id, Named(stagePrefix, slot).append("_cb").c_str());
                out->constantBuffers.push_back({block, static_cast<int>(slot)});
            }
        }
        if (ok && spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_STAGE_INPUT, &list, &n) ==
                      SPVC_SUCCESS) {
            for (size_t i = 0; i < n; ++i) {
                const unsigned location = spvc_compiler_get_decoration(compiler, list[i].id, SpvDecorationLocation);
                const std::string name = Named(vertex ? "qs_in" : "qs_varying", location);
                spvc_compiler_set_name(compiler, list[i].id, name.c_str());
                if (!vertex) continue;
                for (const SignatureEntry& entry : signature)
                    if (entry.reg == location)
                        out->inputs.push_back({name, entry.semantic, static_cast<int>(entry.semanticIndex)});
            }
        }
        if (ok && vertex &&
            spvc_resources_get_resource_list_for_type(resources, SPVC_RESOURCE_TYPE_STAGE_OUTPUT, &list, &n) ==
                SPVC_SUCCESS) {
            for (size_t i = 0; i < n; ++i) {
                const unsigned location = spvc_compiler_get_decoration(compiler, list[i].id, SpvDecorationLocation);
                spvc_compiler_set_name(compiler, list[i].id, Named("qs_varying", location).c_str());
            }
        }
    }
    const char* source = nullptr;
    ok = ok && spvc_compiler_compile(compiler, &source) == SPVC_SUCCESS && source;
    if (ok) {
        out->glsl = source;
        if (vertex && !WrapVertexMain(&out->glsl)) {
            out->error = "the translated program has no entry point";
            ok = false;
        }
    } else if (out->error.empty()) {
        out->error = "the program could not be expressed in GLSL";
    }
    spvc_context_destroy(context);
    return ok;
}

}  // namespace

bool Shader_TranslateProgram(const uint8_t* bytecode, uint32_t size, bool vertex, ShaderTranslation* out)
{
    *out = ShaderTranslation{};
    std::vector<SignatureEntry> signature;
    if (!bytecode || !ReadInputSignature(bytecode, size, &signature, &out->error)) {
        if (out->error.empty()) out->error = "no bytecode";
        return false;
    }
    // The program's version token says which stage it is for.
    const uint32_t stage = vertex ? 1 : 0;
    bool stageFound = false;
    const uint32_t chunkCount = U32(bytecode + 28);
    for (uint32_t i = 0; i < chunkCount; ++i) {
        const uint32_t at = U32(bytecode + 32 + 4 * i);
        if ((std::memcmp(bytecode + at, "SHDR", 4) == 0 || std::memcmp(bytecode + at, "SHEX", 4) == 0) &&
            U32(bytecode + at + 4) >= 4) {
            stageFound = (U32(bytecode + at + 8) >> 16) == stage;
            break;
        }
    }
    if (!stageFound) {
        out->error = vertex ? "not a vertex program" : "not a pixel program";
        return false;
    }
    vkd3d_shader_code spirv{};
    if (!ToSpirV(bytecode, size, &spirv, &out->error)) return false;
    const bool ok = ToGlsl(static_cast<const uint32_t*>(spirv.code), spirv.size / 4, vertex, signature, out);
    vkd3d_shader_free_shader_code(&spirv);
    return ok;
}
