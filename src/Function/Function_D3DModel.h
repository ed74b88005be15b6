#pragma once
// The legacy d3d_model_ built-ins: 3D models built command by command, saved
// to and loaded from the save area, and drawn with a texture.

// Registers them in legacy games only, like the other d3d_ built-ins.
void InitD3DModelFunctions();
