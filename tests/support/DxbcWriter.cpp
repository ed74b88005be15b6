#include "support/DxbcWriter.h"

#include <cstring>

namespace dxbc {

namespace {

// --- checksum: MD5 rounds with the container's own padding ---

uint32_t Rotate(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void Md5Block(uint32_t state[4], const uint8_t* block)
{
    static const uint32_t k[64] = {
        0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
        0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
        0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
        0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
        0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
        0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
        0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
        0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
    static const int shifts[16] = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};
    uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = block[i * 4] | block[i * 4 + 1] << 8 | block[i * 4 + 2] << 16 | static_cast<uint32_t>(block[i * 4 + 3]) << 24;
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        uint32_t f;
        int g;
        if (i < 16) { f = (b & c) | (~b & d); g = i; }
        else if (i < 32) { f = (d & b) | (~d & c); g = (5 * i + 1) % 16; }
        else if (i < 48) { f = b ^ c ^ d; g = (3 * i + 5) % 16; }
        else { f = c ^ (b | ~d); g = (7 * i) % 16; }
        const uint32_t next = d;
        d = c;
        c = b;
        b = b + Rotate(a + f + k[i] + m[g], shifts[(i / 16) * 4 + i % 4]);
        a = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void PutU32(uint8_t* at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The checksum covers the bytes after the magic and the checksum field; the
// bit counts sit in the first and last words of the final block.
void Checksum(const uint8_t* data, size_t size, uint32_t out[4])
{
    data += 20;
    size -= 20;
    uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    const uint32_t bits = static_cast<uint32_t>(size * 8);
    const uint32_t bits2 = (bits >> 2) | 1;
    const size_t full = size / 64 * 64;
    for (size_t at = 0; at < full; at += 64) Md5Block(state, data + at);
    const size_t left = size - full;
    uint8_t block[64] = {};
    if (left >= 56) {
        std::memcpy(block, data + full, left);
        block[left] = 0x80;
        Md5Block(state, block);
        std::memset(block, 0, sizeof block);
        PutU32(block, bits);
        PutU32(block + 60, bits2);
    } else {
        PutU32(block, bits);
        std::memcpy(block + 4, data + full, left);
        block[4 + left] = 0x80;
        PutU32(block + 60, bits2);
    }
    Md5Block(state, block);
    std::memcpy(out, state, sizeof state);
}

void Append(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// --- shader-model-4 tokens ---

enum Opcode : uint32_t {
    OP_DP4 = 17, OP_MOV = 54, OP_MUL = 56, OP_RET = 62, OP_SAMPLE = 69, OP_LABEL = 44,
    OP_DCL_RESOURCE = 88, OP_DCL_CONSTANT_BUFFER = 89, OP_DCL_SAMPLER = 90, OP_DCL_INPUT = 95,
    OP_DCL_INPUT_PS = 98, OP_DCL_OUTPUT = 101, OP_DCL_OUTPUT_SIV = 103, OP_DCL_TEMPS = 104,
};
enum OperandType : uint32_t { T_TEMP = 0, T_INPUT = 1, T_OUTPUT = 2, T_IMMEDIATE = 4, T_SAMPLER = 6, T_RESOURCE = 7, T_CB = 8 };
constexpr uint32_t kXYZW = 0xE4;  // swizzle x, y, z, w

struct Program {
    std::vector<uint32_t> tokens;

    // One instruction: opcode (with its control bits) then its operand words.
    void Op(uint32_t opcode, std::initializer_list<std::vector<uint32_t>> operands)
    {
        size_t length = 1;
        for (const auto& operand : operands) length += operand.size();
        tokens.push_back(opcode | static_cast<uint32_t>(length) << 24);
        for (const auto& operand : operands) tokens.insert(tokens.end(), operand.begin(), operand.end());
    }
};

// A four-component register with a write mask, one index.
std::vector<uint32_t> Dst(uint32_t type, uint32_t index, uint32_t mask)
{
    return {2u | mask << 4 | type << 12 | 1u << 20, index};
}
// A four-component register read through a swizzle, one index.
std::vector<uint32_t> Src(uint32_t type, uint32_t index, uint32_t swizzle = kXYZW)
{
    return {2u | 1u << 2 | swizzle << 4 | type << 12 | 1u << 20, index};
}
std::vector<uint32_t> Cb(uint32_t slot, uint32_t reg)
{
    return {2u | 1u << 2 | kXYZW << 4 | T_CB << 12 | 2u << 20, slot, reg};
}
std::vector<uint32_t> Sampler(uint32_t index) { return {T_SAMPLER << 12 | 1u << 20, index}; }
std::vector<uint32_t> Scalar(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return {1u | T_IMMEDIATE << 12, bits};
}

std::vector<uint8_t> Bytes(uint32_t programType, const Program& program)
{
    std::vector<uint8_t> out;
    Append(out, programType << 16 | 4u << 4 | 0u);
    Append(out, static_cast<uint32_t>(program.tokens.size() + 2));
    for (uint32_t token : program.tokens) Append(out, token);
    return out;
}

constexpr uint32_t kPixelProgram = 0, kVertexProgram = 1;

const std::vector<SignatureElement> kVertexInputs = {
    {"POSITION", 0, 0, 0, 0x7, 0x7}, {"COLOR", 0, 0, 1, 0xF, 0xF}, {"TEXCOORD", 0, 0, 2, 0x3, 0x3}};
const std::vector<SignatureElement> kVaryings = {
    {"SV_POSITION", 0, 1, 0, 0xF, 0x0}, {"COLOR", 0, 0, 1, 0xF, 0x0}, {"TEXCOORD", 0, 0, 2, 0x3, 0xC}};
const std::vector<SignatureElement> kPixelInputs = {
    {"SV_POSITION", 0, 1, 0, 0xF, 0x0}, {"COLOR", 0, 0, 1, 0xF, 0xF}, {"TEXCOORD", 0, 0, 2, 0x3, 0x3}};
const std::vector<SignatureElement> kPixelOutputs = {{"SV_TARGET", 0, 0, 0, 0xF, 0x0}};

std::vector<uint8_t> PixelContainer(const Program& program)
{
    return Container({{"ISGN", Signature(kPixelInputs)},
                      {"OSGN", Signature(kPixelOutputs)},
                      {"SHDR", Bytes(kPixelProgram, program)}});
}

}  // namespace

std::vector<uint8_t> Container(const std::vector<Chunk>& chunks)
{
    std::vector<uint8_t> out = {'D', 'X', 'B', 'C'};
    out.resize(20);
    Append(out, 1);
    const size_t sizeAt = out.size();
    Append(out, 0);
    Append(out, static_cast<uint32_t>(chunks.size()));
    const size_t tableAt = out.size();
    out.resize(out.size() + 4 * chunks.size());
    for (size_t i = 0; i < chunks.size(); ++i) {
        PutU32(out.data() + tableAt + 4 * i, static_cast<uint32_t>(out.size()));
        out.insert(out.end(), chunks[i].tag, chunks[i].tag + 4);
        Append(out, static_cast<uint32_t>(chunks[i].data.size()));
        out.insert(out.end(), chunks[i].data.begin(), chunks[i].data.end());
    }
    PutU32(out.data() + sizeAt, static_cast<uint32_t>(out.size()));
    uint32_t sum[4];
    Checksum(out.data(), out.size(), sum);
    for (int i = 0; i < 4; ++i) PutU32(out.data() + 4 + 4 * i, sum[i]);
    return out;
}

std::vector<uint8_t> Signature(const std::vector<SignatureElement>& elements)
{
    std::vector<uint8_t> out;
    Append(out, static_cast<uint32_t>(elements.size()));
    Append(out, 8);
    uint32_t names = 8 + 24 * static_cast<uint32_t>(elements.size());
    std::vector<uint8_t> strings;
    for (const SignatureElement& e : elements) {
        Append(out, names + static_cast<uint32_t>(strings.size()));
        strings.insert(strings.end(), e.semantic.begin(), e.semantic.end());
        strings.push_back(0);
        Append(out, e.semanticIndex);
        Append(out, e.systemValue);
        Append(out, 3);  // float components
        Append(out, e.reg);
        out.push_back(e.mask);
        out.push_back(e.rwMask);
        out.push_back(0);
        out.push_back(0);
    }
    out.insert(out.end(), strings.begin(), strings.end());
    while (out.size() % 4) out.push_back(0xAB);
    return out;
}

std::vector<uint8_t> PassThroughVertexProgram()
{
    Program p;
    p.Op(OP_DCL_CONSTANT_BUFFER, {Cb(0, 20)});
    p.Op(OP_DCL_INPUT, {Dst(T_INPUT, 0, 0x7)});
    p.Op(OP_DCL_INPUT, {Dst(T_INPUT, 1, 0xF)});
    p.Op(OP_DCL_INPUT, {Dst(T_INPUT, 2, 0x3)});
    p.Op(OP_DCL_OUTPUT_SIV, {Dst(T_OUTPUT, 0, 0xF), {1}});
    p.Op(OP_DCL_OUTPUT, {Dst(T_OUTPUT, 1, 0xF)});
    p.Op(OP_DCL_OUTPUT, {Dst(T_OUTPUT, 2, 0x3)});
    p.Op(OP_DCL_TEMPS, {{1}});
    p.Op(OP_MOV, {Dst(T_TEMP, 0, 0x7), Src(T_INPUT, 0)});
    p.Op(OP_MOV, {Dst(T_TEMP, 0, 0x8), Scalar(1.0f)});
    for (uint32_t c = 0; c < 4; ++c) p.Op(OP_DP4, {Dst(T_OUTPUT, 0, 1u << c), Src(T_TEMP, 0), Cb(0, 16 + c)});
    p.Op(OP_MOV, {Dst(T_OUTPUT, 1, 0xF), Src(T_INPUT, 1)});
    p.Op(OP_MOV, {Dst(T_OUTPUT, 2, 0x3), Src(T_INPUT, 2, 0x04)});  // .xyxx
    p.Op(OP_RET, {});
    return Container({{"ISGN", Signature(kVertexInputs)},
                      {"OSGN", Signature(kVaryings)},
                      {"SHDR", Bytes(kVertexProgram, p)}});
}

std::vector<uint8_t> TintPixelProgram(bool textured)
{
    Program p;
    p.Op(OP_DCL_CONSTANT_BUFFER, {Cb(0, 1)});
    if (textured) {
        p.Op(OP_DCL_SAMPLER, {Sampler(0)});
        // a 2D texture returning floats in all four components
        p.Op(OP_DCL_RESOURCE | 3u << 11, {{T_RESOURCE << 12 | 1u << 20, 0}, {0x5555}});
    }
    p.Op(OP_DCL_INPUT_PS | 2u << 11, {Dst(T_INPUT, 1, 0xF)});
    if (textured) p.Op(OP_DCL_INPUT_PS | 2u << 11, {Dst(T_INPUT, 2, 0x3)});
    p.Op(OP_DCL_OUTPUT, {Dst(T_OUTPUT, 0, 0xF)});
    if (textured) {
        p.Op(OP_DCL_TEMPS, {{1}});
        p.Op(OP_SAMPLE, {Dst(T_TEMP, 0, 0xF), Src(T_INPUT, 2, 0x04), Src(T_RESOURCE, 0), Sampler(0)});
        p.Op(OP_MUL, {Dst(T_TEMP, 0, 0xF), Src(T_TEMP, 0), Src(T_INPUT, 1)});
        p.Op(OP_MUL, {Dst(T_OUTPUT, 0, 0xF), Src(T_TEMP, 0), Cb(0, 0)});
    } else {
        p.Op(OP_MUL, {Dst(T_OUTPUT, 0, 0xF), Src(T_INPUT, 1), Cb(0, 0)});
    }
    p.Op(OP_RET, {});
    return PixelContainer(p);
}

std::vector<uint8_t> UntranslatablePixelProgram()
{
    Program p;
    p.Op(OP_DCL_OUTPUT, {Dst(T_OUTPUT, 0, 0xF)});
    p.Op(OP_LABEL, {Src(T_INPUT, 0)});
    p.Op(0x7FF, {});
    p.Op(OP_RET, {});
    return PixelContainer(p);
}

}  // namespace dxbc
