#pragma once
// The engine's tracked allocator: size-class pools for small blocks, guarded
// header blocks for large ones. Every call passes its call site (file, line),
// which documents the caller and is not stored.
#include <cstddef>
#include <cstdint>

namespace MemoryManager {
void* Alloc(size_t size, const char* file, int line, bool clear);
void* AllocBlock(size_t size, const char* file, int line, bool clear);
void Free(void* p);
void* Realloc(void* p, size_t size, const char* file, int line);
void ReallocPtr(void** slot, size_t size, const char* file, int line);
bool IsAllocated(const void* p);
// Size of the pool cell holding p (8..256), 0 when p is not a pool cell.
int PoolCellSize(const void* p);
// Bytes held in live header blocks.
int64_t TotalHeaderBytes();
void ReportUsage();
void PushLabel(const char* text);
void PopLabel();
void TraceEvent(const char* format, ...) __attribute__((format(printf, 1, 2)));
}  // namespace MemoryManager

#define QS_ALLOC(size, clear) MemoryManager::Alloc((size), __FILE__, __LINE__, (clear))
#define QS_REALLOC(p, size) MemoryManager::Realloc((p), (size), __FILE__, __LINE__)
#define QS_FREE(p) MemoryManager::Free(p)
