#include "Host/Host_Paths.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

bool Host_ExecutablePath(std::string& out)
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return false;
    buffer[n] = '\0';
    out = buffer;
    return true;
}

bool Host_UserDataFolder(std::string& out)
{
    // Relative or empty values are ignored, as the XDG rules require.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') {
        out = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* pw = getpwuid(getuid());
            home = (pw && pw->pw_dir && pw->pw_dir[0] == '/') ? pw->pw_dir : nullptr;
        }
        if (!home) return false;
        out = home;
        while (!out.empty() && out.back() == '/') out.pop_back();
        out += "/.local/share";
    }
    // The root folder itself becomes the empty text, so that callers can
    // always append "/" and a name.
    while (!out.empty() && out.back() == '/') out.pop_back();
    return true;
}

bool Host_MakeAbsolutePath(const char* path, std::string& out)
{
    if (!path || !path[0]) return false;
    std::string full;
    if (path[0] != '/') {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd)) return false;
        full = cwd;
        full += '/';
    }
    full += path;

    std::vector<std::string> parts;
    size_t i = 0;
    while (i < full.size()) {
        size_t j = full.find('/', i);
        if (j == std::string::npos) j = full.size();
        const std::string part = full.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    out.clear();
    for (const std::string& part : parts) out += "/" + part;
    if (out.empty()) out = "/";
    return true;
}

bool Host_FileReadable(const char* path)
{
    if (!path || !path[0]) return false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

bool Host_IsRegularFile(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool Host_OpenFileSize(std::FILE* file, uint64_t* size)
{
    struct stat st;
    if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *size = static_cast<uint64_t>(st.st_size);
    return true;
}

bool Host_EnumerateFiles(const char* folder, void (*visit)(const char* name, void* user), void* user)
{
    DIR* dir = opendir(folder);
    if (!dir) return false;
    // Names are gathered first so that the visitor may rename files safely.
    std::vector<std::string> names;
    const int dirFd = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;  // hidden
        struct stat st;
        if (fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode)) continue;        // folders, links, devices
        if (!(st.st_mode & S_IWUSR)) continue;      // read-only
        names.emplace_back(entry->d_name);
    }
    closedir(dir);
    for (const std::string& name : names) visit(name.c_str(), user);
    return true;
}

bool Host_CreateFolder(const char* path)
{
    if (mkdir(path, 0755) == 0) return true;
    struct stat st;
    return errno == EEXIST && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool Host_RenameFile(const char* from, const char* to)
{
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without no-replace renames: a hard link refuses an existing
    // target just the same.
    if (link(from, to) != 0) return false;
    return unlink(from) == 0;
}

bool Host_IsFolder(const char* path)
{
    struct stat st;
    return path && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool Host_DeleteFile(const char* path)
{
    return path && path[0] && unlink(path) == 0;
}
