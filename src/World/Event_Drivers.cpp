#include "World/Event_Drivers.h"

#include <algorithm>
#include <cmath>

#include "Code/Code_Profiler.h"
#include "Host/Host_Joystick.h"
#include "World/Camera.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"
#include "World/Room_Class.h"
#include "Sprite/Sprite_Main.h"
#include "World/TimeLine_Main.h"
#include "GameData/GameHeader.h"
#include "Options/Runner_Options.h"
#include "World/Collision.h"
#include "World/Event_Input.h"

uint64_t EventPassCounter = 0;
int32_t async_load = -1;
int32_t IapDataMapId = -1;

namespace {
constexpr uint32_t kJoystickCheck = 0x10000;
uint32_t g_JoystickBits = kJoystickCheck;
bool g_AnyJoystickEvent = false;
bool g_AnyJoystickEventKnown = false;

bool Visitable(const CInstance* instance, uint64_t pass)
{
    return !instance->m_marked && !instance->m_deactivated && instance->m_creationStep <= pass;
}

// Visits the instances of every object in list (kind, sub) that existed when the pass began.
template <typename Visit>
void WalkObjectList(int32_t kind, int32_t subKind, uint64_t pass, Visit visit)
{
    Event_WalkListed(kind, subKind, [&](CInstance* instance) {
        if (instance && Visitable(instance, pass)) visit(instance);
    });
}

bool HasShape(const CInstance* instance)
{
    return Sprite_Exists(instance->sprite_index) || Sprite_Exists(instance->mask_index);
}

void FreshBox(CInstance* instance)
{
    if (instance->m_bboxDirty) instance->ComputeBoundingBox();
}

struct ViewRegion {
    int32_t minX, minY, maxX, maxY;
    float cx[4], cy[4];  // corners
    float ex[4], ey[4];  // edges: corner k+1 minus corner k
    float turned;
};

bool OuterSide(const ViewRegion& r, int k, float px, float py)
{
    return r.ex[k] * (py - r.cy[k]) - r.ey[k] * (px - r.cx[k]) >= 0;
}

// A view of any size (a saved game or a script may set one far beyond the
// room) gives bounds held within the s32 range.
int32_t BoundOf(float v)
{
    if (std::isnan(v)) return 0;
    return static_cast<int32_t>(std::clamp(static_cast<double>(v), -2147483648.0, 2147483647.0));
}

void FinishCorners(ViewRegion& r)
{
    float minX = r.cx[0], maxX = r.cx[0], minY = r.cy[0], maxY = r.cy[0];
    for (int k = 1; k < 4; ++k) {
        minX = std::fmin(minX, r.cx[k]);
        maxX = std::fmax(maxX, r.cx[k]);
        minY = std::fmin(minY, r.cy[k]);
        maxY = std::fmax(maxY, r.cy[k]);
    }
    r.minX = BoundOf(minX);
    r.maxX = BoundOf(maxX);
    r.minY = BoundOf(minY);
    r.maxY = BoundOf(maxY);
    for (int k = 0; k < 4; ++k) {
        r.ex[k] = r.cx[(k + 1) % 4] - r.cx[k];
        r.ey[k] = r.cy[(k + 1) % 4] - r.cy[k];
    }
}

ViewRegion MakeRegion(const RoomView& view)
{
    ViewRegion r{};
    const float w = view.viewWidth, h = view.viewHeight;
    if (LayerMode) {
        Camera* camera = CameraList::GetCamera(view.camera);
        if (!camera) return r;
        // A camera moved this step still holds the matrices of its old place.
        if (camera->IsViewChanged()) camera->Update();
        const Matrix inverse = camera->GetInvViewProjMat();
        const float* m = &inverse.m[0][0];
        static const float kPoints[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
        for (int k = 0; k < 4; ++k) {
            r.cx[k] = kPoints[k][0] * m[0] + kPoints[k][1] * m[4] + m[12];
            r.cy[k] = kPoints[k][0] * m[1] + kPoints[k][1] * m[5] + m[13];
        }
        FinishCorners(r);
        r.turned = -1;
    } else if (view.angle > 0.0001f) {
        const float a = view.angle * -0.017453292f;
        const float c = std::cos(a), s = std::sin(a);
        const float centreX = view.viewX + w / 2, centreY = view.viewY + h / 2;
        const float dx[4] = {-w / 2, w / 2, w / 2, -w / 2}, dy[4] = {h / 2, h / 2, -h / 2, -h / 2};
        for (int k = 0; k < 4; ++k) {
            r.cx[k] = centreX + dx[k] * c - dy[k] * s;
            r.cy[k] = centreY + dx[k] * s + dy[k] * c;
        }
        FinishCorners(r);
        r.turned = view.angle;
    } else {
        r.minX = static_cast<int32_t>(std::lround(view.viewX));
        r.minY = static_cast<int32_t>(std::lround(view.viewY));
        r.maxX = static_cast<int32_t>(std::lround(view.viewX + w));
        r.maxY = static_cast<int32_t>(std::lround(view.viewY + h));
        r.turned = 0;
    }
    return r;
}

bool BoxTouches(const CInstance* i, const ViewRegion& r)
{
    return !(i->bbox_right < r.minX || i->bbox_left > r.maxX || i->bbox_bottom < r.minY || i->bbox_top > r.maxY);
}

// Whether all four corners of the box lie on the outer side of one same edge.
bool BoxBeyondOneEdge(const CInstance* i, const ViewRegion& r)
{
    const float px[4] = {float(i->bbox_left), float(i->bbox_right), float(i->bbox_right), float(i->bbox_left)};
    const float py[4] = {float(i->bbox_top), float(i->bbox_top), float(i->bbox_bottom), float(i->bbox_bottom)};
    for (int k = 0; k < 4; ++k) {
        int outside = 0;
        for (int c = 0; c < 4; ++c) outside += OuterSide(r, k, px[c], py[c]) ? 1 : 0;
        if (outside == 4) return true;
    }
    return false;
}

// Whether any corner of the box lies strictly on the outer side of any edge.
bool BoxCrossesAnEdge(const CInstance* i, const ViewRegion& r)
{
    const float px[4] = {float(i->bbox_left), float(i->bbox_right), float(i->bbox_right), float(i->bbox_left)};
    const float py[4] = {float(i->bbox_top), float(i->bbox_top), float(i->bbox_bottom), float(i->bbox_bottom)};
    for (int k = 0; k < 4; ++k) {
        for (int c = 0; c < 4; ++c) {
            if (r.ex[k] * (py[c] - r.cy[k]) - r.ey[k] * (px[c] - r.cx[k]) > 0) return true;
        }
    }
    return false;
}

bool ViewEnabled(const CGameRoom* room, int v)
{
    return room->enableViews && room->views[v].visible;
}

void OutsideRoom(CGameRoom* room)
{
    const float W = static_cast<float>(room->width), H = static_cast<float>(room->height);
    const uint64_t pass = EventPassCounter++;
    WalkObjectList(EVENT_OTHER, 0, pass, [&](CInstance* i) {
        bool inside;
        if (HasShape(i)) {
            FreshBox(i);
            inside = i->bbox_right >= 0 && i->bbox_left <= W && i->bbox_bottom >= 0 && i->bbox_top <= H;
        } else {
            inside = i->x >= 0 && i->x <= W && i->y >= 0 && i->y <= H;
        }
        if (inside) {
            i->m_outsideRoom = false;
        } else {
            if (!i->m_outsideRoom) PerformEventForInstance(i, i, EVENT_OTHER, 0);
            i->m_outsideRoom = true;
        }
    });
}

void IntersectBoundary(CGameRoom* room)
{
    const float W = static_cast<float>(room->width), H = static_cast<float>(room->height);
    const uint64_t pass = EventPassCounter++;
    WalkObjectList(EVENT_OTHER, 1, pass, [&](CInstance* i) {
        bool crossing;
        if (HasShape(i)) {
            FreshBox(i);
            crossing = !(i->bbox_left >= 0 && i->bbox_right <= W && i->bbox_top >= 0 && i->bbox_bottom <= H);
        } else {
            crossing = i->x < 0 || i->x > W || i->y < 0 || i->y > H;
        }
        if (crossing) PerformEventForInstance(i, i, EVENT_OTHER, 1);
    });
}

void OutsideViews(CGameRoom* room, const ViewRegion* regions)
{
    const uint64_t pass = EventPassCounter++;
    for (int v = 0; v < ROOM_VIEWS; ++v) {
        if (!ViewEnabled(room, v)) continue;
        const ViewRegion& r = regions[v];
        WalkObjectList(EVENT_OTHER, 40 + v, pass, [&](CInstance* i) {
            bool run;
            if (HasShape(i)) {
                FreshBox(i);
                run = !BoxTouches(i, r) || (r.turned != 0 && BoxBeyondOneEdge(i, r));
            } else {
                const bool inBox = i->x >= r.minX && i->x <= r.maxX && i->y >= r.minY && i->y <= r.maxY;
                run = !inBox;
                for (int k = 0; inBox && r.turned != 0 && k < 4 && !run; ++k) run = OuterSide(r, k, i->x, i->y);
            }
            if (run) PerformEventForInstance(i, i, EVENT_OTHER, 40 + v);
        });
    }
}

void ViewBoundaries(CGameRoom* room, const ViewRegion* regions)
{
    const uint64_t pass = EventPassCounter++;
    for (int v = 0; v < ROOM_VIEWS; ++v) {
        if (!ViewEnabled(room, v)) continue;
        const ViewRegion& r = regions[v];
        WalkObjectList(EVENT_OTHER, 50 + v, pass, [&](CInstance* i) {
            if (!HasShape(i)) return;
            FreshBox(i);
            if (!BoxTouches(i, r)) return;
            bool run;
            if (r.turned == 0) {
                run = !(i->bbox_right < r.maxX && i->bbox_left > r.minX && i->bbox_bottom < r.maxY &&
                        i->bbox_top > r.minY);
            } else {
                run = !BoxBeyondOneEdge(i, r) && BoxCrossesAnEdge(i, r);
            }
            if (run) PerformEventForInstance(i, i, EVENT_OTHER, 50 + v);
        });
    }
}

int32_t CountJoystickObjects()
{
    int32_t total = 0;
    for (int s = 16; s <= 19; ++s) total += Object_EventListCount(EVENT_MOUSE, s);
    for (int s = 21; s <= 28; ++s) total += Object_EventListCount(EVENT_MOUSE, s);
    for (int s = 31; s <= 34; ++s) total += Object_EventListCount(EVENT_MOUSE, s);
    for (int s = 36; s <= 43; ++s) total += Object_EventListCount(EVENT_MOUSE, s);
    return total;
}

void RaiseJoystickEvents(int id, int32_t firstAxisEvent, int32_t firstButtonEvent)
{
    HostJoystickInfo info;
    if (!HJoy_GetPosEx(id, &info)) return;
    if (info.x < 20000) IO_PerformJoystickEvent(firstAxisEvent);
    if (info.x > 44000) IO_PerformJoystickEvent(firstAxisEvent + 1);
    if (info.y < 20000) IO_PerformJoystickEvent(firstAxisEvent + 2);
    if (info.y > 44000) IO_PerformJoystickEvent(firstAxisEvent + 3);
    for (int b = 0; b < 8; ++b) {
        if (info.buttons & (1u << b)) IO_PerformJoystickEvent(firstButtonEvent + b);
    }
}
}  // namespace

void HandleStep(int32_t subKind)
{
    const ProfilerSection section(SECTION_HANDLE_STEP);
    const uint64_t pass = EventPassCounter++;
    WalkObjectList(EVENT_STEP, subKind, pass,
                   [&](CInstance* instance) { PerformEventForInstance(instance, instance, EVENT_STEP, subKind); });
}

void HandleAlarm()
{
    const ProfilerSection section(SECTION_HANDLE_ALARM);
    const uint64_t pass = EventPassCounter++;
    for (int32_t a = 0; a < 12; ++a) {
        WalkObjectList(EVENT_ALARM, a, pass, [&](CInstance* instance) {
            if (instance->alarm[a] < 0) return;
            instance->alarm[a] -= 1;
            if (instance->alarm[a] == 0) PerformEventForInstance(instance, instance, EVENT_ALARM, a);
        });
    }
}

void Timeline_Step()
{
    if (!Run_Room) return;
    const uint64_t pass = EventPassCounter++;
    for (CInstance* instance = Run_Room->activeInstances.first; instance;) {
        CInstance* next = instance->m_next;
        if (!Visitable(instance, pass) || !instance->timeline_running) {
            instance = next;
            continue;
        }
        const int32_t t = instance->timeline_index;
        CTimeLine* timeline = t >= 0 ? TimeLine_Get(t) : nullptr;
        if (!timeline || timeline->GetMomentCount() == 0) {
            instance = next;
            continue;
        }
        const float p = instance->timeline_position, s = instance->timeline_speed, q = instance->m_timelinePrevious;
        if (s > 0) {
            const int32_t end = timeline->FirstMomentFrom(static_cast<double>(p + s));
            for (int32_t k = timeline->FirstMomentFrom(p); k < end; ++k) PerformTimelineMoment(instance, instance, t, k);
        } else if (s == 0) {
            const int32_t end = timeline->FirstMomentFrom(p);
            for (int32_t k = timeline->FirstMomentFrom(q); k < end; ++k) PerformTimelineMoment(instance, instance, t, k);
        } else {
            const int32_t end = timeline->FirstMomentFrom(static_cast<double>(p + s));
            for (int32_t k = timeline->LastMomentUpTo(p); k > end; --k) PerformTimelineMoment(instance, instance, t, k);
        }
        // The moments may have deleted the timeline or changed the instance's.
        if (instance->timeline_position == p) instance->timeline_position = p + s;
        instance->m_timelinePrevious = p;
        // The wrap follows the timeline that ran, even when a moment switched
        // the instance to another; a moment that deleted it leaves none to wrap at.
        if (instance->timeline_loop && TimeLine_Get(t) == timeline && timeline->GetMomentCount() > 0) {
            const float last = static_cast<float>(timeline->GetMomentTime(timeline->GetMomentCount() - 1));
            if (s >= 0 && instance->timeline_position > last) instance->timeline_position = 0;
            if (s < 0 && instance->timeline_position < 0) instance->timeline_position = last;
        }
        instance = next;
    }
}

void HandleOther()
{
    const ProfilerSection section(SECTION_HANDLE_OTHER);
    CGameRoom* room = Run_Room;
    if (!room) return;
    OutsideRoom(room);
    IntersectBoundary(room);
    ViewRegion regions[ROOM_VIEWS];
    for (int v = 0; v < ROOM_VIEWS; ++v) regions[v] = ViewEnabled(room, v) ? MakeRegion(room->views[v]) : ViewRegion{};
    OutsideViews(room, regions);
    ViewBoundaries(room, regions);
}

void PerformAsyncEvent(int32_t subKind)
{
    switch (subKind) {
    case 60: case 61: case 62: case 63: case 64: case 67: case 69:
    case 70: case 71: case 72: case 73: case 74: case 75:
        break;
    default:
        return;
    }
    const uint64_t pass = EventPassCounter++;
    WalkObjectList(EVENT_OTHER, subKind, pass, [&](CInstance* instance) {
        PerformEvent(instance, instance, instance->object_index, EVENT_OTHER, subKind);
    });
}

void PerformNetworkEvent()
{
    const uint64_t pass = EventPassCounter++;
    WalkObjectList(EVENT_OTHER, kNetworkEventSubKind, pass, [](CInstance* instance) {
        PerformEventForInstance(instance, instance, EVENT_OTHER, kNetworkEventSubKind);
    });
}

void Joystick_UpdateConnected()
{
    g_JoystickBits = (g_JoystickBits & ~3u) | (HJoy_GetPos(0) ? 1u : 0u) | (HJoy_GetPos(1) ? 2u : 0u);
}

void Joystick_Step()
{
    if (NoDirectInput) return;
    if (!g_AnyJoystickEventKnown) {
        g_AnyJoystickEvent = CountJoystickObjects() > 0;
        g_AnyJoystickEventKnown = true;
    }
    if (!g_AnyJoystickEvent) return;
    if (g_JoystickBits & kJoystickCheck) {
        g_JoystickBits &= ~kJoystickCheck;
        Joystick_UpdateConnected();
    }
    if (g_JoystickBits & 1u) RaiseJoystickEvents(0, 16, 21);
    if (g_JoystickBits & 2u) RaiseJoystickEvents(1, 31, 36);
}

void Joystick_Reset()
{
    g_JoystickBits = kJoystickCheck;
    g_AnyJoystickEvent = g_AnyJoystickEventKnown = false;
}
