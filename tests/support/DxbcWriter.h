#pragma once
// Writes compiled shader containers ("DXBC": checksum, input and output
// signatures, shader-model-4 token stream) for the game-shader tests, so the
// translation path is exercised on bytecode made by our own code.
#include <cstdint>
#include <string>
#include <vector>

namespace dxbc {

struct SignatureElement {
    std::string semantic;
    uint32_t semanticIndex;
    uint32_t systemValue;  // 0 none, 1 position
    uint32_t reg;
    uint8_t mask;
    uint8_t rwMask;
};

struct Chunk {
    char tag[5];
    std::vector<uint8_t> data;
};

// The container with its checksum over everything after the checksum field.
std::vector<uint8_t> Container(const std::vector<Chunk>& chunks);
std::vector<uint8_t> Signature(const std::vector<SignatureElement>& elements);

// Vertex program: position (v0, xyz with w = 1) times the fifth matrix of
// constant buffer 0 (registers 16-19, stored transposed), colour (v1) and
// texture coordinates (v2) passed on in o1 and o2.
std::vector<uint8_t> PassThroughVertexProgram();
// Pixel program: the colour (v1) times the tint (constant buffer 0, register
// 0), times the texture of slot 0 sampled at v2 when textured.
std::vector<uint8_t> TintPixelProgram(bool textured);
// A pixel program whose only instruction is one the translator refuses.
std::vector<uint8_t> UntranslatablePixelProgram();

}  // namespace dxbc
