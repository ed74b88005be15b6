#pragma once
// Attachments: what a slot shows. Region attachments are textured quads;
// bounding boxes, meshes and paths share the vertex part, whose vertices are
// either plain x, y pairs in the slot bone's space or, when weighted, a list
// of (bone, x, y, weight) influences per vertex.
#include <cstdint>
#include <string>
#include <vector>

// Linked meshes are a reading-time distinction: the record made for one is a
// mesh.
enum AttachmentKind : int32_t {
    ATTACHMENT_REGION = 0,
    ATTACHMENT_BOUNDING_BOX = 1,
    ATTACHMENT_MESH = 2,
    ATTACHMENT_LINKED_MESH = 3,
    ATTACHMENT_PATH = 4,
};

struct Attachment {
    virtual ~Attachment() = default;
    std::string name;
    AttachmentKind kind;

protected:
    Attachment(const std::string& n, AttachmentKind k) : name(n), kind(k) {}
};

struct VertexAttachment : Attachment {
    // Weighted: for each vertex a count n followed by n bone indices; empty
    // when unweighted.
    std::vector<int32_t> bones;
    // Unweighted: x, y pairs. Weighted: one x, y, weight triple per influence.
    std::vector<float> vertices;
    // Floats of world output: twice the number of vertices.
    int32_t worldVerticesLength = 0;

protected:
    using Attachment::Attachment;
};

struct RegionAttachment : Attachment {
    explicit RegionAttachment(const std::string& n) : Attachment(n, ATTACHMENT_REGION) {}
    std::string path;
    float x = 0, y = 0, scaleX = 1, scaleY = 1, rotation = 0;
    float width = 0, height = 0;
    float r = 1, g = 1, b = 1, a = 1;
    const void* rendererObject = nullptr;
    float regionOffsetX = 0, regionOffsetY = 0;
    float regionWidth = 0, regionHeight = 0;
    // The image's size before the packer cropped it.
    float regionOriginalWidth = 0, regionOriginalHeight = 0;
    // Corners (left, bottom), (left, top), (right, top), (right, bottom) in
    // the bone's space, and their texture coordinates.
    float offset[8] = {};
    float uvs[8] = {};
};

struct MeshAttachment : VertexAttachment {
    explicit MeshAttachment(const std::string& n) : VertexAttachment(n, ATTACHMENT_MESH) {}
    const void* rendererObject = nullptr;
    int32_t regionOffsetX = 0, regionOffsetY = 0;
    int32_t regionWidth = 0, regionHeight = 0;
    int32_t regionOriginalWidth = 0, regionOriginalHeight = 0;
    float regionU = 0, regionV = 0, regionU2 = 0, regionV2 = 0;
    bool regionRotate = false;
    std::string path;
    // worldVerticesLength floats in 0..1 of the region, and the page uvs made from them.
    std::vector<float> regionUVs;
    std::vector<float> uvs;
    // Three vertex indices per triangle.
    std::vector<uint16_t> triangles;
    float r = 1, g = 1, b = 1, a = 1;
    int32_t hullLength = 0;
    // The mesh a linked mesh takes its geometry from, or null.
    const MeshAttachment* parentMesh = nullptr;
    bool inheritDeform = false;
    std::vector<int32_t> edges;
    float width = 0, height = 0;
};

struct BoundingBoxAttachment : VertexAttachment {
    explicit BoundingBoxAttachment(const std::string& n) : VertexAttachment(n, ATTACHMENT_BOUNDING_BOX) {}
};

struct PathAttachment : VertexAttachment {
    explicit PathAttachment(const std::string& n) : VertexAttachment(n, ATTACHMENT_PATH) {}
    // Cumulative length at the end of each curve.
    std::vector<float> lengths;
    bool closed = false;
    bool constantSpeed = true;
};

inline bool Attachment_HasVertices(const Attachment* a)
{
    return a && (a->kind == ATTACHMENT_BOUNDING_BOX || a->kind == ATTACHMENT_MESH || a->kind == ATTACHMENT_PATH);
}
