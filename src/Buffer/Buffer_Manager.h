#pragma once
// The buffer table: game code and the engine name buffers by small ids.
// Ids are reused after deletion; the table never shrinks.
#include <cstdint>

class IBuffer;
struct ScriptValue;

// The first empty slot, growing the table (32 slots, then doubling) when full.
int Buffer_AllocIndex();
// A new buffer of a kind (eBuffer_Fixed..eBuffer_VBuffer); an unknown kind is
// a fatal error and gives -1.
int Buffer_Create(int32_t size, int kind, int alignment);
// A fixed buffer (alignment 1) over memory, freed with it when owns.
int Buffer_CreateWrapped(uint8_t* memory, int32_t size, bool owns);
// Null for an id outside the table or an empty slot.
IBuffer* Buffer_Get(int id);
// Deletes the buffer whatever its in-use count and empties the slot.
void Buffer_Delete(int id);
// Every buffer deleted and the table freed: the next id is 0 again.
void Buffer_DeleteAll();
// IBuffer::Write on a buffer by id; a bad id reports "Illegal Buffer Index"
// and gives -1 (defined with the values, Code/Code_ValueBuffer.cpp).
int Buffer_Write(int id, int type, const ScriptValue* value);
// Slots in the table.
int Buffer_Capacity();
