#pragma once
// The save area and the bundle. Every file a game names is reached through
// here: the bundle is the game file's folder (read only), the save area the
// game's own folder in the user data folder (SavePrePend), written and read
// back. Names are re-rooted into one of them; anything else is refused unless
// an allowed list (FileWhitelist.h) admits it. A refused name gives an empty
// path, so every operation on it fails without touching the file system.
#include <cstddef>
#include <cstdint>

#include "IO/FileWhitelist.h"

struct LoadSaveFile;

// Remembers the program directory: the game file's folder, which is also the
// bundle and the game's working directory. Null forgets it (the bundle is then
// the executable's folder).
void InitProgramDirectory(const char* gameFilePath);
// The game file's folder as an absolute path ending in '/'; "" while none is known.
const char* LoadSave_WorkingDirectory();
// The bundle folder with a trailing '/'.
const char* LoadSave_BundleFolder();

// Path builders: write the full path of name under the bundle or the save
// area into out (size bytes), or "" when the name is null, refused or the
// path does not fit. '\' in names is taken as a separator.
void LoadSave_MakeBundlePath(char* out, int size, const char* name);
void LoadSave_MakeSavePath(char* out, int size, const char* name);

bool LoadSave_BundleFileExists(const char* name);
bool LoadSave_SaveFileExists(const char* name);
// The full path of name in the save area, else in the bundle, into out;
// false when it is in neither (or the path does not fit).
bool LoadSave_ResolvePath(const char* name, char* out, int size);
// True for an http:// or https:// name, which is fetched rather than opened.
bool LoadSave_IsUrl(const char* name);
// The whole file in a new memory-manager block (at least one byte, zeroed past
// the data) that the caller frees; its length in *size when size is not null.
// Null when the file cannot be read (folders and devices are not files).
uint8_t* LoadSave_ReadBundleFile(const char* name, uint32_t* size);
uint8_t* LoadSave_ReadSaveFile(const char* name, uint32_t* size);
uint8_t* LoadSave_ReadWholeFile(const char* fullPath, uint32_t* size);
// An image or asset file named by game code: from the save area, else the
// bundle, else the name taken as a full path.
uint8_t* LoadSave_ReadAssetFile(const char* name, uint32_t* size);
// Writes size bytes to the save-area path of name, creating its folders.
bool LoadSave_WriteSaveFile(const char* name, const void* data, size_t size);
bool LoadSave_DeleteSaveFile(const char* name);

// A buffered file stream on a path that is already full (no re-rooting). It
// only writes and closes; the in-memory handles of LoadSaveFOpen.h share its
// type and these two operations.
LoadSaveFile* LoadSave_OpenFile(const char* fullPath, const char* mode);
size_t LoadSaveFile_Write(const void* source, size_t elementSize, size_t count, LoadSaveFile* file);
void LoadSaveFile_Close(LoadSaveFile* file);
bool LoadSave_FileExists(const char* fullPath);

// Creates the folder of a file path (the text before its last '/').
void EnsureFileDirectory(const char* path);
// Creates a folder and its missing parents; true when it exists afterwards.
bool CreateDirectoryRecursive(const char* path);
bool DirectoryExists(const char* path);

// Prefix of the save area: "<user data folder>/<game name>/", computed once the
// game's name is known ("" before); every save path starts with it.
const char* SavePrePend();
// The game's name from its general header, used by SavePrePend.
void Runner_SetGameName(const char* name);
// Replaces the stored save prefix ("" makes SavePrePend compute it afresh).
void Runner_SetSavePrefix(const char* prefix);
