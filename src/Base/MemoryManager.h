#pragma once
// The engine's tracked allocator: size-class pools for small blocks, guarded
// header blocks for large ones. Every call passes its call site (file, line),
// which documents the caller and is not stored. Blocks never shrink; user
// pointers of header blocks are 16-byte aligned, pool cells are aligned to
// their cell size. Any thread may allocate.
#include <cstddef>
#include <cstdint>

namespace MemoryManager {
void* Alloc(size_t size, const char* file, int line, bool clear);
void* AllocBlock(size_t size, const char* file, int line, bool clear);
void Free(void* p);
void* Realloc(void* p, size_t size, const char* file, int line);
// Grows the block *slot points to; false (and *slot unchanged, its block still
// valid) when the larger block cannot be made.
bool ReallocPtr(void** slot, size_t size, const char* file, int line);
bool IsAllocated(const void* p);
// Size of the pool cell holding p (8..256), 0 when p is not a pool cell.
int PoolCellSize(const void* p);
// Bytes held in live header blocks.
int64_t TotalHeaderBytes();
void ReportUsage();
// Allocation labels, main thread only: allocations between Push and Pop carry
// text as their label in the trace file.
void PushLabel(const char* text);
void PopLabel();
void TraceEvent(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Starts tracing into a new (emptied) file at path. A capacity above 0 buffers
// that many bytes between writes; 0 or less writes every record through.
// False when the file cannot be created.
bool AttachTraceFile(const char* path, int capacity);
// Writes out what is buffered and stops tracing.
void DetachTraceFile();
}  // namespace MemoryManager

#define QS_ALLOC(size, clear) MemoryManager::Alloc((size), __FILE__, __LINE__, (clear))
#define QS_REALLOC(p, size) MemoryManager::Realloc((p), (size), __FILE__, __LINE__)
#define QS_FREE(p) MemoryManager::Free(p)
