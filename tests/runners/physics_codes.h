#pragma once
// Code indices of the physics test runner's game module.
enum PhysicsCode : int {
    PHYSICS_HIT,         // writes its line with the contact's point count
    PHYSICS_END,         // writes the instance's place; ends the game at step 220
    PHYSICS_HALF_SPEED,  // halves the room speed (the world keeps its update speed)
    PHYSICS_CHANGE,      // changes the instance to object 3 (its body goes at once)
    PHYSICS_CODE_COUNT
};
