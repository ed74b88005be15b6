#pragma once
// The primitive builder of the drawing built-ins (begin, vertices, end), its
// circle table and the draw colour. Until it exists
// (Graphics_Primitive_Stub.cpp) a finished primitive is kept, not drawn.
#include <cstdint>

// kind 1..6 (3 is a line strip); texture -1 for none.
void GR_Draw_PrimitiveBegin(int kind, int texture);
// Vertices beyond the builder's limit of 1001 are ignored.
void GR_Draw_Vertex(float x, float y);
void GR_Draw_PrimitiveEnd();

// The circle table of the primitive drawer (start-up).
void GR_InitCircleTable();
// The draw colour (draw_set_colour), as a vertex colour with alpha.
extern uint32_t DrawColour;
