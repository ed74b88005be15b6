#pragma once
#include <cstdint>
// The optional allocation trace file of the memory manager: records of
// allocations, frees, names and events. Attaching and labels are declared in
// MemoryManager.h; these are the manager's own entries.
#include <cstddef>

// Each costs one test while no trace file is attached.
void MemoryTrace_Alloc(const void* block, size_t size);
void MemoryTrace_Free(const void* block);

// What the trace reads from the layers above: the built-in function being
// executed on the main thread (or null), and up to max frames of the running
// bytecode, innermost first (how many were written; 0 outside bytecode).
// Unset sources report nothing.
struct MemoryTraceFrame {
    const char* function;
    int32_t line;
};
void MemoryTrace_SetSources(const char* (*currentBuiltinName)(), int (*interpreterFrames)(MemoryTraceFrame* frames, int max));
