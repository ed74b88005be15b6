#pragma once
// Step planners that move an instance towards a goal while avoiding
// collisions, and the path forms that record where such stepping goes.
// The linear planner steps straight at the goal and stops when blocked. The
// potential-field planner, when blocked, tries directions alternately right
// and left of the goal direction, never turning more than the maximum
// rotation in one step, looking ahead before it commits, and may turn on the
// spot when nothing works.
//
// Free test target: -3 every instance (with all, every instance blocks;
// without, only solid ones), any other value an object with its
// descendants. Directions are degrees, 0 right and 90 up.
#include <cstdint>

class CGamePath;
class CInstance;

// The direction from point 1 to point 2, 0 <= d < 360.
float MP_PointDirection(float x1, float y1, float x2, float y2);
// True when the instance could stand at (x, y).
bool MP_PlaceFree(CInstance* instance, float x, float y, int32_t target, bool all);
// One step; true when the goal was within one step (even when blocked there).
bool MP_LinearStep(CInstance* instance, float goalX, float goalY, float step, int32_t target, bool all);
// Fills the path (straight, open) with the positions stepping passes; the
// instance ends where it started. True when the goal was reached.
bool MP_LinearPath(CInstance* instance, CGamePath* path, float goalX, float goalY, float step, int32_t target,
                   bool all);

// The settings last for the whole process: each number at least 1.
void MP_PotentialSettings(float maxRotation, float rotationStep, float lookAhead, bool rotateOnSpot);
bool MP_PotentialStep(CInstance* instance, float goalX, float goalY, float step, int32_t target, bool all);
// True when the instance moved one step in that direction.
bool MP_TryDirection(float direction, CInstance* instance, float step, int32_t target, bool all);
// Gives up when the path grows longer than factor times the straight
// distance, or after more than 100 steps in a row that do not lengthen it.
bool MP_PotentialPath(CInstance* instance, CGamePath* path, float goalX, float goalY, float step, float factor,
                      int32_t target, bool all);
