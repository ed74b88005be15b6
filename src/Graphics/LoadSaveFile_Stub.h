#pragma once
// Stand-in for the I/O subsystem's save area and buffered file handles: only
// what the PNG writer calls. Files go straight to disk under the save folder.
// The real save-area rules (bundle, whitelists) replace this file.
#include <cstddef>

struct LoadSaveFile;

// Save-area path of a name: relative names go under the save folder, absolute
// paths inside it are kept; anything else gives an empty text.
void LoadSave_MakeSavePath(char* out, int size, const char* name);
// Creates the folders of a file path (the text before its last '/').
void EnsureFileDirectory(const char* path);
LoadSaveFile* LoadSaveFile_Open(const char* name, const char* mode);
size_t LoadSaveFile_Write(const void* source, size_t elementSize, size_t count, LoadSaveFile* file);
void LoadSaveFile_Close(LoadSaveFile* file);

// Stand-in only: chooses the save folder (ends with '/'); default
// $XDG_DATA_HOME/quillstep/ or ~/.local/share/quillstep/.
void LoadSave_SetSaveFolder(const char* folder);
