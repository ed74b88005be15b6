#pragma once
// Code indices of the collision test runner's game module.
enum CollisionCode : int {
    COLLISION_MOVE_RIGHT,  // hspeed = 4
    COLLISION_HIT,         // writes its line
    COLLISION_END_STEP,    // writes its line
    COLLISION_GOTO_NEXT,   // at step 9: the next room
    COLLISION_ROOM_START,  // writes its line and ends the game
    COLLISION_CODE_COUNT
};
