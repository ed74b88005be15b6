// The temporary-files folder: chosen once at start-up from the environment.
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "Base/MemoryManager.h"
#include "Host/Host_Environment.h"
#include "Host/Host_Paths.h"
#include "IO/IO_Files.h"
#include "IO/LoadSave.h"

namespace {
char* s_tempDirectory = nullptr;
std::vector<std::string> s_createdFiles;

bool Inside(const char* path, const char* dir)
{
    size_t n = std::strlen(dir);
    while (n > 1 && dir[n - 1] == '/') --n;
    return n > 0 && std::strncmp(path, dir, n) == 0 && path[n] == '/' && path[n + 1];
}

// A save area inside the temporary folder holds the game's saves, which
// outlive the run.
bool IsTemporaryFile(const char* path)
{
    return Inside(path, GetTempDirectory()) && !Inside(path, SavePrePend());
}
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

void TempDirectory_NoteCreated(const char* fullPath)
{
    if (fullPath && IsTemporaryFile(fullPath)) s_createdFiles.emplace_back(fullPath);
}

void CleanTempDirectory()
{
    for (const std::string& path : s_createdFiles) Host_DeleteFile(path.c_str());
    s_createdFiles.clear();
}
