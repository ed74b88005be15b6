// STAND-IN: the primitive builder comes with the drawing subsystem.
#include "Graphics/Graphics_Primitive.h"

namespace {
PrimitiveStubRecord s_building;
PrimitiveStubRecord s_last;
constexpr int32_t kVertexLimit = 1001;
}  // namespace

void GR_Draw_PrimitiveBegin(int kind, int texture)
{
    s_building.kind = kind;
    s_building.texture = texture;
    s_building.vertexCount = 0;
}

void GR_Draw_Vertex(float x, float y)
{
    if (s_building.vertexCount >= kVertexLimit) return;
    s_building.x[s_building.vertexCount] = x;
    s_building.y[s_building.vertexCount] = y;
    ++s_building.vertexCount;
}

void GR_Draw_PrimitiveEnd()
{
    s_last = s_building;
}

const PrimitiveStubRecord& GR_Draw_StubLastPrimitive()
{
    return s_last;
}

void GR_Draw_StubReset()
{
    s_last = PrimitiveStubRecord{};
}

void GR_InitCircleTable() {}

uint32_t DrawColour = 0xFF000000u;
