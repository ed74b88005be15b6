#pragma once
// The per-step event drivers: step, alarm, timeline, outside and boundary,
// asynchronous and joystick events, each raised on the instances of the
// objects that have the event (per-event object lists), and the pass counter
// that keeps instances made during a pass out of that pass.
#include <cstdint>

#include "World/Instance.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"

// Advanced by every pass over instances; a new instance records its value
// and is skipped by passes that began before it was made.
extern uint64_t EventPassCounter;
// The result map of the asynchronous event being run; -1 outside one.
extern int32_t async_load;
// The result map of the in-app purchase event being run; -1 outside one.
extern int32_t IapDataMapId;

// 0 step, 1 begin step, 2 end step.
void HandleStep(int32_t subKind);
void HandleAlarm();
void Timeline_Step();
// Outside-room, intersect-boundary, outside-view and view-boundary events.
void HandleOther();
void PerformAsyncEvent(int32_t subKind);
// The networking event is none of those: it reaches every instance whose
// object has it, unless a room change is pending.
constexpr int32_t kNetworkEventSubKind = 68;
void PerformNetworkEvent();
void Joystick_Step();
// Looks up which of the two legacy joysticks are connected.
void Joystick_UpdateConnected();
// Back to the start state of a process (the joystick bits and cache).
void Joystick_Reset();

// Visits the instances of the objects listed for (kind, sub-kind), null ones
// included; the next instance is taken before the visit, which may destroy or
// create instances.
template <typename Visit>
void Event_WalkListed(int32_t kind, int32_t subKind, Visit visit)
{
    const int32_t count = Object_EventListCount(kind, subKind);
    for (int32_t k = 0; k < count; ++k) {
        CGameObject* object = Object_Get(PerEventObjectLists[kind][subKind].items[k]);
        if (!object) continue;
        for (auto* node = object->directInstances.first; node;) {
            auto* next = node->next;
            visit(node->item);
            node = next;
        }
    }
}
