#pragma once
// The legacy d3d_ built-ins that draw: primitives built vertex by vertex and
// the six ready-made shapes.

// Registers them in legacy games; new-format games draw in 3D otherwise.
void InitD3DDrawFunctions();
