#include "IO/LoadSave.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Host/Host_Paths.h"
#include "IO/IO_Files.h"
#include "Options/Runner_Strings.h"

namespace {
std::string s_programDirectory;  // "" while unset; else ends with '/'
std::string s_executableFolder;  // the bundle while no game file is known
char* s_savePrefix = nullptr;    // null reads as ""
char* s_gameName = nullptr;      // null reads as ""

// The absolute path of a game's name, with its "." and ".." steps resolved.
bool FullPath(const char* name, std::string& out)
{
    if (!name || !name[0]) return false;
    std::string path = name;
    for (char& c : path)
        if (c == '\\') c = '/';
    return Host_MakeAbsolutePath(path.c_str(), out);
}

std::string CurrentFolder()
{
    std::string folder;
    return Host_MakeAbsolutePath(".", folder) ? folder : std::string();
}

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

// The text of path below folder (given without its trailing separator), or
// false when path is not strictly inside it: "/a/bc" is not inside "/a/b",
// and "/a/b" itself names the folder, not a file in it.
bool Below(const std::string& path, const std::string& folder, std::string& rest)
{
    if (folder.empty()) return false;
    const size_t n = folder == "/" ? 1 : folder.size() + 1;
    if (path.size() <= n || !StartsWith(path, folder) || path[n - 1] != '/') return false;
    rest = path.substr(n);
    return true;
}

void Store(char* out, int size, const std::string& path)
{
    if (path.size() < size_t(size)) std::memcpy(out, path.c_str(), path.size() + 1);
}

FILE* OpenRead(const char* path)
{
    return path && path[0] ? std::fopen(path, "rb") : nullptr;
}
}  // namespace

void InitProgramDirectory(const char* gameFilePath)
{
    const std::string previous = s_programDirectory;
    s_programDirectory.clear();
    std::string full;
    if (!FullPath(gameFilePath, full)) return;
    s_programDirectory = full.substr(0, full.rfind('/') + 1);
    if (s_programDirectory == previous) return;
    const std::string rule(73, '#');
    VerboseConsole->Output("%s\n", rule.c_str());
    VerboseConsole->Output("####!!!!$$$$$$ pwd - %s\n", s_programDirectory.c_str());
    VerboseConsole->Output("%s\n", rule.c_str());
}

const char* LoadSave_WorkingDirectory()
{
    return s_programDirectory.c_str();
}

const char* LoadSave_BundleFolder()
{
    if (!s_programDirectory.empty()) return s_programDirectory.c_str();
    if (s_executableFolder.empty()) {
        std::string exe;
        s_executableFolder = Host_ExecutablePath(exe) ? exe.substr(0, exe.rfind('/') + 1) : "/";
    }
    return s_executableFolder.c_str();
}

void LoadSave_MakeBundlePath(char* out, int size, const char* name)
{
    if (!out || size <= 0) return;
    out[0] = '\0';
    std::string full, rest;
    if (!FullPath(name, full)) return;
    const std::string bundle = LoadSave_BundleFolder();
    if (Below(full, CurrentFolder(), rest)) {
        Store(out, size, StartsWith(full, bundle) ? full : bundle + rest);
    } else if (StartsWith(full, s_programDirectory)) {
        Store(out, size, bundle + full.substr(s_programDirectory.size()));
    } else if (FileWhitelist_Match(&FileWhitelist_Read, full.c_str())) {
        Store(out, size, full);
    }
}

void LoadSave_MakeSavePath(char* out, int size, const char* name)
{
    if (!out || size <= 0) return;
    out[0] = '\0';
    std::string full, rest;
    if (!FullPath(name, full)) return;
    const std::string save = SavePrePend();
    const bool listed = FileWhitelist_Match(&FileWhitelist_Write, full.c_str());
    std::string result;
    bool redirected = true;
    if (save.empty()) {
        // Without a save area a relative name would land in the current folder.
        redirected = false;
    } else if (Below(full, CurrentFolder(), rest)) {
        result = save + rest;
    } else if (StartsWith(full, s_programDirectory)) {
        result = save + full.substr(s_programDirectory.size());
    } else if (StartsWith(full, save)) {
        result = full;
    } else {
        redirected = false;
    }
    if (!redirected) {
        if (!listed) {
            LogConsole->Output("Error! not allowing save with filename '%s'\n", full.c_str());
            return;
        }
        result = full;
    } else if (listed) {
        LogConsole->Output("Warning! Save location - redirected to: '%s'\n", result.c_str());
    }
    Store(out, size, result);
}

bool LoadSave_FileExists(const char* fullPath)
{
    return Host_FileReadable(fullPath);
}

bool LoadSave_BundleFileExists(const char* name)
{
    char path[2048];
    LoadSave_MakeBundlePath(path, sizeof path, name);
    return Host_FileReadable(path);
}

bool LoadSave_SaveFileExists(const char* name)
{
    char path[2048];
    LoadSave_MakeSavePath(path, sizeof path, name);
    return Host_FileReadable(path);
}

bool LoadSave_ResolvePath(const char* name, char* out, int size)
{
    if (LoadSave_SaveFileExists(name)) LoadSave_MakeSavePath(out, size, name);
    else if (LoadSave_BundleFileExists(name)) LoadSave_MakeBundlePath(out, size, name);
    else return false;
    return out[0] != '\0';
}

bool LoadSave_IsUrl(const char* name)
{
    return name && (std::strncmp(name, "http://", 7) == 0 || std::strncmp(name, "https://", 8) == 0);
}

uint8_t* LoadSave_ReadAssetFile(const char* name, uint32_t* size)
{
    if (size) *size = 0;
    if (!name) return nullptr;
    if (LoadSave_SaveFileExists(name)) return LoadSave_ReadSaveFile(name, size);
    if (LoadSave_BundleFileExists(name)) return LoadSave_ReadBundleFile(name, size);
    if (LoadSave_FileExists(name)) return LoadSave_ReadWholeFile(name, size);
    return nullptr;
}

uint8_t* LoadSave_ReadWholeFile(const char* fullPath, uint32_t* size)
{
    if (size) *size = 0;
    FILE* f = OpenRead(fullPath);
    if (!f) return nullptr;
    uint64_t length = 0;
    uint8_t* data = nullptr;
    // Sizes are 32-bit wherever files are held in memory.
    if (Host_OpenFileSize(f, &length) && length < 0x7FFFFFFFull) {
        data = static_cast<uint8_t*>(QS_ALLOC(length ? size_t(length) : 1, true));
        if (std::fread(data, 1, size_t(length), f) != size_t(length)) {
            QS_FREE(data);
            data = nullptr;
        } else if (size) {
            *size = uint32_t(length);
        }
    }
    std::fclose(f);
    return data;
}

uint8_t* LoadSave_ReadBundleFile(const char* name, uint32_t* size)
{
    char path[2048];
    LoadSave_MakeBundlePath(path, sizeof path, name);
    return LoadSave_ReadWholeFile(path, size);
}

uint8_t* LoadSave_ReadSaveFile(const char* name, uint32_t* size)
{
    char path[2048];
    LoadSave_MakeSavePath(path, sizeof path, name);
    return LoadSave_ReadWholeFile(path, size);
}

bool LoadSave_WriteSaveFile(const char* name, const void* data, size_t size)
{
    char path[2048];
    LoadSave_MakeSavePath(path, sizeof path, name);
    if (!path[0] || (!data && size)) return false;
    EnsureFileDirectory(path);
    const bool existed = LoadSave_FileExists(path);
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    if (!existed) TempDirectory_NoteCreated(path);
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

bool LoadSave_DeleteSaveFile(const char* name)
{
    char path[2048];
    LoadSave_MakeSavePath(path, sizeof path, name);
    return Host_DeleteFile(path);
}

bool DirectoryExists(const char* path)
{
    return Host_IsFolder(path);
}

bool CreateDirectoryRecursive(const char* path)
{
    if (!path || !path[0]) return false;
    std::string folder = path;
    if (folder.size() >= 2 && folder.back() == '/') folder.pop_back();
    if (folder == "/" || Host_IsFolder(folder.c_str())) return true;
    const size_t cut = folder.rfind('/');
    // A bare name has no parent to create it in.
    if (cut == std::string::npos) return false;
    const std::string parent = cut == 0 ? "/" : folder.substr(0, cut);
    return CreateDirectoryRecursive(parent.c_str()) && Host_CreateFolder(folder.c_str());
}

void EnsureFileDirectory(const char* path)
{
    if (!path) return;
    const char* slash = std::strrchr(path, '/');
    if (!slash) return;
    CreateDirectoryRecursive(std::string(path, slash).c_str());
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
