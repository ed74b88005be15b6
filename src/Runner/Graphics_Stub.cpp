// STAND-IN until the renderer and its window exist.
#include "Runner/Runner_Services_Stub.h"

bool GR_D3D_DeviceExists() { return false; }
void GR_Window_SetFocus() {}
