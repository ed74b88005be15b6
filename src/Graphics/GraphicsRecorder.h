#pragma once
// A recorded batch: what the legacy 3D primitive builder handed on while a
// model replayed its commands, kept as triangle, line and point lists of
// 36-byte vertices and drawn from device buffers, uploaded once and drawn
// again each time the model is drawn with the same texture.
#include <cstdint>
#include <vector>

#include "Graphics/Graphics_D3DPrim.h"
#include "Graphics/VertexBuilderM.h"

struct D3DTexture;

struct RecordedList {
    std::vector<D3DVertex> vertices;
    FrozenVertexBuffer hardware{};  // hardware.buffer is null until uploaded
};

struct RecordedBatch {
    RecordedBatch() = default;
    ~RecordedBatch() { ReleaseBuffers(); }
    RecordedBatch(const RecordedBatch&) = delete;
    RecordedBatch& operator=(const RecordedBatch&) = delete;

    // The draw colour (bit 0 clear) that the vertices which took it carry.
    uint32_t colourMarker = 0;
    // False when no vertex took the draw colour: nothing to recolour then.
    bool takesDrawColour = false;
    int textureKey = -1;             // the texture argument of the recording draw
    D3DTexture* texture = nullptr;   // drawn with; null for none; never dereferenced here
    RecordedList triangles, lines, points;

    // One run of the builder: strips and fans become triangle lists, line
    // strips line lists, any kind outside 2..6 points.
    void AddPrimitive(int kind, const D3DVertex* vertices, int n);
    // Vertices that carry the marker take colour (bit 0 cleared); the device
    // copies are made again at the next draw.
    void Recolour(uint32_t colour);
    // Draws the lists translated by (x, y, z) before the world matrix, with
    // texture repeat on; a list whose device buffer cannot be made is left
    // out of this draw and tried again at the next.
    void Draw(float x, float y, float z);
    void ReleaseBuffers();
};

// The builder's recording target for a batch.
D3DPrimRecorder RecordedBatch_Recorder(RecordedBatch* batch);
