#include "Runner/Runner_IniOptions.h"

#include <cstdlib>
#include <cstring>

#include "IO/IniFile.h"
#include "IO/LoadSave.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Options/Runner_Options.h"
#include "IO/IO_Input.h"
#include "Physics/PhysicsWorld.h"
#include "Platform/Platform_Main.h"
#include "Platform/Platform_OS.h"

namespace {
// "True" 1, "False" 0, else the decimal integer tested against 0; absent keeps the flag.
void ReadOrientation(IniFile* ini, const char* key, int* flag)
{
    const char* value = ini->ReadString("DEFAULT", key, nullptr);
    if (!value) return;
    if (std::strcmp(value, "True") == 0) *flag = 1;
    else if (std::strcmp(value, "False") == 0) *flag = 0;
    else *flag = ini->ReadInt("DEFAULT", key, 0) != 0;
}
}  // namespace

void ReadRunnerIniOptions(IniFile* ini)
{
    ReadWindowsOptions(ini);
    ReadOrientation(ini, "OrientLandscape", &AllowedOrientations.landscape);
    ReadOrientation(ini, "OrientLandscapeFlipped", &AllowedOrientations.landscapeFlipped);
    ReadOrientation(ini, "OrientPortrait", &AllowedOrientations.portrait);
    ReadOrientation(ini, "OrientPortraitFlipped", &AllowedOrientations.portraitFlipped);
    Platform_LockOrientation(AllowedOrientations);
    if (ini->GetKey("DEFAULT", "Debug")) {
        DebugEnabled = ini->ReadInt("DEFAULT", "Debug", 0) != 0;
        if (DebugEnabled) {
            DebugFlags = 2;
            Physics_EnableAssertReports();
        }
    }
    if (ini->GetKey("DEFAULT", "Trace")) TraceScripts = ini->ReadInt("DEFAULT", "Trace", 0) != 0;
}
