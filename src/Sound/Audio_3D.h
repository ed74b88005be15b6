#pragma once
// Positioned sound: the distance model every positioned voice falls off by,
// voices played at a fixed point with their own falloff, and voices played on
// an emitter, which follow it.
#include <cstdint>

// 0 none, 1 inverse distance (the model at start), 2 inverse clamped, 3
// linear, 4 linear clamped, 5 exponent, 6 exponent clamped; any other model
// is logged and the current one kept.
void Audio_SetFalloffModel(int32_t model);
// A voice id; -1 when no voice can be had or the engine is off; 0 when the
// sound does not exist or its group is not loaded.
int32_t Audio_PlayAt(int32_t soundId, float x, float y, float z, float reference, float maximum, float factor,
                     int32_t loop, double priority);
// As above on an emitter; -1 also for an emitter that is missing or inactive.
int32_t Audio_PlayOn(int32_t emitterId, int32_t soundId, int32_t loop, double priority);
