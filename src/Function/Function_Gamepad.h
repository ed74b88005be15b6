#pragma once
// The "Gamepad.." group: the gamepad built-ins over the pad slots. Loads the
// controller back end at its end.
void InitGamepadFunctions();
