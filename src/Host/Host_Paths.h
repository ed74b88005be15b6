#pragma once
// File-system services of the host: where the executable lies, the user's data
// folder for save areas, and the few file operations the runner needs before
// any game data is read.
#include <cstdint>
#include <cstdio>
#include <string>

// Full path of the running executable (/proc/self/exe); false when unknown.
bool Host_ExecutablePath(std::string& out);

// The user's data folder, without a trailing slash (the root folder gives ""): $XDG_DATA_HOME when it is an
// absolute path, else $HOME/.local/share, else the password database's home
// folder plus /.local/share. False when none of these is known.
bool Host_UserDataFolder(std::string& out);

// path made absolute against the current folder, with "." and ".." components
// and repeated slashes resolved by text alone (the file need not exist).
bool Host_MakeAbsolutePath(const char* path, std::string& out);

// True when the file opens for reading.
bool Host_FileReadable(const char* path);

// True when path names a regular file (links followed).
bool Host_IsRegularFile(const char* path);

// The size of an open file; false when it is not a regular file (a folder,
// pipe or device) or cannot be queried.
bool Host_OpenFileSize(std::FILE* file, uint64_t* size);

// Calls visit(name) for every plain, writable, non-hidden file directly in
// folder (no folders, links, devices or dot-files). False when the folder
// cannot be read.
bool Host_EnumerateFiles(const char* folder, void (*visit)(const char* name, void* user), void* user);

// Creates one folder; an existing folder is no error.
bool Host_CreateFolder(const char* path);

// Moves a file; never replaces an existing target.
bool Host_RenameFile(const char* from, const char* to);

// True when path names a folder (links followed).
bool Host_IsFolder(const char* path);

// Removes a file (not a folder); true when it was removed.
bool Host_DeleteFile(const char* path);
