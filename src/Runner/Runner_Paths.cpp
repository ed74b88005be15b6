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
char* s_savePrefix = nullptr;  // null reads as ""
char* s_gameName = nullptr;    // null reads as ""

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

void Runner_SetGameName(const char* name)
{
    Runner_ReplaceText(&s_gameName, name);
}

void Runner_SetSavePrefix(const char* prefix)
{
    Runner_ReplaceText(&s_savePrefix, prefix);
}

const char* SavePrePend()
{
    const char* stored = s_savePrefix ? s_savePrefix : "";
    if (stored[0] || !s_gameName || !s_gameName[0]) return stored;
    // The name becomes one folder name: it must not climb out of the data
    // folder or reach into another one.
    if (std::strcmp(s_gameName, ".") == 0 || std::strcmp(s_gameName, "..") == 0) return stored;
    std::string name = s_gameName;
    for (char& c : name) {
        if (c == '/') c = '_';
    }

    // Both of the game's choices of user folder (local or roaming) are the one
    // XDG data folder here.
    std::string folder;
    if (!Host_UserDataFolder(folder)) return stored;
    const std::string prefix = folder + "/" + name + "/";
    VerboseConsole->Output("SavePrePend = %s\n", prefix.c_str());
    Runner_ReplaceText(&s_savePrefix, prefix.c_str());
    return s_savePrefix;
}
