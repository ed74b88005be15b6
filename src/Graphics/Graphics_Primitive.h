#pragma once
// STAND-IN for the primitive builder of the drawing subsystem, which is not
// built yet. It keeps the vertices of the primitive being built (up to the
// builder's limit) so that what a caller draws can be checked.
#include <cstdint>

// kind 1..6 (3 is a line strip); texture -1 for none.
void GR_Draw_PrimitiveBegin(int kind, int texture);
// Vertices beyond the builder's limit of 1001 are ignored.
void GR_Draw_Vertex(float x, float y);
void GR_Draw_PrimitiveEnd();

// Test hook: the primitive last ended (kind 0 and no vertices before any).
struct PrimitiveStubRecord {
    int kind;
    int texture;
    int32_t vertexCount;
    float x[1001];
    float y[1001];
};
const PrimitiveStubRecord& GR_Draw_StubLastPrimitive();
void GR_Draw_StubReset();

// The circle table of the primitive drawer (start-up).
void GR_InitCircleTable();
// The draw colour (draw_set_colour), as a vertex colour with alpha.
extern uint32_t DrawColour;
