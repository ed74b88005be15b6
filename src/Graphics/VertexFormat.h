#pragma once
// User vertex formats: the look-up the batcher makes, and their release at
// shutdown. Until they exist (VertexFormat_Stub.cpp) no format is known
// unless a test hands one over.
#include <cstdint>

struct HGPU_InputLayout;

// Usage bits of a format's elements.
constexpr uint32_t VERTEX_USAGE_POSITION = 2;
constexpr uint32_t VERTEX_USAGE_COLOUR = 4;
constexpr uint32_t VERTEX_USAGE_NORMAL = 8;
constexpr uint32_t VERTEX_USAGE_TEXCOORD = 16;

struct VertexFormat {
    int32_t size;          // bytes of one vertex
    uint32_t usageMask;
    // Input layouts made against the built-in vertex programs (16, 24, 36, 36 lit).
    HGPU_InputLayout* layouts[4];
};

// The format of a user format id, null when there is none.
VertexFormat* VertexFormat_Get(int id);

void VertexFormat_Shutdown();
void VertexFormat_FreeList();
