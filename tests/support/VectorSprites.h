#pragma once
// Vector data for the vector sprite tests, in pixels: rectangles with their
// anti-aliasing outline, shapes of one fill, placements.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "gamedata/FormWriter.h"

namespace vectortest {

constexpr float kTwips = 20.0f;

// A rectangle from (left, top) to (right, bottom) pixels as two triangles,
// its four outline edges and an outward offset of one unit per corner.
inline gamedata::VectorMeshData Rect(float left, float top, float right, float bottom)
{
    gamedata::VectorMeshData m;
    m.points = {left * kTwips, top * kTwips, right * kTwips, top * kTwips,
                right * kTwips, bottom * kTwips, left * kTwips, bottom * kTwips};
    m.triangles = {0, 1, 2, 0, 2, 3};
    m.edges = {0, 1, 1, 2, 2, 3, 3, 0};
    m.offsets = {-1, -1, 1, -1, 1, 1, -1, 1};
    return m;
}

inline gamedata::VectorFill Solid(uint32_t colour)
{
    gamedata::VectorFill f;
    f.colour = colour;
    return f;
}

// A shape of one group with one fill and one sub-shape filled by it.
inline gamedata::VectorItemData Shape(const gamedata::VectorFill& fill, const gamedata::VectorMeshData& mesh,
                                      int32_t id = 0)
{
    gamedata::VectorItemData item;
    item.id = id;
    gamedata::VectorGroupData group;
    group.fills = {fill};
    gamedata::VectorSubShapeData sub;
    sub.fillStyle = 0;
    sub.fill = mesh;
    group.subShapes = {sub};
    item.groups = {group};
    return item;
}

// Item `item` at `depth`, moved by (x, y) pixels; a clip depth makes it a mask.
inline gamedata::VectorPlacementData Place(int32_t item, int32_t depth, float x = 0, float y = 0,
                                           int32_t clipDepth = 0)
{
    gamedata::VectorPlacementData p;
    p.item = item;
    p.depth = depth;
    p.clipDepth = clipDepth;
    p.matrix[2] = x * kTwips;
    p.matrix[5] = y * kTwips;
    return p;
}

// One frame of the placements over bounds (left, right, top, bottom) in pixels.
inline gamedata::VectorData OneFrame(std::vector<gamedata::VectorItemData> items,
                                     std::vector<gamedata::VectorPlacementData> placements, float left, float right,
                                     float top, float bottom)
{
    gamedata::VectorData d;
    d.items = std::move(items);
    const float bounds[4] = {left * kTwips, right * kTwips, top * kTwips, bottom * kTwips};
    std::copy(bounds, bounds + 4, d.bounds);
    gamedata::VectorFrameData f;
    std::copy(bounds, bounds + 4, f.bounds);
    f.placements = std::move(placements);
    d.frames = {f};
    return d;
}

}  // namespace vectortest
