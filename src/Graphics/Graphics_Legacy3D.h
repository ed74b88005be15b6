#pragma once
// Stand-in for the legacy 3D mode of the drawing subsystem until it is built:
// only the mode flag that the render-state setters read.

extern bool Legacy3DMode;
