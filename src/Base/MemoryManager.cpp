#include "Base/MemoryManager.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <new>

#include "Base/Console.h"
#include "Base/MemoryTrace.h"
#include "Base/Thread.h"
#include "Host/Host_Memory.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// Free cells are poisoned in sanitizer builds so that a use after free of a
// pooled block is caught as it would be for a C-heap block.
#define QS_POISON_CELL(p, n) ASAN_POISON_MEMORY_REGION((p), (n))
#define QS_UNPOISON_CELL(p, n) ASAN_UNPOISON_MEMORY_REGION((p), (n))
#else
#define QS_POISON_CELL(p, n) ((void)(p), (void)(n))
#define QS_UNPOISON_CELL(p, n) ((void)(p), (void)(n))
#endif

namespace {
constexpr uint32_t kGuard1 = 0xDEADC0DE;
constexpr uint32_t kGuard2 = 0xBAADB00B;
constexpr size_t kMaxPooledSize = 256;
// An inner pointer carries its offset into the block in the word before it.
constexpr uintptr_t kMaxInnerOffset = 8192;
// A header block that grows to this size moves to mapped pages, where every
// later growth moves page tables instead of copying the contents.
constexpr size_t kMappedGrowthSize = size_t{1} << 20;

struct MemoryBlockHeader {
    uint32_t size;
    uint32_t guard1;
    uint32_t guard2;
    int32_t reserved;
};
static_assert(sizeof(MemoryBlockHeader) == 16, "user pointers stay 16-byte aligned");

// A slab: the link, then the cell region. Never returned to the C heap.
struct PoolSlab {
    PoolSlab* next;
};

struct MemoryPool {
    PoolSlab* slabs;  // newest first
    void* freeList;   // a free cell's first word links the next free cell
    int32_t cellsInUse;
    int32_t freeCells;
};

struct PoolClass {
    size_t cellSize;
    size_t region;
};
constexpr int kPoolCount = 6;
constexpr PoolClass kPoolClasses[kPoolCount] = {
    {8, 0x20000}, {16, 0x40000}, {32, 0x40000}, {64, 0x80000}, {128, 0x80000}, {256, 0x100000},
};

MemoryPool s_pools[kPoolCount];
int64_t s_totalHeaderBytes = 0;

Mutex& ManagerLock()
{
    // Never destroyed: blocks may still be freed by other globals' destructors.
    static Mutex* lock = new Mutex("MemoryManagerMutex");
    return *lock;
}

struct LockGuard {
    LockGuard() { ManagerLock().Lock(); }
    ~LockGuard() { ManagerLock().Unlock(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;
};

// User pointers of the live header blocks, each with whether its block is
// mapped pages rather than C heap. Looking a pointer up here, rather than
// reading the words in front of it, means a pointer we never handed out is
// recognised as foreign without touching memory that is not ours.
std::map<uintptr_t, bool>& HeaderBlocks()
{
    static auto* blocks = new std::map<uintptr_t, bool>();
    return *blocks;
}

char* RegionOf(PoolSlab* slab)
{
    return reinterpret_cast<char*>(slab) + sizeof(PoolSlab);
}

char* FirstCell(PoolSlab* slab, size_t cellSize)
{
    const auto start = reinterpret_cast<uintptr_t>(RegionOf(slab));
    return reinterpret_cast<char*>((start + cellSize - 1) & ~(uintptr_t{cellSize} - 1));
}

size_t CellsPerSlab(const PoolClass& pc)
{
    return pc.region / pc.cellSize - 1;  // the alignment slack costs one cell
}

int PoolIndexForSize(size_t size)
{
    int index = 0;
    while (kPoolClasses[index].cellSize < size) ++index;
    return index;
}

bool AddSlab(int index)
{
    const PoolClass& pc = kPoolClasses[index];
    MemoryPool& pool = s_pools[index];
    auto* slab = static_cast<PoolSlab*>(std::malloc(sizeof(PoolSlab) + pc.region + pc.cellSize));
    if (!slab) return false;
    std::memset(RegionOf(slab), 0x78, pc.region);
    slab->next = pool.slabs;
    pool.slabs = slab;
    char* cell = FirstCell(slab, pc.cellSize);
    const size_t count = CellsPerSlab(pc);
    for (size_t i = 0; i < count; ++i, cell += pc.cellSize) {
        *reinterpret_cast<void**>(cell) = pool.freeList;
        pool.freeList = cell;
    }
    pool.freeCells += static_cast<int32_t>(count);
    QS_POISON_CELL(RegionOf(slab), pc.region);
    return true;
}

void* PoolAlloc(size_t size, bool clear)
{
    const int index = PoolIndexForSize(size);
    MemoryPool& pool = s_pools[index];
    if (!pool.freeList && !AddSlab(index)) return nullptr;
    void* cell = pool.freeList;
    QS_UNPOISON_CELL(cell, kPoolClasses[index].cellSize);
    pool.freeList = *static_cast<void**>(cell);
    --pool.freeCells;
    ++pool.cellsInUse;
    if (clear) std::memset(cell, 0, kPoolClasses[index].cellSize);
    return cell;
}

// Index of the pool whose cell starts at p, or -1. A pointer into the middle
// of a cell is no cell.
int FindPoolCell(const void* p)
{
    const auto* byte = static_cast<const char*>(p);
    for (int index = 0; index < kPoolCount; ++index) {
        const PoolClass& pc = kPoolClasses[index];
        for (PoolSlab* slab = s_pools[index].slabs; slab; slab = slab->next) {
            const char* region = RegionOf(slab);
            if (byte < region || byte >= region + pc.region) continue;
            const char* first = FirstCell(slab, pc.cellSize);
            if (byte < first) return -1;
            const size_t offset = static_cast<size_t>(byte - first);
            if (offset % pc.cellSize != 0 || offset / pc.cellSize >= CellsPerSlab(pc)) return -1;
            return index;
        }
    }
    return -1;
}

void PoolRelease(int index, void* p)
{
    MemoryPool& pool = s_pools[index];
    *static_cast<void**>(p) = pool.freeList;
    QS_POISON_CELL(p, kPoolClasses[index].cellSize);
    pool.freeList = p;
    ++pool.freeCells;
    --pool.cellsInUse;
}

MemoryBlockHeader* HeaderOf(const void* p)
{
    return reinterpret_cast<MemoryBlockHeader*>(reinterpret_cast<uintptr_t>(p) - sizeof(MemoryBlockHeader));
}

bool IsHeaderBlock(const void* p)
{
    return HeaderBlocks().count(reinterpret_cast<uintptr_t>(p)) != 0;
}

// p lies d bytes (0 < d < 8192) inside a live header block, and the 32-bit word
// just before p is negative with d in its low 31 bits.
bool IsInnerPointer(const void* p)
{
    const auto address = reinterpret_cast<uintptr_t>(p);
    auto& blocks = HeaderBlocks();
    auto it = blocks.upper_bound(address);
    if (it == blocks.begin()) return false;
    const uintptr_t base = (--it)->first;
    const uintptr_t offset = address - base;
    if (offset == 0 || offset >= kMaxInnerOffset) return false;
    const MemoryBlockHeader* header = HeaderOf(reinterpret_cast<const void*>(base));
    if (header->guard1 != kGuard1 || header->guard2 != kGuard2 || offset > header->size) return false;
    int32_t word;
    std::memcpy(&word, static_cast<const char*>(p) - sizeof word, sizeof word);
    return word < 0 && (static_cast<uint32_t>(word) & 0x7FFFFFFFu) == offset;
}

void* HeaderAlloc(size_t size, bool clear)
{
    const size_t total = size + sizeof(MemoryBlockHeader);
    auto* header = static_cast<MemoryBlockHeader*>(clear ? std::calloc(1, total) : std::malloc(total));
    if (!header) return nullptr;
    *header = MemoryBlockHeader{static_cast<uint32_t>(size), kGuard1, kGuard2, 0};
    void* user = header + 1;
    try {
        HeaderBlocks().emplace(reinterpret_cast<uintptr_t>(user), false);
    } catch (const std::bad_alloc&) {
        std::free(header);
        return nullptr;
    }
    s_totalHeaderBytes += size;
    return user;
}

// Past the end of a mapped block, up to the end of its pages, sanitizer
// builds catch what the C heap's guard zones would.
void PoisonMappedTail(MemoryBlockHeader* header)
{
    const size_t used = sizeof(MemoryBlockHeader) + header->size;
    QS_POISON_CELL(reinterpret_cast<char*>(header) + used, HostMemory_Length(used) - used);
}

void UnpoisonMappedTail(MemoryBlockHeader* header)
{
    const size_t used = sizeof(MemoryBlockHeader) + header->size;
    QS_UNPOISON_CELL(reinterpret_cast<char*>(header) + used, HostMemory_Length(used) - used);
}

void HeaderRelease(void* p)
{
    MemoryBlockHeader* header = HeaderOf(p);
    const auto it = HeaderBlocks().find(reinterpret_cast<uintptr_t>(p));
    const bool mapped = it->second;
    HeaderBlocks().erase(it);
    s_totalHeaderBytes -= header->size;
    header->guard1 = header->guard2 = 0;
    if (mapped) {
        UnpoisonMappedTail(header);
        HostMemory_Unmap(header, sizeof(MemoryBlockHeader) + header->size);
    } else {
        std::free(header);
    }
}

// Grows the header block p to size bytes in mapped pages: a C-heap block is
// copied over once, a mapped one grows without copying. The new bytes are 0.
// Null, with p untouched, when the pages cannot be had.
void* GrowMapped(void* p, size_t size)
{
    if (size >= 0xFFFFFFFFu - sizeof(MemoryBlockHeader)) return nullptr;
    auto& blocks = HeaderBlocks();
    const auto it = blocks.find(reinterpret_cast<uintptr_t>(p));
    MemoryBlockHeader* header = HeaderOf(p);
    const size_t oldSize = header->size;
    const size_t oldUsed = sizeof(MemoryBlockHeader) + oldSize;
    const size_t used = sizeof(MemoryBlockHeader) + size;
    MemoryBlockHeader* grown;
    if (it->second) {
        UnpoisonMappedTail(header);
        grown = static_cast<MemoryBlockHeader*>(HostMemory_Grow(header, oldUsed, used));
        if (!grown) {
            PoisonMappedTail(header);
            return nullptr;
        }
    } else {
        grown = static_cast<MemoryBlockHeader*>(HostMemory_Map(used));
        if (!grown) return nullptr;
        std::memcpy(grown, header, oldUsed);
        header->guard1 = header->guard2 = 0;
        std::free(header);
    }
    grown->size = static_cast<uint32_t>(size);
    PoisonMappedTail(grown);
    s_totalHeaderBytes += static_cast<int64_t>(size - oldSize);
    void* user = grown + 1;
    // The entry's node moves over to the new pointer, so this cannot fail.
    auto node = blocks.extract(it);
    node.key() = reinterpret_cast<uintptr_t>(user);
    node.mapped() = true;
    blocks.insert(std::move(node));
    MemoryTrace_Free(p);
    MemoryTrace_Alloc(user, size);
    return user;
}
}  // namespace

namespace MemoryManager {
void* AllocBlock(size_t size, const char*, int, bool clear)
{
    // The header's size word is 32 bits wide.
    if (size >= 0xFFFFFFFFu - sizeof(MemoryBlockHeader)) return nullptr;
    LockGuard guard;
    if (size <= kMaxPooledSize) return PoolAlloc(size, clear);
    return HeaderAlloc(size, clear);
}

void* Alloc(size_t size, const char* file, int line, bool clear)
{
    if (size == 0) return nullptr;
    void* block = AllocBlock(size, file, line, clear);
    if (block) MemoryTrace_Alloc(block, size);
    return block;
}

void Free(void* p)
{
    if (!p) return;
    LockGuard guard;
    const int pool = FindPoolCell(p);
    if (pool >= 0) {
        MemoryTrace_Free(p);
        PoolRelease(pool, p);
    } else if (IsHeaderBlock(p)) {
        MemoryTrace_Free(p);
        HeaderRelease(p);
    } else if (!IsInnerPointer(p)) {
        // Handing this to the C heap would corrupt it.
        LogConsole->Output("Why are we freeing a block that we didn't alloc?!\n");
    }
}

void* Realloc(void* p, size_t size, const char* file, int line)
{
    if (!p) return size == 0 ? nullptr : Alloc(size, file, line, true);
    LockGuard guard;
    size_t oldSize;
    const int pool = FindPoolCell(p);
    if (pool >= 0) {
        oldSize = kPoolClasses[pool].cellSize;
    } else if (IsHeaderBlock(p)) {
        oldSize = HeaderOf(p)->size;
    } else if (IsInnerPointer(p)) {
        return p;  // an inner pointer never moves
    } else {
        LogConsole->Output("Why are we reallocing a block that we didn't alloc?!\n");
        return nullptr;
    }
    if (oldSize >= size) return p;
    if (pool < 0 && size >= kMappedGrowthSize) return GrowMapped(p, size);
    void* grown = Alloc(size, file, line, true);
    if (!grown) return nullptr;  // the old block stays valid
    std::memcpy(grown, p, oldSize);
    Free(p);
    return grown;
}

bool ReallocPtr(void** slot, size_t size, const char* file, int line)
{
    void* grown = Realloc(*slot, size, file, line);
    // On failure the slot may be the caller's only reference to the old block.
    if (!grown && size != 0) return false;
    *slot = grown;
    return true;
}

bool IsAllocated(const void* p)
{
    if (!p) return false;
    LockGuard guard;
    return IsHeaderBlock(p) || IsInnerPointer(p);
}

int PoolCellSize(const void* p)
{
    if (!p) return 0;
    LockGuard guard;
    const int pool = FindPoolCell(p);
    return pool >= 0 ? static_cast<int>(kPoolClasses[pool].cellSize) : 0;
}

int64_t TotalHeaderBytes()
{
    LockGuard guard;
    return s_totalHeaderBytes;
}

void ReportUsage()
{
    const long long total = TotalHeaderBytes();
    LogConsole->Output("Total memory used = %lld(0x%08llx) bytes\n", total, static_cast<unsigned long long>(total));
}
}  // namespace MemoryManager
