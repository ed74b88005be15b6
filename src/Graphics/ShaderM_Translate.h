#pragma once
// Translation of a game's compiled shader program (a "DXBC" container of
// shader model 4 or 5 bytecode) into GLSL 3.30 for the device, with the
// names the device binds by: vertex inputs by semantic, constant buffers by
// slot, textures by sampler slot.
#include <cstdint>
#include <string>
#include <vector>

struct ShaderTranslation {
    std::string glsl;
    struct Input { std::string name, semantic; int semanticIndex; };
    struct Block { std::string name; int slot; };
    std::vector<Input> inputs;          // vertex programs only
    std::vector<Block> constantBuffers;
    std::vector<Block> textures;
    std::string error;                  // why the translation failed
};

// False, with out->error set, when the bytecode is malformed, is not a
// program of the asked stage, or uses what the translators cannot express.
bool Shader_TranslateProgram(const uint8_t* bytecode, uint32_t size, bool vertex, ShaderTranslation* out);
