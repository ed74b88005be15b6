#pragma once
// Code indices of the motion test runner's game module.
enum MotionCode : int {
    MOTION_CONTROL_CREATE,  // lays the grid over the walls and plans the walker's path
    MOTION_CONTROL_STEP,    // ends the game once the walker and the potential stepper are done
    MOTION_WALKER_CREATE,   // starts the planned path
    MOTION_WALKER_STEP,     // reports wall contact and the path's end
    MOTION_LINEAR_STEP,     // one linear step towards its goal
    MOTION_POTENTIAL_STEP,  // one potential-field step towards its goal
    MOTION_CODE_COUNT
};
