#include "Platform/Platform_OS.h"

#include "Host/Host_Display.h"
#include "Host/Host_MachineId.h"
#include "Host/Host_System.h"

OrientationFlags AllowedOrientations = {1, 1, 1, 1};
OrientationFlags LockedOrientations = {1, 1, 1, 1};

namespace {
constexpr float kDefaultDpi = 96.0f;

float Dpi(bool across)
{
    float horizontal = 0.0f;
    float vertical = 0.0f;
    if (!HostDisplay_GetDpi(&horizontal, &vertical)) return kDefaultDpi;
    const float dpi = across ? horizontal : vertical;
    return dpi > 0.0f ? dpi : kDefaultDpi;
}
}  // namespace

float Platform_GetDpiX()
{
    return Dpi(true);
}

float Platform_GetDpiY()
{
    return Dpi(false);
}

std::string Platform_GetDeviceId()
{
    return Host_MachineId();
}

int Platform_GetOrientation()
{
    return 0;
}

void Platform_LockOrientation(const OrientationFlags& allowed)
{
    LockedOrientations = allowed;
}
