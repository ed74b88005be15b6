#pragma once
// Code indices of the world test runner's game module.
enum WorldCode : int {
    WORLD_EV,              // writes its line
    WORLD_SET_ALARM3,      // alarm[0] = 3
    WORLD_START_TIMELINE,  // runs timeline 0 at speed 1
    WORLD_GOTO_NEXT,       // in room 0: go to room 1 (once)
    WORLD_END_AT_STEP4,    // ends the game once 4 steps are done
    WORLD_RESTART_ONCE,    // restarts the game the first time, ends it the second
    WORLD_FATAL,           // a fatal runtime error
    WORLD_MOVE3,           // hspeed = 3
    WORLD_ROOM_CODE,       // a room's creation code
    WORLD_PERSIST,         // persistent = true
    WORLD_GOTO_BACK,       // in room 1: back to room 0
    WORLD_FATAL_BUSY,      // http_get of $QS_TEST_URL, sound 0 looping, then a fatal runtime error
    WORLD_CODE_COUNT
};
