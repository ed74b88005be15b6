#pragma once
// The optional allocation trace file of the memory manager: records of
// allocations, frees, names and events. Attaching and labels are declared in
// MemoryManager.h; these are the manager's own entries.
#include <cstddef>

// Each costs one test while no trace file is attached.
void MemoryTrace_Alloc(const void* block, size_t size);
void MemoryTrace_Free(const void* block);
