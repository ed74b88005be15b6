#pragma once
// What the checked and the fast vertex writers share: the values each writer
// stores, and the submit and freeze bodies.
#include <cstdint>
#include <cstring>

#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"

namespace vertex_writers {

// The colour word of vertex_colour: alpha × 255 truncated, 255 from 256
// up, 0 below 0.
inline uint32_t ColourWord(uint32_t colour, float alpha)
{
    const float scaled = alpha * 255.0f;
    uint32_t byte = 0;
    if (scaled >= 256.0f)
        byte = 255;
    else if (scaled > 0.0f)
        byte = static_cast<uint32_t>(scaled);
    return (colour & 0xFFFFFFu) | byte << 24;
}

// n floats from arguments first.., stored at place.
inline void StoreFloats(uint8_t* place, ScriptValue* args, int first, int n)
{
    for (int i = 0; i < n; ++i) {
        const float f = Arg_Float(args, first + i);
        std::memcpy(place + 4 * i, &f, 4);
    }
}

inline void StoreWord(uint8_t* place, uint32_t word) { std::memcpy(place, &word, 4); }

// The low byte of each of four arguments from 1.
inline void StoreUByte4(uint8_t* place, ScriptValue* args)
{
    for (int i = 0; i < 4; ++i) place[i] = static_cast<uint8_t>(Arg_UInt32(args, 1 + i));
}

// The texture argument of vertex_submit: a handle outside the int range names no texture.
inline int TextureArgument(ScriptValue* args, int n)
{
    const intptr_t handle = Arg_NumberOrPointer(args, n);
    return handle < -1 || handle > INT32_MAX ? -2 : static_cast<int>(handle);
}

}  // namespace vertex_writers

// The built-ins whose routines the release-mode switch swaps.
struct VertexWriterRoutine {
    const char* name;
    BuiltinRoutine routine;
};
constexpr int kVertexWriterCount = 14;
// The fast set, installed by SetVertexBuilderMode(false).
extern const VertexWriterRoutine FastVertexRoutines[kVertexWriterCount];
