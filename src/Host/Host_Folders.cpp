#include "Host/Host_Folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
uint32_t AttributesOf(const struct stat& st, const char* name, bool writable)
{
    uint32_t bits = 0;
    if (S_ISDIR(st.st_mode)) bits |= HOST_ATTR_FOLDER;
    else if (S_ISREG(st.st_mode)) bits |= HOST_ATTR_ARCHIVE;
    else bits |= HOST_ATTR_SYSTEM;
    if (name[0] == '.') bits |= HOST_ATTR_HIDDEN;
    if (!writable) bits |= HOST_ATTR_READONLY;
    return bits;
}

const char* BaseName(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash && slash[1] ? slash + 1 : path;
}

// Entries of an open folder by name, "." and ".." left out.
std::vector<std::string> Names(DIR* dir)
{
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    return names;
}

bool DeleteTreeAt(int parent, const char* name)
{
    struct stat st;
    if (fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (!S_ISDIR(st.st_mode)) return unlinkat(parent, name, 0) == 0;
    // A folder without write permission could not give up its entries.
    if (!(st.st_mode & S_IWUSR)) fchmodat(parent, name, st.st_mode | S_IWUSR | S_IXUSR, 0);
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0) return false;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return false;
    }
    bool ok = true;
    for (const std::string& entry : Names(dir)) {
        if (!(ok = DeleteTreeAt(dirfd(dir), entry.c_str()))) break;
    }
    closedir(dir);
    return ok && unlinkat(parent, name, AT_REMOVEDIR) == 0;
}
}  // namespace

uint32_t Host_FileAttributes(const char* path)
{
    struct stat st;
    if (!path || !path[0] || stat(path, &st) != 0) return 0;
    return AttributesOf(st, BaseName(path), access(path, W_OK) == 0);
}

bool Host_FindFiles(const char* folder, const char* pattern,
                    void (*visit)(const char* name, uint32_t attributes, void* user), void* user)
{
    if (!folder || !pattern) return false;
    DIR* dir = opendir(folder[0] ? folder : ".");
    if (!dir) return false;
    const bool everything = std::strcmp(pattern, "*.*") == 0;
    std::vector<std::pair<std::string, uint32_t>> found;
    for (const std::string& name : Names(dir)) {
        if (!everything && fnmatch(pattern, name.c_str(), FNM_NOESCAPE) != 0) continue;
        struct stat st;
        if (fstatat(dirfd(dir), name.c_str(), &st, 0) != 0) continue;  // a broken link
        const bool writable = faccessat(dirfd(dir), name.c_str(), W_OK, 0) == 0;
        found.emplace_back(name, AttributesOf(st, name.c_str(), writable));
    }
    closedir(dir);
    for (const auto& [name, attributes] : found) visit(name.c_str(), attributes, user);
    return true;
}

bool Host_DeleteTree(const char* path)
{
    struct stat st;
    if (!path || !path[0] || lstat(path, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return DeleteTreeAt(AT_FDCWD, path);
}
