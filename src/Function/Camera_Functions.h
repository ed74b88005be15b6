#pragma once
// The camera_* and view_* built-ins of game code.

// Registers all 47 of them in the built-in function table.
void InitCameraFunctions();
