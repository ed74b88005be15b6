#include "Runner/Runner_Entry.h"
#include "Runner/Runner_Options.h"
#include "Runner/Runner_Services_Stub.h"

// The splash is drawn through the renderer; until a graphics device exists
// there is nothing to draw on, so these functions only decide that.

bool Splash_Exists()
{
    return LoadSave_BundleFileExists("splash.png");
}

void RunnerShowSplash()
{
    if (HeadlessMode.noSplash || !Splash_Exists() || !GR_D3D_DeviceExists()) return;
}

void Splash_DrawFrame(int) {}
