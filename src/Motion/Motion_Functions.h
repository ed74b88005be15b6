#pragma once
// The motion-planning built-ins (part of the "Game.." group): mp_linear_*,
// mp_potential_* and mp_grid_*. Step and path forms give 1 or 0; the plain
// forms test against every instance (checkall) or only solid ones, the
// _object forms against the instances of one object. A path argument that
// names no path is reported and leaves the result unset.

void InitMotionPlanningFunctions();
