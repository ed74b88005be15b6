#pragma once
// The per-step event drivers: step, alarm, timeline, outside and boundary,
// asynchronous and joystick events, each raised on the instances of the
// objects that have the event (per-event object lists), and the pass counter
// that keeps instances made during a pass out of that pass.
#include <cstdint>

// Advanced by every pass over instances; a new instance records its value
// and is skipped by passes that began before it was made.
extern uint64_t EventPassCounter;
// The result map of the asynchronous event being run; -1 outside one.
extern int32_t async_load;

// 0 step, 1 begin step, 2 end step.
void HandleStep(int32_t subKind);
void HandleAlarm();
void Timeline_Step();
// Outside-room, intersect-boundary, outside-view and view-boundary events.
void HandleOther();
void PerformAsyncEvent(int32_t subKind);
void Joystick_Step();
// Looks up which of the two legacy joysticks are connected.
void Joystick_UpdateConnected();
// Back to the start state of a process (the joystick bits and cache).
void Joystick_Reset();
