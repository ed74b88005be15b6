// Point and rectangle containment: whether a point lies in a rectangle,
// triangle or circle, and how a rectangle lies against another rectangle, a
// triangle or a circle (0 apart, 1 inside, 2 overlapping). Single precision
// throughout; every result is a real.
#include <algorithm>
#include <cmath>

#include "Code/Code_Arguments.h"
#include "Function/Function_Game.h"

namespace {
// Barycentric membership; the edge from the second to the third vertex is
// not part of the triangle, and a degenerate triangle holds nothing.
bool InTriangle(float px, float py, float x1, float y1, float x2, float y2, float x3, float y3)
{
    const float ax = x2 - x1, ay = y2 - y1;
    const float bx = x3 - x1, by = y3 - y1;
    const float qx = px - x1, qy = py - y1;
    const float aa = ax * ax + ay * ay, ab = ax * bx + ay * by, bb = bx * bx + by * by;
    const float pa = qx * ax + qy * ay, pb = qx * bx + qy * by;
    const float denominator = aa * bb - ab * ab;
    if (denominator == 0.0f) return false;
    const float d = 1.0f / denominator;
    const float u = (aa * pb - pa * ab) * d;
    const float v = (pa * bb - pb * ab) * d;
    return u >= 0.0f && v >= 0.0f && u + v < 1.0f;
}

float SquaredDistance(float x1, float y1, float x2, float y2)
{
    const float dx = x1 - x2, dy = y1 - y2;
    return dx * dx + dy * dy;
}

// 1 when all of the rectangle's four corners pass, 2 when some do, 0 when none.
template <typename Contains>
double Corners(float x1, float y1, float x2, float y2, Contains contains)
{
    const int inside = contains(x1, y1) + contains(x2, y1) + contains(x1, y2) + contains(x2, y2);
    return inside == 4 ? 1.0 : inside > 0 ? 2.0 : 0.0;
}
}  // namespace

void F_PointInRectangle(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float px = Arg_Float(a, 0), py = Arg_Float(a, 1);
    const float x1 = Arg_Float(a, 2), y1 = Arg_Float(a, 3), x2 = Arg_Float(a, 4), y2 = Arg_Float(a, 5);
    ScriptValue_SetReal(r, x1 <= px && px <= x2 && y1 <= py && py <= y2 ? 1.0 : 0.0);
}

void F_PointInTriangle(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    float v[8];
    for (int i = 0; i < 8; ++i) v[i] = Arg_Float(a, i);
    ScriptValue_SetReal(r, InTriangle(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]) ? 1.0 : 0.0);
}

void F_PointInCircle(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float px = Arg_Float(a, 0), py = Arg_Float(a, 1);
    const float cx = Arg_Float(a, 2), cy = Arg_Float(a, 3), radius = Arg_Float(a, 4);
    ScriptValue_SetReal(r, std::sqrt(SquaredDistance(px, py, cx, cy)) <= radius ? 1.0 : 0.0);
}

void F_RectangleInRectangle(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    float v[8];
    for (int i = 0; i < 8; ++i) v[i] = Arg_Float(a, i);
    const float sl = std::min(v[0], v[2]), sr = std::max(v[0], v[2]), st = std::min(v[1], v[3]), sb = std::max(v[1], v[3]);
    const float dl = std::min(v[4], v[6]), dr = std::max(v[4], v[6]), dt = std::min(v[5], v[7]), db = std::max(v[5], v[7]);
    double result = 2.0;
    if (sl >= dl && sr <= dr && st >= dt && sb <= db) result = 1.0;
    else if (sl > dr || sr < dl || st > db || sb < dt) result = 0.0;
    ScriptValue_SetReal(r, result);
}

void F_RectangleInTriangle(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    float v[10];
    for (int i = 0; i < 10; ++i) v[i] = Arg_Float(a, i);
    ScriptValue_SetReal(r, Corners(v[0], v[1], v[2], v[3], [&v](float x, float y) {
                            return InTriangle(x, y, v[4], v[5], v[6], v[7], v[8], v[9]) ? 1 : 0;
                        }));
}

void F_RectangleInCircle(ScriptValue* r, CInstance*, CInstance*, int, ScriptValue* a)
{
    const float x1 = Arg_Float(a, 0), y1 = Arg_Float(a, 1), x2 = Arg_Float(a, 2), y2 = Arg_Float(a, 3);
    const float cx = Arg_Float(a, 4), cy = Arg_Float(a, 5), radius = Arg_Float(a, 6);
    const float limit = radius * radius;
    // The rectangle's point nearest the centre (the corners as given, not reordered).
    const float nx = std::min(x2, std::max(x1, cx)), ny = std::min(y2, std::max(y1, cy));
    if (SquaredDistance(nx, ny, cx, cy) > limit) {
        ScriptValue_SetReal(r, 0.0);
        return;
    }
    const auto within = [&](float x, float y) { return SquaredDistance(x, y, cx, cy) <= limit; };
    ScriptValue_SetReal(r, within(x1, y1) && within(x2, y1) && within(x1, y2) && within(x2, y2) ? 1.0 : 2.0);
}
