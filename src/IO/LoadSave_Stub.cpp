#include "IO/LoadSave.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "Base/Console.h"
#include "Options/Runner_Strings.h"
#include "Host/Host_Paths.h"

struct LoadSaveFile {
    FILE* file;
};

namespace {
std::string s_bundleFolder = "./";

std::string BundlePath(const char* name)
{
    return name[0] == '/' ? std::string(name) : s_bundleFolder + name;
}

char* s_savePrefix = nullptr;  // null reads as ""
char* s_gameName = nullptr;    // null reads as ""
}  // namespace

void InitProgramDirectory(const char* gameFilePath)
{
    const char* slash = gameFilePath ? std::strrchr(gameFilePath, '/') : nullptr;
    s_bundleFolder = slash ? std::string(gameFilePath, slash + 1) : std::string("./");
}

bool LoadSave_BundleFileExists(const char* name)
{
    if (!name || !*name) return false;
    return Host_IsRegularFile(BundlePath(name).c_str());
}

void LoadSave_MakeBundlePath(char* out, int size, const char* name)
{
    if (!out || size <= 0) return;
    out[0] = '\0';
    if (!name || !*name) return;
    const std::string path = BundlePath(name);
    if (path.size() >= size_t(size)) return;
    std::memcpy(out, path.c_str(), path.size() + 1);
}

void LoadSave_SetSaveFolder(const char* folder)
{
    std::string prefix = folder ? folder : "";
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    Runner_SetSavePrefix(prefix.c_str());
}

void LoadSave_MakeSavePath(char* out, int size, const char* name)
{
    if (!out || size <= 0) return;
    out[0] = '\0';
    if (!name || !*name) return;
    std::string path = name;
    for (char& c : path)
        if (c == '\\') c = '/';
    const std::string folder = SavePrePend();
    if (path[0] != '/') path = folder + path;
    else if (folder.empty() || path.compare(0, folder.size(), folder) != 0) return;
    if (path.size() >= size_t(size)) return;
    std::memcpy(out, path.c_str(), path.size() + 1);
}

void EnsureFileDirectory(const char* path)
{
    if (!path) return;
    std::string folder = path;
    const size_t cut = folder.find_last_of('/');
    if (cut == std::string::npos) return;
    folder.resize(cut);
    for (size_t i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != '/') continue;
        const std::string part = folder.substr(0, i);
        if (!Host_CreateFolder(part.c_str())) return;
    }
}

LoadSaveFile* LoadSaveFile_Open(const char* name, const char* mode)
{
    if (!name || !*name || !mode) return nullptr;
    FILE* f = std::fopen(name, mode);
    if (!f) return nullptr;
    return new LoadSaveFile{f};
}

size_t LoadSaveFile_Write(const void* source, size_t elementSize, size_t count, LoadSaveFile* file)
{
    if (!file || !source) return 0;
    return std::fwrite(source, 1, elementSize * count, file->file);
}

void LoadSaveFile_Close(LoadSaveFile* file)
{
    if (!file) return;
    std::fclose(file->file);
    delete file;
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
