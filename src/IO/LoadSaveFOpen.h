#pragma once
// File handles that live in memory: opening reads the whole file (bundle
// first, then save area), reads, writes and seeks work on that copy, and a
// writable handle writes its bytes into the save area when it is closed. The
// text and binary file built-ins use them; a handle that is never closed
// changes nothing on disk. The buffered streams of LoadSave_OpenFile are
// handles of the same type that only write and close (LoadSave.h).
#include <cstddef>
#include <cstdint>

#include "IO/LoadSave.h"

// Mode letters: "t" text (a UTF-8 byte-order mark is skipped), "r" read,
// "w" write (starts empty), "a" read and write at the end, "+" write.
// Null when the file must be read and cannot be, or the mode neither reads
// nor writes.
LoadSaveFile* LoadSaveFile_Open(const char* name, const char* mode);
// A read-only handle over a copy of size bytes, without a name.
LoadSaveFile* LoadSaveFile_OpenMemory(const void* data, size_t size);

// Frees the handle without writing anything back.
void LoadSaveFile_Discard(LoadSaveFile* file);

// The next byte (0..255), or a value whose low byte is 0xFF at or past the
// end; the position moves on by one either way.
int32_t LoadSaveFile_GetChar(LoadSaveFile* file);
// fread-like: the bytes copied from the position.
size_t LoadSaveFile_Read(void* destination, size_t elementSize, size_t count, LoadSaveFile* file);
// Writes the text turning every LF not preceded by CR into CR LF; the bytes written.
size_t LoadSaveFile_WriteString(LoadSaveFile* file, const char* text);
// Skips white space and reads a number as strtod does; the characters
// consumed (0 and *out 0 when there is no number).
size_t LoadSaveFile_ReadReal(LoadSaveFile* file, double* out);
// Origin 0 start, 1 current, 2 end (the offset counts back from it); others
// move nothing. Positions past the end are allowed: a later write fills the
// gap with zeros. The new position.
int64_t LoadSaveFile_Seek(LoadSaveFile* file, int64_t offset, int origin);
int64_t LoadSaveFile_Tell(LoadSaveFile* file);
bool LoadSaveFile_Eof(LoadSaveFile* file);
// At the end, or the byte at the position is CR or LF.
bool LoadSaveFile_Eoln(LoadSaveFile* file);
// Bytes held (the size written back on close).
size_t LoadSaveFile_Size(LoadSaveFile* file);
