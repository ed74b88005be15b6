// STAND-IN until the window module offers focus changes.
#include "Host/Host_GPU.h"
#include "Runner/Runner_Services_Stub.h"

bool GR_D3D_DeviceExists() { return HGPU_HasDevice(); }
void GR_Window_SetFocus() {}
