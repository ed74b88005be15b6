#pragma once
// The text and binary file built-ins (part of the "File.." group): binary
// files (file_bin_*), text files (file_text_*) and the one legacy text file
// (file_open_read and its siblings). Binary and text files are in-memory
// handles found in the save area, else the bundle, and written back into the
// save area when closed; the legacy file is a plain stream on the name as given.

// Empties both file tables and registers the built-ins, with those of the
// file system (Function_FileSystem.h) and of ini files (Function_Ini.h).
void InitFileFunctions();
// Game end: closes the binary files still open, writing back the writable
// ones; text files are left as they are.
void File_CloseAll();
// Every file closed, text and legacy files too, as a new run finds them.
void File_Reset();
