#pragma once
// Large blocks straight from the system's page mapper. Their pages come
// zeroed, and a block grows by moving its pages rather than copying them.
#include <cstddef>

// A block of size bytes, every byte 0; null when the system has no room.
void* HostMemory_Map(size_t size);
// The block of oldSize bytes (from HostMemory_Map or an earlier grow) grown
// to newSize bytes: the old bytes kept, the new ones 0. It may move; null,
// with the old block untouched, when it cannot grow.
void* HostMemory_Grow(void* block, size_t oldSize, size_t newSize);
void HostMemory_Unmap(void* block, size_t size);
// Bytes the pages of a size-byte block span.
size_t HostMemory_Length(size_t size);
