// Stand-ins: see Graphics_Primitive.h. The primitive being built is kept so
// that the tests can see what a caller drew.
#include "Graphics/Graphics_Primitive.h"

namespace {
struct Primitive {
    int kind;
    int texture;
    int32_t vertexCount;
    float x[1001];
    float y[1001];
};
Primitive s_building;
Primitive s_last;
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

int32_t GR_Draw_StubLastPrimitive(int* kind, int* texture, const float** x, const float** y)
{
    *kind = s_last.kind;
    *texture = s_last.texture;
    *x = s_last.x;
    *y = s_last.y;
    return s_last.vertexCount;
}

void GR_Draw_StubReset()
{
    s_last = Primitive{};
}

void GR_InitCircleTable() {}

uint32_t DrawColour = 0xFF000000u;
