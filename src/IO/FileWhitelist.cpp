#include "IO/FileWhitelist.h"

#include <cstring>

#include "Base/MemoryManager.h"
#include "Options/Runner_Strings.h"

FileWhitelist FileWhitelist_Read;
FileWhitelist FileWhitelist_Write;

namespace {
bool PrefixAdmits(const char* prefix, const char* path)
{
    const size_t n = std::strlen(prefix);
    if (n == 0 || std::strncmp(prefix, path, n) != 0) return false;
    return prefix[n - 1] == '/' || path[n] == '\0' || path[n] == '/';
}
}  // namespace

void FileWhitelist_Add(FileWhitelist* list, const char* path, int32_t prefix)
{
    if (!list || !path) return;
    auto* node = static_cast<FileWhitelistNode*>(QS_ALLOC(sizeof(FileWhitelistNode), true));
    node->path = Runner_CopyText(path);
    node->prefix = prefix;
    node->next = list->head;
    list->head = node;
}

bool FileWhitelist_MatchPrefix(const FileWhitelist* list, const char* path)
{
    if (!list || !path) return false;
    for (const FileWhitelistNode* n = list->head; n; n = n->next)
        if (n->prefix && PrefixAdmits(n->path, path)) return true;
    return false;
}

bool FileWhitelist_Match(const FileWhitelist* list, const char* path)
{
    if (!list || !path) return false;
    for (const FileWhitelistNode* n = list->head; n; n = n->next) {
        if (n->prefix ? PrefixAdmits(n->path, path) : std::strcmp(n->path, path) == 0) return true;
    }
    return false;
}

void FileWhitelist_Free(FileWhitelist* list)
{
    if (!list) return;
    while (FileWhitelistNode* n = list->head) {
        list->head = n->next;
        QS_FREE(n->path);
        QS_FREE(n);
    }
}
