#include "Base/MemoryManager.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

// Minimal allocator: every block carries a guarded header. Size-class pools
// and tracing are added on top of this.
namespace {
constexpr uint32_t kGuard1 = 0xDEADC0DE;
constexpr uint32_t kGuard2 = 0xBAADB00B;
struct Header {
    uint32_t size;
    uint32_t guard1;
    uint32_t guard2;
    int32_t reserved;
};
static_assert(sizeof(Header) == 16);
std::recursive_mutex& Lock()
{
    static std::recursive_mutex m;
    return m;
}
int64_t g_total = 0;

Header* HeaderOf(const void* p)
{
    auto* h = reinterpret_cast<Header*>(const_cast<char*>(static_cast<const char*>(p)) - sizeof(Header));
    return (h->guard1 == kGuard1 && h->guard2 == kGuard2) ? h : nullptr;
}
}  // namespace

namespace MemoryManager {
void* AllocBlock(size_t size, const char*, int, bool clear)
{
    if (size >= 0xFFFFFFFFu - sizeof(Header)) return nullptr;
    std::lock_guard<std::recursive_mutex> g(Lock());
    auto* h = static_cast<Header*>(clear ? std::calloc(1, size + sizeof(Header)) : std::malloc(size + sizeof(Header)));
    if (!h) return nullptr;
    *h = Header{static_cast<uint32_t>(size), kGuard1, kGuard2, 0};
    g_total += size;
    return h + 1;
}

void* Alloc(size_t size, const char* file, int line, bool clear)
{
    if (size == 0) return nullptr;
    return AllocBlock(size, file, line, clear);
}

void Free(void* p)
{
    if (!p) return;
    std::lock_guard<std::recursive_mutex> g(Lock());
    Header* h = HeaderOf(p);
    if (!h) return;
    g_total -= h->size;
    h->guard1 = h->guard2 = 0;
    std::free(h);
}

void* Realloc(void* p, size_t size, const char* file, int line)
{
    if (!p) return size ? Alloc(size, file, line, true) : nullptr;
    std::lock_guard<std::recursive_mutex> g(Lock());
    Header* h = HeaderOf(p);
    if (!h) return nullptr;
    if (h->size >= size) return p;
    void* n = AllocBlock(size, file, line, true);
    if (!n) return nullptr;
    std::memcpy(n, p, h->size);
    Free(p);
    return n;
}

void ReallocPtr(void** slot, size_t size, const char* file, int line)
{
    *slot = Realloc(*slot, size, file, line);
}

bool IsAllocated(const void* p)
{
    if (!p) return false;
    std::lock_guard<std::recursive_mutex> g(Lock());
    return HeaderOf(p) != nullptr;
}

int PoolCellSize(const void*) { return 0; }
int64_t TotalHeaderBytes() { return g_total; }
void ReportUsage() {}
void PushLabel(const char*) {}
void PopLabel() {}
void TraceEvent(const char*, ...) {}
}  // namespace MemoryManager
