#include <cstdio>
#include <cstring>
#include <string>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Host/Host_Paths.h"
#include "Runner/Runner_Entry.h"
#include "Options/Runner_Options.h"
#include "Options/Runner_Strings.h"

namespace {
char* s_executablePath = nullptr;
char* s_defaultGamePath = nullptr;
char* s_gameFolder = nullptr;

// The text up to and including its last '/'; "" when it has none.
std::string FolderOf(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? std::string(path, slash + 1) : std::string();
}
}  // namespace

const char* GetExecutablePath()
{
    if (!s_executablePath) {
        std::string path;
        if (!Host_ExecutablePath(path)) return "";
        s_executablePath = Runner_CopyText(path.c_str());
    }
    return s_executablePath;
}

const char* GetDefaultGameFilePath()
{
    if (!s_defaultGamePath) {
        const std::string path = FolderOf(GetExecutablePath()) + "data.win";
        s_defaultGamePath = Runner_CopyText(path.c_str());
    }
    return s_defaultGamePath;
}

const char* GetGameFolder()
{
    if (!GameFilePath) return "./";
    if (!s_gameFolder) {
        std::string folder = FolderOf(GameFilePath);
        // A bare file name lies in the current folder, not in the root.
        if (folder.empty()) folder = "./";
        s_gameFolder = Runner_CopyText(folder.c_str());
    }
    return s_gameFolder;
}

void Runner_FreeGameFolder()
{
    Runner_FreeText(&s_gameFolder);
}

