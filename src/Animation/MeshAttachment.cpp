#include "Animation/MeshAttachment.h"

void MeshAttachment_UpdateUVs(MeshAttachment* mesh)
{
    const float u = mesh->regionU, v = mesh->regionV;
    const float w = mesh->regionU2 - u, h = mesh->regionV2 - v;
    const std::vector<float>& region = mesh->regionUVs;
    mesh->uvs.assign(region.size(), 0.0f);
    for (size_t i = 0; i + 1 < region.size(); i += 2) {
        if (mesh->regionRotate) {
            mesh->uvs[i] = u + region[i + 1] * w;
            mesh->uvs[i + 1] = v + h - region[i] * h;
        } else {
            mesh->uvs[i] = u + region[i] * w;
            mesh->uvs[i + 1] = v + region[i + 1] * h;
        }
    }
}

// Setup data does not change once read, so a copy of the parent's geometry
// is as good as a share of it.
void MeshAttachment_SetParentMesh(MeshAttachment* mesh, const MeshAttachment* parent)
{
    mesh->parentMesh = parent;
    if (!parent) return;
    mesh->bones = parent->bones;
    mesh->vertices = parent->vertices;
    mesh->worldVerticesLength = parent->worldVerticesLength;
    mesh->regionUVs = parent->regionUVs;
    mesh->triangles = parent->triangles;
    mesh->hullLength = parent->hullLength;
    mesh->edges = parent->edges;
    mesh->width = parent->width;
    mesh->height = parent->height;
}
