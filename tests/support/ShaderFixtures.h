#pragma once
// Game shaders for tests: program descriptions around bytecode from our own
// writer (support/DxbcWriter.h), and "SHDR" chunks holding them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gamedata/FormWriter.h"

namespace shaderfixtures {

struct Buffer { std::string name; uint32_t slot, size; };
struct Variable { std::string name; uint32_t buffer, offset, size; int32_t kind, columns, rows, elements; };
struct Named { std::string name; uint32_t value; };  // sampler slot or semantic index

struct Description {
    std::vector<Buffer> buffers;
    std::vector<Variable> variables;
    std::vector<Named> samplers;
    std::vector<Named> inputs;
    std::vector<uint8_t> bytecode;
};
std::vector<uint8_t> DescriptionBytes(const Description& d);

// The pass-through vertex program with its "qs_Matrices" uniform (five
// matrices); the tint pixel program with its "tint" uniform and, when
// textured, the "qs_BaseTexture" sampler.
Description PassThroughVertex();
Description TintPixel(bool textured);

struct Entry {
    std::string name;
    uint32_t type = 1;
    // Raw bytes each: a program description, or a compile error text.
    std::optional<std::vector<uint8_t>> vertex, pixel;
    std::vector<std::string> attributes;
};
// Entries by index; none writes offset 0.
void Shdr(gamedata::FormWriter& w, const std::vector<std::optional<Entry>>& entries);
// A game holding only a general header and the shaders.
std::vector<uint8_t> Game(const std::vector<std::optional<Entry>>& entries);
// The pass-through and tint pair.
Entry TintShader(const std::string& name, bool textured);

}  // namespace shaderfixtures
