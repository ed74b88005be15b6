#pragma once
// The vector data of a vector sprite: shapes triangulated ahead of time and
// bitmaps (the items), and a timeline of frames that place items with a
// depth, a 2 x 3 matrix and a colour transform; some placements are clipping
// masks for the placements above them. Coordinates are in twentieths of a
// pixel. Every index held here was checked against its array when loaded.
#include <cstdint>

#include "Base/Matrix.h"

// draw_enable_swf_aa and draw_set_swf_aa_level (0..1).
extern bool VectorAntiAliasEnabled;
extern float VectorAntiAliasLevel;

constexpr int32_t VECTOR_ITEM_SHAPE = 1;
constexpr int32_t VECTOR_ITEM_BITMAP = 2;
constexpr int32_t VECTOR_FILL_SOLID = 1;
constexpr int32_t VECTOR_FILL_GRADIENT = 2;
constexpr int32_t VECTOR_FILL_BITMAP = 3;
constexpr int32_t VECTOR_GRADIENT_LINEAR = 0;
constexpr int32_t VECTOR_GRADIENT_RADIAL = 1;

struct VectorGradientStop {
    int32_t ratio;    // 0..255 along the gradient
    uint32_t colour;  // red in the low byte, alpha in the top
};

struct VectorFillStyle {
    int32_t type;       // VECTOR_FILL_*; any other type is an empty style
    uint32_t colour;    // solid
    int32_t kind;       // gradient: linear or radial; bitmap: 0 and 2 repeat, others clamp
    int32_t bitmapItem; // bitmap: the first earlier item of the fill's bitmap id, -1 when none
    float matrix[6];    // a, c, tx, b, d ty: (x, y) -> (a x + c y + tx, b x + d y + ty)
    int32_t stopCount;
    VectorGradientStop* stops;
    int32_t texture;    // gradient: its game texture, -1 when none
};

// Triangles over points, and for anti-aliasing the outline edges with one
// outward offset per point.
struct VectorMesh {
    int32_t pointCount;
    float* points;  // x, y
    int32_t triangleCount;
    uint16_t* triangles;  // 3 point indices each
    int32_t edgeCount;
    uint16_t* edges;  // 2 point indices each
    int32_t offsetCount;  // 0, or pointCount
    float* offsets;       // x, y
};

struct VectorSubShape {
    int32_t fillStyle;  // into the group's fill styles, -1 none
    int32_t lineStyle;  // into the group's line colours, -1 none
    VectorMesh fill;
    VectorMesh line;
};

struct VectorStyleGroup {
    int32_t fillStyleCount;
    VectorFillStyle* fillStyles;
    int32_t lineStyleCount;
    uint32_t* lineColours;
    int32_t subShapeCount;
    VectorSubShape* subShapes;
};

struct VectorItem {
    int32_t type;  // VECTOR_ITEM_*; any other type is an empty placeholder
    int32_t id;
    int32_t groupCount;  // shape
    VectorStyleGroup* groups;
    int32_t bitmapKind;  // bitmap
    int32_t width, height;  // bitmap: as decoded
    int32_t texture;        // bitmap: its game texture, -1 when it did not decode
};

struct VectorPlacement {
    bool visible;
    int32_t item;       // into the items
    int32_t depth;
    int32_t clipDepth;  // 0, or the deepest depth this mask clips
    int32_t multiply[4];  // red, green, blue, alpha; 8.8 fixed point
    int32_t add[4];
    float bounds[4];    // left, right, top, bottom
    Matrix matrix;      // the 2 x 3 placement matrix in a row-vector 4 x 4
};

struct VectorFrame {
    int32_t placementCount;
    VectorPlacement* placements;
    float bounds[4];
};

struct VectorTimeline {
    int32_t frameCount;
    VectorFrame* frames;
    float left, right, top, bottom;  // pixels
};

// A bound in pixels as an integer, toward zero; saturates, NaN gives 0.
int32_t TruncateBound(float v);
