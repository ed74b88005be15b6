// STAND-IN until the save-area and bundle services exist: the bundle is the
// game's folder.
#include <string>

#include "Host/Host_Paths.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_Services_Stub.h"

bool LoadSave_BundleFileExists(const char* name)
{
    return Host_FileReadable((std::string(GetGameFolder()) + name).c_str());
}
