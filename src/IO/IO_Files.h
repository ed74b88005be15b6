#pragma once
// The temporary-files folder.

// Start-up: the folder is the environment's TMPDIR, else TEMP, else TMP,
// else /tmp (a second call chooses again).
void InitTempDirectory();
// The chosen folder; "" before InitTempDirectory.
const char* GetTempDirectory();
// Called when a write creates the file at fullPath: a new file inside the
// temporary-files folder is remembered for CleanTempDirectory.
void TempDirectory_NoteCreated(const char* fullPath);
// Game end: removes the files this run created in the temporary-files folder
// and still there; the folder itself and whatever others put there stay.
void CleanTempDirectory();
