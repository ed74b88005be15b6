#include "World/Gesture_Main.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "Base/Timing.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Native.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "IO/IO_Main.h"
#include "World/Event_Drivers.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Instance_Lookup.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"

GestureSettings Gesture_Settings;
float Gesture_DpiX = 96.0f, Gesture_DpiY = 96.0f;
int32_t Gesture_EventData = -1;

namespace {
enum GestureKind { KIND_UNKNOWN = 0, KIND_TAP = 1, KIND_DOUBLE_TAP = 2, KIND_DRAG = 3 };
enum GestureState { STATE_NEW = -2, STATE_ACTIVE = 0, STATE_DRAGGING = 1, STATE_FINISHED = -1 };

struct GestureEvent {
    int32_t subKind;
    int32_t map;
    int32_t x, y;
    std::vector<int32_t> targets;
};

class CGesture;
std::vector<std::unique_ptr<CGesture>> g_Active;
std::vector<GestureEvent> g_Events;
int32_t g_Created = 0;

bool TouchHeld(int touch) { return IO_CheckButton(1, touch) != 0; }

float Inches(float dx, float dy)
{
    const float x = dx / Gesture_DpiX, y = dy / Gesture_DpiY;
    return std::sqrt(x * x + y * y);
}

void AddUnique(std::vector<int32_t>* list, int32_t id)
{
    if (std::find(list->begin(), list->end(), id) == list->end()) list->push_back(id);
}

// Without the precise shapes, an instance is under a point inside its bounding box.
bool UnderPoint(CInstance* instance, float x, float y)
{
    if (instance->m_bboxDirty) instance->ComputeBoundingBox();
    return x >= instance->bbox_left && x <= instance->bbox_right && y >= instance->bbox_top &&
           y <= instance->bbox_bottom;
}

// Instances of the objects listed for (13, subKind) under the point, skipping
// those marked, deactivated or made during this collection.
void CollectUnder(int32_t subKind, int32_t x, int32_t y, std::vector<int32_t>* targets)
{
    const uint64_t pass = EventPassCounter++;
    int32_t roomX = x, roomY = y;
    GR_Window_WindowToRoom(x, y, &roomX, &roomY);
    const int32_t count = Object_EventListCount(EVENT_GESTURE, subKind);
    for (int32_t k = 0; k < count; ++k) {
        CGameObject* object = Object_Get(PerEventObjectLists[EVENT_GESTURE][subKind].items[k]);
        if (!object) continue;
        for (auto* node = object->directInstances.first; node; node = node->next) {
            CInstance* instance = node->item;
            if (!instance || instance->m_marked || instance->m_deactivated || instance->m_creationStep > pass) continue;
            if (UnderPoint(instance, static_cast<float>(roomX), static_cast<float>(roomY)))
                AddUnique(targets, instance->id);
        }
    }
}

class CGesture {
public:
    explicit CGesture(int32_t kind_) : id(g_Created++), kind(kind_) {}
    virtual ~CGesture() = default;
    virtual void Update(int64_t now) = 0;
    bool IsTouch(int index) const { return touch == index; }

    // Follows the touch while it is held.
    void UpdateMotion(int64_t)
    {
        if (!TouchHeld(touch)) return;
        previousX = x;
        previousY = y;
        x = IO_Input.deviceX[touch];
        y = IO_Input.deviceY[touch];
        dx = x - previousX;
        dy = y - previousY;
        if (view == -1) view = GR_Window_ViewAtPoint(x, y);
    }

    // The event's data map at point (ex, ey) with previous point (px, py):
    // room, raw and GUI positions and differences; the room ones through the
    // gesture's view once it has one, else through the views drawn last
    // frame, the GUI ones as the window's.
    int32_t FillEvent(int32_t ex, int32_t ey, int32_t px, int32_t py) const
    {
        const int32_t map = DsMap_Create();
        if (map < 0) return map;
        int32_t rx = ex, ry = ey, rpx = px, rpy = py;
        if (view >= 0) {
            GR_Window_PortToRoom(view, ex, ey, &rx, &ry);
            GR_Window_PortToRoom(view, px, py, &rpx, &rpy);
        } else {
            GR_Window_WindowToRoom(ex, ey, &rx, &ry);
            GR_Window_WindowToRoom(px, py, &rpx, &rpy);
        }
        const double raw[][2] = {{ex * 1.0, ey * 1.0}, {(ex - px) * 1.0, (ey - py) * 1.0}};
        const double room[][2] = {{rx * 1.0, ry * 1.0}, {(rx - rpx) * 1.0, (ry - rpy) * 1.0}};
        DsMap_AddRealValue(map, "gesture", id);
        DsMap_AddRealValue(map, "touch", touch);
        for (int k = 0; k < 2; ++k) {
            const char* const names[3] = {k ? "diff" : "pos", k ? "rawdiff" : "rawpos", k ? "guidiff" : "guipos"};
            const double* values[3] = {room[k], raw[k], raw[k]};
            for (int n = 0; n < 3; ++n) {
                DsMap_AddRealValue(map, (std::string(names[n]) + "X").c_str(), values[n][0]);
                DsMap_AddRealValue(map, (std::string(names[n]) + "Y").c_str(), values[n][1]);
            }
        }
        return map;
    }

    // An event at (ex, ey) with previous point (px, py); the targets are the
    // instances under the point unless the gesture keeps its own list.
    GestureEvent& AddEvent(int32_t subKind, int32_t ex, int32_t ey, int32_t px, int32_t py, bool keepTargets)
    {
        if (!keepTargets) {
            targets.clear();
            CollectUnder(subKind, ex, ey, &targets);
        }
        g_Events.push_back(GestureEvent{subKind, FillEvent(ex, ey, px, py), ex, ey, targets});
        return g_Events.back();
    }

    bool Moved() const { return Inches(static_cast<float>(dx), static_cast<float>(dy)) > Gesture_Settings.dragDistance; }

    int32_t id;
    int32_t kind;
    std::vector<int32_t> targets;
    int32_t state = STATE_NEW;
    int64_t startTime = -1, lastUpdate = 0;
    int32_t touch = -1;
    int32_t view = -1;  // the drawn view the touch moved in, once known
    int32_t x = 0, y = 0, previousX = 0, previousY = 0, dx = 0, dy = 0, startX = 0, startY = 0;
};

template <typename T>
T* Start(int32_t touch, int64_t now, int32_t x, int32_t y, int32_t startX, int32_t startY)
{
    auto gesture = std::make_unique<T>();
    gesture->state = STATE_ACTIVE;
    gesture->startTime = gesture->lastUpdate = now;
    gesture->touch = touch;
    gesture->x = gesture->previousX = x;
    gesture->y = gesture->previousY = y;
    gesture->startX = startX;
    gesture->startY = startY;
    T* raw = gesture.get();
    g_Active.push_back(std::move(gesture));
    return raw;
}

class CGestureDrag : public CGesture {
public:
    CGestureDrag() : CGesture(KIND_DRAG) {}
    void Update(int64_t now) override
    {
        UpdateMotion(now);
        if (state == STATE_ACTIVE) {
            // Whoever can take part in the drag is chosen at its start.
            targets.clear();
            for (int32_t sub : {GESTURE_DRAG_START, GESTURE_DRAGGING, GESTURE_DRAG_END, GESTURE_FLICK})
                CollectUnder(sub, startX, startY, &targets);
            AddEvent(GESTURE_DRAG_START, startX, startY, startX, startY, true);
            state = STATE_DRAGGING;
            return;
        }
        if (TouchHeld(touch)) {
            if (x != previousX || y != previousY) AddEvent(GESTURE_DRAGGING, x, y, previousX, previousY, true);
            return;
        }
        const float t = static_cast<float>(now - lastUpdate) / 1000000.0f;
        const int32_t vx = t != 0 ? static_cast<int32_t>(static_cast<float>(x - previousX) / t) : 0;
        const int32_t vy = t != 0 ? static_cast<int32_t>(static_cast<float>(y - previousY) / t) : 0;
        const bool flick = Inches(static_cast<float>(vx), static_cast<float>(vy)) > Gesture_Settings.flickSpeed;
        GestureEvent& end = AddEvent(GESTURE_DRAG_END, x, y, previousX, previousY, true);
        if (end.map >= 0) DsMap_AddRealValue(end.map, "isflick", flick ? 1 : 0);
        if (flick) {
            CollectUnder(GESTURE_FLICK, x, y, &targets);
            AddEvent(GESTURE_FLICK, x, y, previousX, previousY, true);
        }
        state = STATE_FINISHED;
    }
};

class CGestureTap : public CGesture {
public:
    CGestureTap() : CGesture(KIND_TAP) {}
    explicit CGestureTap(int32_t kind_) : CGesture(kind_) {}
    void Update(int64_t now) override;
};

class CGestureDoubleTap : public CGestureTap {
public:
    CGestureDoubleTap() : CGestureTap(KIND_DOUBLE_TAP) {}
    void Update(int64_t now) override
    {
        UpdateMotion(now);
        if (TouchHeld(touch)) {
            if (now - startTime <= Gesture_Settings.dragTime && !Moved()) return;
            Start<CGestureDrag>(touch, now, startX, startY, startX, startY);
            AddEvent(GESTURE_TAP, startX, startY, previousX, previousY, false);
        } else {
            AddEvent(GESTURE_DOUBLE_TAP, x, y, previousX, previousY, false);
        }
        state = STATE_FINISHED;
    }
};

void CGestureTap::Update(int64_t now)
{
    UpdateMotion(now);
    if (now - startTime > Gesture_Settings.doubleTapTime) {
        AddEvent(GESTURE_TAP, x, y, previousX, previousY, false);
        state = STATE_FINISHED;
        return;
    }
    if (!TouchHeld(touch)) return;
    const float apart = Inches(static_cast<float>(x - startX), static_cast<float>(y - startY));
    if (apart < Gesture_Settings.doubleTapDistance) Start<CGestureDoubleTap>(touch, now, x, y, x, y);
    else AddEvent(GESTURE_TAP, x, y, previousX, previousY, false);
    state = STATE_FINISHED;
}

class CGestureUnknown : public CGesture {
public:
    CGestureUnknown() : CGesture(KIND_UNKNOWN) {}
    void Update(int64_t now) override
    {
        UpdateMotion(now);
        if (TouchHeld(touch)) {
            if (now - startTime <= Gesture_Settings.dragTime && !Moved()) return;
            Start<CGestureDrag>(touch, now, startX, startY, startX, startY);
        } else {
            Start<CGestureTap>(touch, now, x, y, startX, startY);
        }
        state = STATE_FINISHED;
    }
};

void DestroyEvents()
{
    DsMutexLock lock;
    for (GestureEvent& event : g_Events)
        if (event.map >= 0) DsMap_Destroy(event.map);
    g_Events.clear();
}

bool Eligible(CInstance* instance, uint64_t pass)
{
    return instance && !instance->m_marked && !instance->m_deactivated && instance->m_creationStep <= pass;
}

void Fire(const GestureEvent& event)
{
    const uint64_t pass = EventPassCounter++;
    Gesture_EventData = event.map;
    for (int32_t id : event.targets) {
        CInstance* instance = Instance_Find(id);
        if (!Eligible(instance, pass)) continue;
        CGameObject* object = Object_Get(instance->object_index);
        if (object && object->HasEvent(EVENT_GESTURE, event.subKind))
            PerformEventForInstance(instance, instance, EVENT_GESTURE, event.subKind);
    }
    const int32_t global = GESTURE_GLOBAL + event.subKind;
    const int32_t count = Object_EventListCount(EVENT_GESTURE, global);
    for (int32_t k = 0; k < count; ++k) {
        CGameObject* object = Object_Get(PerEventObjectLists[EVENT_GESTURE][global].items[k]);
        if (!object) continue;
        for (auto* node = object->directInstances.first; node;) {
            auto* next = node->next;
            if (Eligible(node->item, pass)) PerformEventForInstance(node->item, node->item, EVENT_GESTURE, global);
            node = next;
        }
    }
    Gesture_EventData = -1;
}
}  // namespace

void Gesture_Update() { Gesture_UpdateAt(static_cast<int64_t>(Timing_Microseconds())); }

void Gesture_UpdateAt(int64_t now)
{
    if (!LayerMode) return;
    DestroyEvents();
    // Gestures started during the walk are updated in it too.
    for (size_t i = 0; i < g_Active.size(); ++i) {
        CGesture* gesture = g_Active[i].get();
        gesture->Update(now);
        gesture->lastUpdate = now;
    }
    for (size_t i = 0; i < g_Events.size(); ++i) Fire(g_Events[i]);
    std::erase_if(g_Active, [](const std::unique_ptr<CGesture>& g) { return g->state == STATE_FINISHED; });
    for (int touch = 0; touch < IO_DEVICE_COUNT; ++touch) {
        if (!TouchHeld(touch)) continue;
        const bool followed = std::any_of(g_Active.begin(), g_Active.end(),
                                          [touch](const std::unique_ptr<CGesture>& g) { return g->IsTouch(touch); });
        if (!followed) {
            const int32_t x = IO_Input.deviceX[touch], y = IO_Input.deviceY[touch];
            Start<CGestureUnknown>(touch, now, x, y, x, y);
        }
    }
}

void Gesture_Reset()
{
    DestroyEvents();
    g_Active.clear();
    g_Created = 0;
    Gesture_EventData = -1;
    Gesture_Settings = GestureSettings{};
}
