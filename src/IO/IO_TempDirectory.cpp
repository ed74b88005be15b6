// The temporary-files folder: chosen once at start-up from the environment.
#include <cstring>
#include <initializer_list>

#include "Base/MemoryManager.h"
#include "Host/Host_Environment.h"
#include "IO/IO_Files.h"

namespace {
char* s_tempDirectory = nullptr;
}

void InitTempDirectory()
{
    const char* chosen = nullptr;
    for (const char* name : {"TMPDIR", "TEMP", "TMP"}) {
        chosen = Host_GetEnvironment(name);
        if (chosen && chosen[0]) break;
        chosen = nullptr;
    }
    if (!chosen) chosen = "/tmp";
    const size_t n = std::strlen(chosen) + 1;
    char* copy = static_cast<char*>(QS_ALLOC(n, false));
    std::memcpy(copy, chosen, n);
    QS_FREE(s_tempDirectory);
    s_tempDirectory = copy;
}

const char* GetTempDirectory()
{
    return s_tempDirectory ? s_tempDirectory : "";
}
