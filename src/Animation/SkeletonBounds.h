#pragma once
// The world polygons of every bounding box a skeleton shows, with their
// extent, for hit tests. Only as current as the last update.
#include <cstdint>
#include <vector>

struct BoundingBoxAttachment;
struct Skeleton;

struct Polygon {
    // x, y pairs; vertices.size() is the capacity, count the floats in use.
    std::vector<float> vertices;
    int32_t count = 0;
};

struct SkeletonBounds {
    int32_t count = 0;
    std::vector<const BoundingBoxAttachment*> boundingBoxes;
    std::vector<Polygon> polygons;
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
};

SkeletonBounds* SkeletonBounds_Create();
void SkeletonBounds_Destroy(SkeletonBounds* bounds);
// Collects the polygons in slot order; with updateExtent the extent covers
// them (±2147483648 when there are none).
void SkeletonBounds_Update(SkeletonBounds* bounds, const Skeleton* skeleton, bool updateExtent);
// The first polygon's box that holds the point by the even-odd rule, or null.
const BoundingBoxAttachment* SkeletonBounds_ContainsPoint(const SkeletonBounds* bounds, float x, float y);
// The first polygon's box with an edge crossing the segment, or null.
const BoundingBoxAttachment* SkeletonBounds_IntersectsSegment(const SkeletonBounds* bounds, float x1, float y1, float x2, float y2);
