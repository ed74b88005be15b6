#pragma once
// Lists of locations outside the save area and the bundle that the player
// chose (file dialogs) or the engine installed (workshop folders). Lists only
// grow while a game runs.
#include <cstdint>

struct FileWhitelistNode {
    FileWhitelistNode* next;
    char* path;
    int32_t prefix;  // 1: the path and everything below it; 0: exactly this path
};

struct FileWhitelist {
    FileWhitelistNode* head = nullptr;
};

extern FileWhitelist FileWhitelist_Read;   // admits bundle reads
extern FileWhitelist FileWhitelist_Write;  // admits save-area writes and reads

void FileWhitelist_Add(FileWhitelist* list, const char* path, int32_t prefix);
// A prefix node admits its own path and the paths below it (a separator must
// follow the prefix, so "/a/b" does not admit "/a/bc").
bool FileWhitelist_MatchPrefix(const FileWhitelist* list, const char* path);
// Prefix nodes as above; exact nodes compare the whole text. Names on this
// file system are case-sensitive, so neither comparison folds case.
bool FileWhitelist_Match(const FileWhitelist* list, const char* path);
void FileWhitelist_Free(FileWhitelist* list);
