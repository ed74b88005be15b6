#pragma once
// One game step: the fixed order of the event passes between two frames,
// with the deferred list changes applied after every pass and an early stop
// as soon as a room change is pending.
#include <cstdint>

class CInstance;

// Clock reading at the start of the previous step.
extern int64_t StepClock;

void DoAStep();
// Advances the image index and raises animation end when it wraps.
void Instance_AnimateImage(CInstance* instance);
// The asynchronous requests of a frame: queued results and finished requests.
void AsyncRequests_Process();
