// Collision queries, free-place tests, nearest and furthest instances and
// distances. A query uses the spatial index when the option is on and the
// target is every instance or an object with at least as many instances as
// the index has levels; instance ids and small objects are walked.
#include <cmath>
#include <limits>

#include "World/Collision.h"
#include "World/Instance.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "World/Run_Command.h"
#include "World/Run_CommandTargets.h"
#include "World/WithIterator.h"

namespace {
int32_t Truncate(float v)
{
    if (!(v > -2147483648.0f)) return std::isnan(v) ? 0 : INT32_MIN;
    return v >= 2147483647.0f ? INT32_MAX : static_cast<int32_t>(v);
}

RTreeRect RectOf(float x1, float y1, float x2, float y2)
{
    const int32_t a = Truncate(x1), b = Truncate(x2), c = Truncate(y1), d = Truncate(y2);
    return RTreeRect{std::min(a, b), std::min(c, d), std::max(a, b), std::max(c, d)};
}

// Saves where an instance is and puts it back exactly, box included: a test
// placement leaves neither the instance nor its index entry changed.
struct TrialPlacement {
    CInstance* instance;
    float x, y;
    bool dirty;
    CollisionBox box;

    TrialPlacement(CInstance* i, float px, float py)
        : instance(i), x(i->x), y(i->y), dirty(i->m_bboxDirty),
          box{i->bbox_left, i->bbox_top, i->bbox_right, i->bbox_bottom}
    {
        i->SetPosition(px, py);
        if (i->m_bboxDirty) i->ComputeBoundingBox(false);
    }
    ~TrialPlacement()
    {
        instance->SetPosition(x, y);
        instance->bbox_left = box.left;
        instance->bbox_top = box.top;
        instance->bbox_right = box.right;
        instance->bbox_bottom = box.bottom;
        instance->m_bboxDirty = dirty;
    }
};

// Self placed at (x, y) touches no instance (solid ones only unless againstAll).
bool PlaceClear(CInstance* self, float x, float y, bool solidOnly)
{
    if (!self) return true;
    const bool tree = Collision_IndexOn() && Collision_Tree();
    if (tree) Collision_FlushMoved();
    TrialPlacement trial(self, x, y);
    const auto blocks = [self, solidOnly](CInstance* found) {
        return found->id != self->id && Target_Findable(found) && (!solidOnly || found->solid) &&
               found->CollisionInstance(self, true);
    };
    if (tree) {
        bool blocked = false;
        const CollisionIndexWalk walk;
        Collision_Tree()->Walk([rect = Collision_BoxRect(self)](const RTreeRect& r) { return RTreeRect_Overlap(rect, r); },
                               [&](CInstance* found) {
                                   blocked = blocks(found);
                                   return !blocked;
                               },
                               nullptr);
        return !blocked;
    }
    if (!Run_Room) return true;
    for (CInstance* found = Run_Room->activeInstances.first; found; found = found->m_next) {
        if (blocks(found)) return false;
    }
    return true;
}

double Gap(double low, double high, double v)
{
    if (v < low) return low - v;
    if (v > high) return v - high;
    return 0.0;
}

CInstance* Extreme(float x, float y, int32_t target, bool nearest)
{
    if (target >= INSTANCE_ID_FIRST) return nullptr;
    CInstance* best = nullptr;
    float bestDistance = nearest ? 3.4028235e38f : -1.0f;
    Target_Walk(target, [&](CInstance* instance) {
        const float dx = instance->x - x, dy = instance->y - y;
        const float distance = dx * dx + dy * dy;
        if (nearest ? distance < bestDistance : distance > bestDistance) {
            bestDistance = distance;
            best = instance;
        }
        return false;
    });
    return best;
}
}  // namespace

CInstance* Collision_FindAtPoint(CInstance* self, float x, float y, int32_t target, bool precise, bool notMe)
{
    if (notMe && self && target == self->id) return nullptr;
    return Target_Walk(target, [&](CInstance* i) { return !(notMe && i == self) && i->CollisionPoint(x, y, precise); });
}

CInstance* Collision_FindInRectangle(CInstance* self, float x1, float y1, float x2, float y2, int32_t target, bool precise,
                                     bool notMe)
{
    const auto hit = [&](CInstance* i) { return !(notMe && i == self) && i->CollisionRectangle(x1, y1, x2, y2, precise); };
    if (Target_UseIndex(target)) {
        Collision_FlushMoved();
        const RTreeRect rect = RectOf(x1, y1, x2, y2);
        return Target_Search([&rect](const RTreeRect& r) { return RTreeRect_Overlap(rect, r); }, target, hit);
    }
    if (notMe && self && target == self->id) return nullptr;
    return Target_Walk(target, hit);
}

CInstance* Collision_FindInEllipse(CInstance* self, float x1, float y1, float x2, float y2, int32_t target, bool precise,
                                   bool notMe)
{
    if (notMe && self && target == self->id) return nullptr;
    return Target_Walk(target, [&](CInstance* i) { return !(notMe && i == self) && i->CollisionEllipse(x1, y1, x2, y2, precise); });
}

CInstance* Collision_FindOnLine(CInstance* self, float x1, float y1, float x2, float y2, int32_t target, bool precise,
                                bool notMe)
{
    const auto hit = [&](CInstance* i) { return !(notMe && i == self) && i->CollisionLine(x1, y1, x2, y2, precise); };
    if (Target_UseIndex(target)) {
        Collision_FlushMoved();
        double ax = x1, ay = y1, bx = x2, by = y2;
        if (ax > bx) {
            std::swap(ax, bx);
            std::swap(ay, by);
        }
        // The branch covers [minX, maxX + 1) x [minY, maxY + 1); the line's y
        // values clipped to that x range must not both pass above or below
        // it. The clip is at maxX + 1, as in the instance's own line test, so
        // no branch is passed over that holds an instance the line touches.
        const auto crosses = [=](const RTreeRect& r) {
            const double left = r.minX, right = static_cast<double>(r.maxX) + 1;
            if (bx < left || ax >= right) return false;
            double ya = ay, yb = by;
            if (bx != ax) {
                const double slope = (by - ay) / (bx - ax);
                if (ax < left) ya = ay + (left - ax) * slope;
                if (bx > right) yb = ay + (right - ax) * slope;
            }
            const double bottom = static_cast<double>(r.maxY) + 1;
            return !(ya < r.minY && yb < r.minY) && !(ya >= bottom && yb >= bottom);
        };
        return Target_Search(crosses, target, hit);
    }
    if (notMe && self && target == self->id) return nullptr;
    return Target_Walk(target, hit);
}

CInstance* Instance_Place(CInstance* self, float x, float y, int32_t target)
{
    if (!self) return nullptr;
    const bool tree = Target_UseIndex(target);
    if (tree) Collision_FlushMoved();
    TrialPlacement trial(self, x, y);
    const auto hit = [self](CInstance* i) { return i != self && i->CollisionInstance(self, true); };
    if (tree) {
        const RTreeRect rect = Collision_BoxRect(self);
        return Target_Search([&rect](const RTreeRect& r) { return RTreeRect_Overlap(rect, r); }, target, hit);
    }
    return Target_Walk(target, hit);
}

CInstance* Instance_Position(float x, float y, int32_t target)
{
    return Target_Walk(target, [x, y](CInstance* i) { return i->CollisionPoint(x, y, true); });
}

bool Instance_PositionMeeting(float x, float y, int32_t target)
{
    if (target >= 0 && target < INSTANCE_ID_FIRST && !Object_IsValid(target)) return false;
    if (Target_UseIndex(target)) {
        Collision_FlushMoved();
        const int32_t px = Truncate(x), py = Truncate(y);
        const RTreeRect rect{px, py, px, py};
        const float fx = static_cast<float>(px), fy = static_cast<float>(py);
        return Target_Search([&rect](const RTreeRect& r) { return RTreeRect_Overlap(rect, r); }, target,
                             [fx, fy](CInstance* i) { return i->CollisionPoint(fx, fy, true); }) != nullptr;
    }
    return Instance_Position(x, y, target) != nullptr;
}

CInstance* Instance_Nearest(float x, float y, int32_t target) { return Extreme(x, y, target, true); }
CInstance* Instance_Furthest(float x, float y, int32_t target) { return Extreme(x, y, target, false); }

bool Place_Empty(CInstance* self, float x, float y) { return PlaceClear(self, x, y, false); }
bool Place_Free(CInstance* self, float x, float y) { return PlaceClear(self, x, y, true); }

bool Place_Snapped(CInstance* self, double hsnap, double vsnap)
{
    if (!self) return true;
    const auto off = [](double v, double snap) { return snap > 0 && std::fabs(v - std::round(v / snap) * snap) >= 0.001; };
    return !off(self->x, hsnap) && !off(self->y, vsnap);
}

double Distance_ToPoint(CInstance* self, double x, double y)
{
    if (!self) return 0.0;
    if (self->m_bboxDirty) self->ComputeBoundingBox(true);
    const double dx = Gap(self->bbox_left, self->bbox_right, x);
    const double dy = Gap(self->bbox_top, self->bbox_bottom, y);
    return std::sqrt(dx * dx + dy * dy);
}

double Distance_ToObject(CInstance* self, int32_t target)
{
    double best = 1000000.0;
    if (!self) return best;
    if (self->m_bboxDirty) self->ComputeBoundingBox(true);
    bool any = false;
    Target_Walk(target, [&](CInstance* other) {
        if (other == self) return false;
        if (other->m_bboxDirty) other->ComputeBoundingBox(true);
        const auto axis = [](double lowA, double highA, double lowB, double highB) {
            if (lowB > highA) return lowB - highA;
            if (lowA > highB) return lowA - highB;
            return 0.0;
        };
        const double dx = axis(self->bbox_left, self->bbox_right, other->bbox_left, other->bbox_right);
        const double dy = axis(self->bbox_top, self->bbox_bottom, other->bbox_top, other->bbox_bottom);
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (!any || distance < best) best = distance;
        any = true;
        return false;
    });
    return best;
}
