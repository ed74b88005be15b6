#pragma once
// The temporary-files folder.

// Start-up: the folder is the environment's TMPDIR, else TEMP, else TMP,
// else /tmp (a second call chooses again).
void InitTempDirectory();
// The chosen folder; "" before InitTempDirectory.
const char* GetTempDirectory();
// Game end: clearing out the temporary files (a stand-in, IO_Files_Stub.cpp,
// until the file built-ins that make them exist).
void CleanTempDirectory();
