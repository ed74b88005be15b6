#pragma once
// Folder listings with file attributes, and removal of whole folders. The
// attribute bits are those game code knows: read-only, hidden, system,
// folder, archive.
#include <cstdint>

constexpr uint32_t HOST_ATTR_READONLY = 0x01;  // the owner may not write it
constexpr uint32_t HOST_ATTR_HIDDEN = 0x02;    // its name starts with a dot
constexpr uint32_t HOST_ATTR_SYSTEM = 0x04;    // a device, pipe or socket
constexpr uint32_t HOST_ATTR_FOLDER = 0x10;
constexpr uint32_t HOST_ATTR_ARCHIVE = 0x20;   // a regular file

// The attribute bits of a path (links followed); 0 when it does not exist.
uint32_t Host_FileAttributes(const char* path);

// Calls visit(name, attributes) for each entry of folder, "." and ".." left
// out, whose name matches pattern: * and ? as wildcards, and a leading dot
// matched like any other character; "*.*" matches every name. False when the
// folder cannot be read.
bool Host_FindFiles(const char* folder, const char* pattern,
                    void (*visit)(const char* name, uint32_t attributes, void* user), void* user);

// Deletes a folder with everything in it; links are removed, never followed.
// Stops at the first entry that cannot be removed. True when the folder is
// gone; false, touching nothing, when path names no folder (or a link).
bool Host_DeleteTree(const char* path);
