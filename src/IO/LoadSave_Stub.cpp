#include "IO/LoadSave.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "Host/Host_Environment.h"
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

std::string& SaveFolder()
{
    static std::string folder = [] {
        const char* xdg = Host_GetEnvironment("XDG_DATA_HOME");
        const char* home = Host_GetEnvironment("HOME");
        std::string base = (xdg && *xdg) ? xdg : std::string(home ? home : ".") + "/.local/share";
        return base + "/quillstep/";
    }();
    return folder;
}
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
    SaveFolder() = folder ? folder : "";
    if (!SaveFolder().empty() && SaveFolder().back() != '/') SaveFolder() += '/';
}

void LoadSave_MakeSavePath(char* out, int size, const char* name)
{
    if (!out || size <= 0) return;
    out[0] = '\0';
    if (!name || !*name) return;
    std::string path = name;
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path[0] != '/') path = SaveFolder() + path;
    else if (path.compare(0, SaveFolder().size(), SaveFolder()) != 0) return;
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
