#include "Animation/PathConstraint.h"

#include <algorithm>
#include <cmath>

#include "Animation/ConstraintMath.h"
#include "Animation/VertexAttachment.h"

using namespace constraint_math;

namespace {

constexpr int32_t kNoCurve = -1, kBefore = -2, kAfter = -3;

// Paths too short for a curve, or whose stored lengths do not cover their
// curves, give no positions.
bool PathHasCurves(const PathAttachment* path)
{
    const int32_t length = path->worldVerticesLength;
    if (length % 6 != 0) return false;
    if (path->closed ? length < 6 : length < 12) return false;
    return path->constantSpeed || path->lengths.size() >= static_cast<size_t>(length / 6);
}

// Divisions by a zero-length curve or segment give its start.
float Fraction(float p, float from, float to) { return to != from ? (p - from) / (to - from) : 0; }

void AddBeforePosition(float p, const float* w, float* out)
{
    const float r = std::atan2(w[3] - w[1], w[2] - w[0]);
    out[0] = w[0] + p * std::cos(r);
    out[1] = w[1] + p * std::sin(r);
    out[2] = r;
}

void AddAfterPosition(float p, const float* w, float* out)
{
    const float r = std::atan2(w[3] - w[1], w[2] - w[0]);
    out[0] = w[2] + p * std::cos(r);
    out[1] = w[3] + p * std::sin(r);
    out[2] = r;
}

void AddCurvePosition(float t, const float* c, float* out, bool withRotation)
{
    if (t == 0) t = 0.0001f;
    const float tt = t * t, ttt = tt * t, u = 1 - t, uu = u * u, uuu = uu * u;
    const float ut = u * t, ut3 = ut * 3, uut3 = u * ut3, utt3 = ut3 * t;
    const float x = c[0] * uuu + c[2] * uut3 + c[4] * utt3 + c[6] * ttt;
    const float y = c[1] * uuu + c[3] * uut3 + c[5] * utt3 + c[7] * ttt;
    out[0] = x;
    out[1] = y;
    if (withRotation)
        out[2] = std::atan2(y - (c[1] * uu + c[3] * ut * 2 + c[5] * tt), x - (c[0] * uu + c[2] * ut * 2 + c[4] * tt));
}

// Wraps a closed path's position into 0..length.
float WrapClosed(float p, float pathLength)
{
    if (pathLength == 0) return 0;
    p = std::fmod(p, pathLength);
    return p < 0 ? p + pathLength : p;
}

enum class Placement { Before, After, On };

// Where a position lies: before an open path's start, past its end, or on
// the path (a closed path wraps it and restarts the curve search).
Placement Place(bool closed, float pathLength, float* p, int32_t* curve)
{
    if (closed) {
        *p = WrapClosed(*p, pathLength);
        *curve = 0;
        return Placement::On;
    }
    if (*p < 0) return Placement::Before;
    return *p > pathLength ? Placement::After : Placement::On;
}

// Percentages of the path become lengths along it.
void ScaleByPathLength(float pathLength, bool percentPosition, bool percentSpacing, float* position, float* spaces, int32_t spacesCount)
{
    if (percentPosition) *position *= pathLength;
    if (percentSpacing)
        for (int32_t i = 0; i < spacesCount; ++i) spaces[i] *= pathLength;
}

// The first curve at or after curve whose cumulative length reaches p, and p
// as a fraction of that curve.
int32_t FindCurve(const float* lengths, int32_t curve, int32_t last, float* p)
{
    while (curve < last && *p > lengths[curve]) ++curve;
    *p = curve == 0 ? Fraction(*p, 0, lengths[0]) : Fraction(*p, lengths[curve - 1], lengths[curve]);
    return curve;
}

void ComputeFixedSpeed(PathConstraint* constraint, const PathAttachment* path, int32_t spacesCount, bool tangents, float position,
                       bool percentPosition, bool percentSpacing)
{
    const Slot* target = constraint->target;
    const bool closed = path->closed;
    const int32_t verticesLength = path->worldVerticesLength;
    const int32_t curveCount = verticesLength / 6 - (closed ? 1 : 2);
    float* spaces = constraint->spaces.data();
    float* out = constraint->positions.data();
    const float pathLength = path->lengths[static_cast<size_t>(curveCount)];
    ScaleByPathLength(pathLength, percentPosition, percentSpacing, &position, spaces, spacesCount);
    constraint->world.resize(8);
    float* world = constraint->world.data();
    int32_t prevCurve = kNoCurve;
    for (int32_t i = 0, o = 0, curve = 0; i < spacesCount; ++i, o += 3) {
        const float space = spaces[i];
        position += space;
        float p = position;
        const Placement placement = Place(closed, pathLength, &p, &curve);
        if (placement == Placement::Before) {
            if (prevCurve != kBefore) {
                prevCurve = kBefore;
                PathAttachment_ComputeWorldVertices(path, target, 2, 4, world, 0);
            }
            AddBeforePosition(p, world, out + o);
            continue;
        }
        if (placement == Placement::After) {
            if (prevCurve != kAfter) {
                prevCurve = kAfter;
                PathAttachment_ComputeWorldVertices(path, target, verticesLength - 6, 4, world, 0);
            }
            AddAfterPosition(p - pathLength, world, out + o);
            continue;
        }
        curve = FindCurve(path->lengths.data(), curve, curveCount, &p);
        if (curve != prevCurve) {
            prevCurve = curve;
            if (closed && curve == curveCount) {
                PathAttachment_ComputeWorldVertices(path, target, verticesLength - 4, 4, world, 0);
                PathAttachment_ComputeWorldVertices(path, target, 0, 4, world, 4);
            } else {
                PathAttachment_ComputeWorldVertices(path, target, curve * 6 + 2, 8, world, 0);
            }
        }
        AddCurvePosition(p, world, out + o, tangents || (i > 0 && space == 0));
    }
}

// Length of a curve's ten segments by forward differences, cumulative.
void ComputeSegments(const float* c, float* segments)
{
    const float tmpx = (c[0] - c[2] * 2 + c[4]) * 0.03f, tmpy = (c[1] - c[3] * 2 + c[5]) * 0.03f;
    const float dddfx = ((c[2] - c[4]) * 3 - c[0] + c[6]) * 0.006f, dddfy = ((c[3] - c[5]) * 3 - c[1] + c[7]) * 0.006f;
    float ddfx = tmpx * 2 + dddfx, ddfy = tmpy * 2 + dddfy;
    float dfx = (c[2] - c[0]) * 0.3f + tmpx + dddfx * 0.16666667f, dfy = (c[3] - c[1]) * 0.3f + tmpy + dddfy * 0.16666667f;
    float length = std::sqrt(dfx * dfx + dfy * dfy);
    segments[0] = length;
    for (int k = 1; k < 8; ++k) {
        dfx += ddfx, dfy += ddfy;
        ddfx += dddfx, ddfy += dddfy;
        length += std::sqrt(dfx * dfx + dfy * dfy);
        segments[k] = length;
    }
    dfx += ddfx, dfy += ddfy;
    length += std::sqrt(dfx * dfx + dfy * dfy);
    segments[8] = length;
    dfx += ddfx + dddfx, dfy += ddfy + dddfy;
    length += std::sqrt(dfx * dfx + dfy * dfy);
    segments[9] = length;
}

// A whole curve's length, with a coarser step than its segments.
float CurveLength(const float* c)
{
    const float tmpx = (c[0] - c[2] * 2 + c[4]) * 0.1875f, tmpy = (c[1] - c[3] * 2 + c[5]) * 0.1875f;
    const float dddfx = ((c[2] - c[4]) * 3 - c[0] + c[6]) * 0.09375f, dddfy = ((c[3] - c[5]) * 3 - c[1] + c[7]) * 0.09375f;
    float ddfx = tmpx * 2 + dddfx, ddfy = tmpy * 2 + dddfy;
    float dfx = (c[2] - c[0]) * 0.75f + tmpx + dddfx * 0.16666667f, dfy = (c[3] - c[1]) * 0.75f + tmpy + dddfy * 0.16666667f;
    float length = std::sqrt(dfx * dfx + dfy * dfy);
    dfx += ddfx, dfy += ddfy;
    ddfx += dddfx, ddfy += dddfy;
    length += std::sqrt(dfx * dfx + dfy * dfy);
    dfx += ddfx, dfy += ddfy;
    length += std::sqrt(dfx * dfx + dfy * dfy);
    dfx += ddfx + dddfx, dfy += ddfy + dddfy;
    length += std::sqrt(dfx * dfx + dfy * dfy);
    return length;
}

void ComputeConstantSpeed(PathConstraint* constraint, const PathAttachment* path, int32_t spacesCount, bool tangents, float position,
                          bool percentPosition, bool percentSpacing)
{
    const Slot* target = constraint->target;
    const bool closed = path->closed;
    int32_t verticesLength = path->worldVerticesLength;
    int32_t curveCount = verticesLength / 6;
    std::vector<float>& worldArray = constraint->world;
    if (closed) {
        verticesLength += 2;
        worldArray.resize(static_cast<size_t>(verticesLength));
        PathAttachment_ComputeWorldVertices(path, target, 2, verticesLength - 4, worldArray.data(), 0);
        PathAttachment_ComputeWorldVertices(path, target, 0, 2, worldArray.data(), verticesLength - 4);
        worldArray[static_cast<size_t>(verticesLength - 2)] = worldArray[0];
        worldArray[static_cast<size_t>(verticesLength - 1)] = worldArray[1];
    } else {
        --curveCount;
        verticesLength -= 4;
        worldArray.resize(static_cast<size_t>(verticesLength));
        PathAttachment_ComputeWorldVertices(path, target, 2, verticesLength, worldArray.data(), 0);
    }
    const float* world = worldArray.data();
    constraint->curves.resize(static_cast<size_t>(curveCount));
    float* curves = constraint->curves.data();
    float pathLength = 0;
    for (int32_t i = 0; i < curveCount; ++i) {
        pathLength += CurveLength(world + i * 6);
        curves[i] = pathLength;
    }
    float* spaces = constraint->spaces.data();
    ScaleByPathLength(pathLength, percentPosition, percentSpacing, &position, spaces, spacesCount);

    float* out = constraint->positions.data();
    float* segments = constraint->segments;
    float curveLength = 0;
    int32_t prevCurve = kNoCurve;
    for (int32_t i = 0, o = 0, curve = 0, segment = 0; i < spacesCount; ++i, o += 3) {
        const float space = spaces[i];
        position += space;
        float p = position;
        const Placement placement = Place(closed, pathLength, &p, &curve);
        if (placement == Placement::Before) {
            AddBeforePosition(p, world, out + o);
            continue;
        }
        if (placement == Placement::After) {
            AddAfterPosition(p - pathLength, world + verticesLength - 4, out + o);
            continue;
        }
        curve = FindCurve(curves, curve, curveCount - 1, &p);
        if (curve != prevCurve) {
            prevCurve = curve;
            ComputeSegments(world + curve * 6, segments);
            curveLength = segments[9];
            segment = 0;
        }
        p *= curveLength;
        while (segment < 9 && p > segments[segment]) ++segment;
        p = segment == 0 ? Fraction(p, 0, segments[0]) : static_cast<float>(segment) + Fraction(p, segments[segment - 1], segments[segment]);
        AddCurvePosition(p * 0.1f, world + curve * 6, out + o, tangents || (i > 0 && space == 0));
    }
}

} // namespace

float* PathConstraint_ComputePositions(PathConstraint* constraint, const PathAttachment* path, int32_t spacesCount, bool tangents,
                                       bool percentPosition, bool percentSpacing)
{
    constraint->positions.assign(static_cast<size_t>(spacesCount) * 3 + 2, 0.0f);
    if (!PathHasCurves(path) || constraint->spaces.size() < static_cast<size_t>(spacesCount)) return constraint->positions.data();
    if (path->constantSpeed)
        ComputeConstantSpeed(constraint, path, spacesCount, tangents, constraint->position, percentPosition, percentSpacing);
    else
        ComputeFixedSpeed(constraint, path, spacesCount, tangents, constraint->position, percentPosition, percentSpacing);
    return constraint->positions.data();
}

void PathConstraint_Apply(PathConstraint* constraint)
{
    const float translateMix = constraint->translateMix, rotateMix = constraint->rotateMix;
    const bool translate = translateMix > 0, rotate = rotateMix > 0;
    if (!translate && !rotate) return;
    const Slot* slot = constraint->target;
    if (!slot || !slot->attachment || slot->attachment->kind != ATTACHMENT_PATH) return;
    const auto* path = static_cast<const PathAttachment*>(slot->attachment);
    if (!PathHasCurves(path) || constraint->bones.empty()) return;

    const PathConstraintData* data = constraint->data;
    const bool tangents = data->rotateMode == ROTATE_MODE_TANGENT;
    const bool scale = data->rotateMode == ROTATE_MODE_CHAIN_SCALE;
    const bool lengthSpacing = data->spacingMode == SPACING_MODE_LENGTH;
    const size_t boneCount = constraint->bones.size();
    const size_t spacesCount = tangents ? boneCount : boneCount + 1;
    std::vector<float>& spaces = constraint->spaces;
    spaces.resize(spacesCount);
    spaces[0] = 0;
    const float spacing = constraint->spacing;
    if (scale || lengthSpacing) {
        if (scale) constraint->lengths.resize(boneCount);
        for (size_t i = 0; i + 1 < spacesCount; ++i) {
            const Bone* bone = constraint->bones[i];
            const float x = bone->data->length * bone->a, y = bone->data->length * bone->c;
            const float length = std::sqrt(x * x + y * y);
            if (scale) constraint->lengths[i] = length;
            spaces[i + 1] = lengthSpacing ? std::max(0.0f, length + spacing) : spacing;
        }
    } else {
        std::fill(spaces.begin() + 1, spaces.end(), spacing);
    }

    const float* positions = PathConstraint_ComputePositions(constraint, path, static_cast<int32_t>(spacesCount), tangents,
                                                             data->positionMode == POSITION_MODE_PERCENT,
                                                             data->spacingMode == SPACING_MODE_PERCENT);
    const Skeleton* skeleton = slot->bone->skeleton;
    const float skeletonX = skeleton->x, skeletonY = skeleton->y;
    float boneX = positions[0], boneY = positions[1];
    const float offsetRotation = data->offsetRotation;
    const bool tip = scale && offsetRotation == 0;
    for (size_t i = 0, p = 3; i < boneCount; ++i, p += 3) {
        Bone* bone = constraint->bones[i];
        bone->worldX += (boneX - skeletonX - bone->worldX) * translateMix;
        bone->worldY += (boneY - skeletonY - bone->worldY) * translateMix;
        const float x = positions[p], y = positions[p + 1];
        const float dx = x - boneX, dy = y - boneY;
        if (scale && constraint->lengths[i] != 0) {
            const float s = (std::sqrt(dx * dx + dy * dy) / constraint->lengths[i] - 1) * rotateMix + 1;
            bone->a *= s;
            bone->c *= s;
        }
        boneX = x, boneY = y;
        if (!rotate) continue;
        float r;
        if (tangents)
            r = positions[p - 1];
        else if (spaces[i + 1] == 0)
            r = positions[p + 2];
        else
            r = std::atan2(dy, dx);
        r -= std::atan2(bone->c, bone->a) - offsetRotation * kDegRad;
        if (tip) {
            const float cs = std::cos(r), sn = std::sin(r);
            const float length = bone->data->length;
            boneX += (length * (cs * bone->a - sn * bone->c) - dx) * rotateMix;
            boneY += (length * (sn * bone->a + cs * bone->c) - dy) * rotateMix;
        }
        RotateWorld(bone, WrapRadians(r) * rotateMix);
    }
}
