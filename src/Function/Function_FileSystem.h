#pragma once
// The file-system built-ins (part of the "File.." group): existence, copies,
// renames and deletes, folders, file searches, file-name splitting, running
// programs, the environment and command line, and unpacking zip archives.
// Names go through the save-area and bundle rules; whatever changes files
// does so in the save area only.

// Closes any open file search and registers the built-ins.
void InitFileSystemFunctions();
