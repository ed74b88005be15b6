#pragma once
// A small game module written to the compiled-code contract, and the game data
// that goes with it: two object events and two scripts, calling built-ins by
// the indexes the runner resolves and reading built-in variables by their ids.
#include <cstdint>
#include <string>
#include <vector>

#include "Code/Code_Link.h"

namespace samplemodule {

// Code indexes of the module's table.
enum : int32_t {
    CODE_GAME_CREATE = 0,   // line 1: test_record(1); line 2: test_fail("bad thing")
    CODE_PLAYER_STEP = 1,   // line 3: test_record(2); line 4: returns early when EarlyReturn; line 5:
                            // test_record(3); with an instance, line 6: x += 3; line 7: tilesize = 16
    CODE_SCR_ADD = 2,       // result = argument0 + argument1
    CODE_SCR_TWICE = 3,     // result = scr_add(argument0, argument0), called through its callable id
    CODE_COUNT = 4,
};

// Variable references, in order: "tilesize" (slot 0), "map" (slot 1),
// "x" (built-in), "image_xscale" (built-in).
extern LinkVariableRef VarTilesize, VarMap, VarX, VarImageXScale;
// Function references: "test_record", "test_fail", "scr_add".
extern LinkFunctionRef FnRecord, FnFail, FnScrAdd;

// Values test_record received, in order.
extern std::vector<double> Recorded;
// Makes the step event leave after line 4.
extern bool EarlyReturn;

// The module's link record (embedded data null, 2 globals, 2 instances).
GameLinkRecord Record();
// Puts every reference back to its value in the module (before a new load).
void ResetReferences();

// Registers test_record and test_fail as built-ins, and x (the instance's x)
// and image_xscale (read-only) as built-in variables.
void RegisterBuiltins();

// Game data for the module: GEN8, SCPT (scr_add -> code 2, scr_twice -> 3), STRG.
std::vector<uint8_t> GameFile();

}  // namespace samplemodule
