#pragma once
// The legacy 3D mode (d3d_start/d3d_end) as the render-state setters read it.
// Until the 3D mode exists (Legacy3D_Stub.cpp) it is never on.

extern bool Legacy3DMode;
