#include "Graphics/GraphicsRecorder.h"

#include "Base/Matrix.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/RenderStateCache.h"

namespace {

void Append(RecordedList& list, const D3DVertex* vertices, int n)
{
    list.vertices.insert(list.vertices.end(), vertices, vertices + n);
}

void AddTriangle(RecordedList& list, const D3DVertex& a, const D3DVertex& b, const D3DVertex& c)
{
    list.vertices.push_back(a);
    list.vertices.push_back(b);
    list.vertices.push_back(c);
}

void DrawList(RecordedList& list, int kind, D3DTexture* texture)
{
    const int count = static_cast<int>(list.vertices.size());
    if (count == 0) return;
    if (!list.hardware.buffer) {
        GR_D3D_CreateVertexBuffer(&list.hardware, 36, count, 0);
        if (!list.hardware.buffer) return;
        GR_D3D_UploadVertexBuffer(&list.hardware, list.vertices.data(), count);
    }
    GR_D3D_DrawVertexBuffer(kind, count, 0, 36, texture, &list.hardware);
}

}  // namespace

void RecordedBatch::AddPrimitive(int kind, const D3DVertex* v, int n)
{
    if (!v || n <= 0) return;
    switch (kind) {
    case PR_LINELIST: Append(lines, v, n); break;
    case PR_LINESTRIP:
        for (int i = 0; i + 1 < n; ++i) {
            lines.vertices.push_back(v[i]);
            lines.vertices.push_back(v[i + 1]);
        }
        break;
    case PR_TRIANGLELIST: Append(triangles, v, n); break;
    case PR_TRIANGLESTRIP:
        // Every other triangle is turned round so that all keep the winding of the first.
        for (int i = 0; i + 2 < n; ++i) {
            if (i % 2 == 0) AddTriangle(triangles, v[i], v[i + 1], v[i + 2]);
            else AddTriangle(triangles, v[i + 2], v[i + 1], v[i]);
        }
        break;
    case PR_TRIANGLEFAN:
        for (int i = 1; i + 1 < n; ++i) AddTriangle(triangles, v[0], v[i], v[i + 1]);
        break;
    default: Append(points, v, n); break;
    }
}

void RecordedBatch::Recolour(uint32_t colour)
{
    if (colourMarker & 1u) return;
    const uint32_t replacement = colour & ~1u;
    for (RecordedList* list : {&triangles, &lines, &points})
        for (D3DVertex& vertex : list->vertices)
            if (vertex.colour == colourMarker) vertex.colour = replacement;
    ReleaseBuffers();
    colourMarker = replacement;
}

void RecordedBatch::Draw(float x, float y, float z)
{
    Matrix world, translation, moved;
    GR_D3D_GetMatrix(MATRIX_WORLD, &world.m[0][0]);
    Matrix_Identity(&translation);
    translation.m[3][0] = x;
    translation.m[3][1] = y;
    translation.m[3][2] = z;
    Matrix_Multiply(&moved, &translation, &world);
    GR_D3D_SetMatrix(MATRIX_WORLD, &moved.m[0][0]);
    GR_InvalidateCullRect();
    const bool repeat = GR_GetTextureRepeat();
    GR_SetTextureRepeat(true);
    DrawList(triangles, PR_TRIANGLELIST, texture);
    DrawList(lines, PR_LINELIST, texture);
    DrawList(points, PR_POINTLIST, texture);
    GR_SetTextureRepeat(repeat);
    GR_D3D_SetMatrix(MATRIX_WORLD, &world.m[0][0]);
    GR_InvalidateCullRect();
}

void RecordedBatch::ReleaseBuffers()
{
    for (RecordedList* list : {&triangles, &lines, &points}) GR_D3D_ReleaseVertexBuffer(&list->hardware);
}

D3DPrimRecorder RecordedBatch_Recorder(RecordedBatch* batch)
{
    return {batch, [](void* target, int kind, const D3DVertex* vertices, int n) {
                static_cast<RecordedBatch*>(target)->AddPrimitive(kind, vertices, n);
            }};
}
