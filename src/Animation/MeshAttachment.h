#pragma once
// A mesh's texture coordinates and its link to the mesh it copies.
#include "Animation/Attachment.h"

// Page uvs from the region uvs and the region's place on its page; a region
// stored turned on its page is turned back upright.
void MeshAttachment_UpdateUVs(MeshAttachment* mesh);
// A linked mesh takes its parent's geometry (bones, vertices, region uvs,
// triangles, hull, edges, size); null only clears the link.
void MeshAttachment_SetParentMesh(MeshAttachment* mesh, const MeshAttachment* parent);
