#pragma once
// The save area, the bundle and buffered file handles: the bundle is the game
// file's folder, the save area the game's folder in the user data folder
// (SavePrePend). Until the save-area rules exist (allowed lists, whole-file
// reads and writes; LoadSave_Stub.cpp) files go straight to disk.
#include <cstddef>

struct LoadSaveFile;

// Remembers the bundle folder: the folder of the game file.
void InitProgramDirectory(const char* gameFilePath);
// Whether name exists in the bundle; an absolute path is checked as it is.
bool LoadSave_BundleFileExists(const char* name);
// Bundle path of a name (absolute paths are kept); empty when it does not fit.
void LoadSave_MakeBundlePath(char* out, int size, const char* name);

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

// Prefix of the save area: "<user data folder>/<game name>/", computed once the
// game's name is known ("" before); every save path starts with it.
const char* SavePrePend();
// The game's name from its general header, used by SavePrePend.
void Runner_SetGameName(const char* name);
// Replaces the stored save prefix ("" makes SavePrePend compute it afresh).
void Runner_SetSavePrefix(const char* prefix);
